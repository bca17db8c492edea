// Window geometry: twips to pixels at any DPI and in any font, controls placed through their
// containers, and where a secondary window stands.
#include "base/control_design.h"
#include "base/layout_scale.h"
#include "base/twips.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ombrix::base {
namespace {

TEST(Twips, RoundToTheNearestPixelWithHalvesAwayFromZero) {
    const std::tuple<int, int, int> cases[] = {
        {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {15, 48, 1}, {-15, 48, -1}, {10845, 120, 904},
    };
    for (const auto& [twips, dpi, pixels] : cases) {
        EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " twips at " << dpi;
    }
}

TEST(Twips, ControlsThatTouchOrKeepApartInTheDesignDoSoAtEveryDpiAndInEveryFont) {
    // Two controls side by side, touching or a gap apart, each edge at any twip.
    for (int dpi = 72; dpi <= 480; dpi += 12) {
        for (const FontUnits font : {kDesignFont, FontUnits{7, 15}, FontUnits{9, 16}}) {
            const LayoutScale scale = FontScale(font, dpi);
            for (int left = 100; left < 130; ++left) {
                for (int width = 10; width < 40; ++width) {
                    for (int gap : {0, 1, 15}) {
                        const Box a = scale.ToPixels(Box{left, left, width, width});
                        const int next = left + width + gap;
                        const Box b = scale.ToPixels(Box{next, next, width, width});
                        ASSERT_LE(a.left + a.width, b.left) << dpi << " " << left << " " << width;
                        ASSERT_LE(a.top + a.height, b.top);
                        if (gap == 0) {
                            ASSERT_EQ(a.left + a.width, b.left) << "touching controls part";
                            ASSERT_EQ(a.top + a.height, b.top);
                        }
                    }
                }
            }
        }
    }
}

TEST(FontScale, TheDesignFontChangesNothingAndOnlyAWiderOrHigherFontGrowsTheWindow) {
    const Box design{240, 480, 6375, 405};
    const std::tuple<FontUnits, int, Box> cases[] = {
        {kDesignFont, 96, TwipsToPixels(design, 96)},
        {{5, 11}, 96, TwipsToPixels(design, 96)},    // narrower: as designed
        {{8, 17}, 120, {21, 42, 567, 35}},           // wider and higher than 7.5 by 16.25
        {{7, 15}, 96, {19, 37, 496, 31}},            // the Segoe UI of Windows 10 and 11
        {{7, 13}, 96, {19, 32, 496, 27}},            // wider only: grows across only
        {{12, 27}, 192, {32, 66, 850, 57}},          // higher only: grows down only
        {{9, 19}, 144, TwipsToPixels(design, 144)},  // not more than the DPI gives
    };
    for (const auto& [font, dpi, pixels] : cases) {
        EXPECT_EQ(FontScale(font, dpi).ToPixels(design), pixels)
            << font.width << "x" << font.height << " at " << dpi;
    }
    EXPECT_EQ(FontScale(kDesignFont, 96), DpiScale(96));
    // Units are measured as the system rounds dialog base units: from the 52 letters' width in
    // pixels, and the cell height.
    EXPECT_EQ(FontUnitsOf(337, 13), (FontUnits{6, 13}));
    EXPECT_EQ(FontUnitsOf(338, 13), (FontUnits{7, 13}));
}

TEST(ControlDesign, ABoxIsPlacedThroughItsContainersAndTheirMoves) {
    constexpr ControlDesign table[] = {
        {1, ControlKind::Frame, {100, 200, 5000, 3000}},
        {2, ControlKind::Frame, {50, 60, 4000, 2000}, "", 1},
        {3, ControlKind::CheckBox, {10, 20, 300, 40}, "", 2},
        {4, ControlKind::Button, {7000, 8, 90, 30}},
    };
    const TopShifts shifts{{2, 100}, {1, -50}};
    const std::tuple<int, TopShifts, Box> cases[] = {
        {3, shifts, {160, 330, 300, 40}},
        {2, shifts, {150, 310, 4000, 2000}},
        {4, shifts, {7000, 8, 90, 30}},
    };
    for (const auto& [id, moves, box] : cases) {
        EXPECT_EQ(ClientTwips(table, *FindDesign(table, id), moves), box) << id;
    }
    EXPECT_EQ(FindDesign(table, 5), nullptr);
}

TEST(CentredOver, StandsInTheMiddleInFloatingPointAndMayLeaveTheScreen) {
    const std::tuple<Box, int, int, int, int> cases[] = {
        {{100, 100, 800, 600}, 400, 300, 300, 250},
        {{100, 100, 801, 601}, 400, 300, 301, 251},  // half a pixel: rounded away from zero
        {{0, 0, 100, 100}, 300, 300, -100, -100},    // sticks out, not clamped
        {{0, 0, 101, 101}, 300, 300, -100, -100},
    };
    for (const auto& [owner, width, height, left, top] : cases) {
        const Box at = CentredOver(owner, width, height);
        EXPECT_EQ(at, (Box{left, top, width, height})) << owner.left << "," << owner.width;
    }
}

}  // namespace
}  // namespace ombrix::base
