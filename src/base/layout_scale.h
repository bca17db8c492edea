// How a window's design in twips becomes pixels.
#pragma once

#include "base/twips.h"

namespace ombrix::base {

// Pixels per twip across and down, as two fractions.
struct LayoutScale {
    int pixelsAcross = 96;
    int twipsAcross = kTwipsPerInch;
    int pixelsDown = 96;
    int twipsDown = kTwipsPerInch;

    constexpr int Across(int twips) const {
        return MulDivRounded(twips, pixelsAcross, twipsAcross);
    }
    constexpr int Down(int twips) const { return MulDivRounded(twips, pixelsDown, twipsDown); }
    // Each edge is converted, not the size (see TwipsToPixels).
    constexpr Box ToPixels(const Box& twips) const {
        const int left = Across(twips.left);
        const int top = Down(twips.top);
        return Box{left, top, Across(twips.left + twips.width) - left,
                   Down(twips.top + twips.height) - top};
    }
    constexpr bool operator==(const LayoutScale&) const = default;
};

// The design as it stands at `dpi`, whatever the font.
constexpr LayoutScale DpiScale(int dpi) {
    return LayoutScale{dpi, kTwipsPerInch, dpi, kTwipsPerInch};
}

}  // namespace ombrix::base
