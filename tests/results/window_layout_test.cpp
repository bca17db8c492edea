// Window geometry: twips to pixels at any DPI, and where a secondary window stands.
#include "base/twips.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ombrix::base {
namespace {

TEST(Twips, RoundToTheNearestPixelWithHalvesAwayFromZero) {
    const std::tuple<int, int, int> cases[] = {
        {1440, 96, 96}, {15, 96, 1},   {7, 96, 0},     {8, 96, 1},        {-8, 96, -1},
        {15, 48, 1},    {-15, 48, -1}, {240, 144, 24}, {10845, 120, 904}, {0, 192, 0},
    };
    for (const auto& [twips, dpi, pixels] : cases) {
        EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " twips at " << dpi;
    }
}

TEST(Twips, ControlsThatTouchOrKeepApartInTheDesignDoSoAtEveryDpi) {
    // Two controls side by side, touching or a gap apart, each edge at any twip.
    for (int dpi = 72; dpi <= 480; dpi += 12) {
        for (int left = 100; left < 130; ++left) {
            for (int width = 10; width < 40; ++width) {
                for (int gap : {0, 1, 15}) {
                    const Box a = TwipsToPixels(Box{left, left, width, width}, dpi);
                    const int next = left + width + gap;
                    const Box b = TwipsToPixels(Box{next, next, width, width}, dpi);
                    ASSERT_LE(a.left + a.width, b.left) << dpi << " " << left << " " << width;
                    ASSERT_LE(a.top + a.height, b.top);
                    if (gap == 0) {
                        ASSERT_EQ(a.left + a.width, b.left) << "touching controls part";
                    }
                }
            }
        }
    }
}

TEST(CentredOver, StandsInTheMiddleInFloatingPointAndMayLeaveTheScreen) {
    const std::tuple<Box, int, int, int, int> cases[] = {
        {{100, 100, 800, 600}, 400, 300, 300, 250},
        {{100, 100, 801, 601}, 400, 300, 301, 251},  // half a pixel: rounded away from zero
        {{0, 0, 100, 100}, 300, 300, -100, -100},    // sticks out, not clamped
        {{0, 0, 101, 101}, 300, 300, -100, -100},
        {{-1900, 20, 640, 480}, 200, 100, -1680, 210},
    };
    for (const auto& [owner, width, height, left, top] : cases) {
        const Box at = CentredOver(owner, width, height);
        EXPECT_EQ(at, (Box{left, top, width, height})) << owner.left << "," << owner.width;
    }
}

}  // namespace
}  // namespace ombrix::base
