// How a window's design in twips becomes pixels: with the window's DPI, and grown with its font
// where the font is wider or taller than the one the design was made for, as the dialog manager
// lays dialogs out in units of their font.
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

// A font's dialog base units in pixels: its average character width and its height.
struct FontUnits {
    int width = 0;
    int height = 0;
    constexpr bool operator==(const FontUnits&) const = default;
};

// The designs were made for an 8-point font of 6 by 13 pixels at 96 DPI.
inline constexpr FontUnits kDesignFont{6, 13};
inline constexpr int kDesignDpi = 96;

// The units of a font whose 52 letters A-Z and a-z are `letters` pixels wide and whose cells are
// `height` pixels high, rounded as the system rounds dialog base units.
constexpr FontUnits FontUnitsOf(int letters, int height) {
    return FontUnits{(letters / 26 + 1) / 2, height};
}

// The design at `dpi` in a font of `font` units: as the DPI scales it, or as the font scales it
// against the design's font where that is more. A font as wide and high as the design's, scaled
// to the DPI, changes nothing; only a wider or higher one grows the window, along that axis.
constexpr LayoutScale FontScale(FontUnits font, int dpi) {
    LayoutScale scale = DpiScale(dpi);
    if (font.width * kDesignDpi > dpi * kDesignFont.width) {
        scale.pixelsAcross = font.width * kDesignDpi;
        scale.twipsAcross = kDesignFont.width * kTwipsPerInch;
    }
    if (font.height * kDesignDpi > dpi * kDesignFont.height) {
        scale.pixelsDown = font.height * kDesignDpi;
        scale.twipsDown = kDesignFont.height * kTwipsPerInch;
    }
    return scale;
}

}  // namespace ombrix::base
