// Window geometry: designed in twips (1/1440 inch), shown in pixels at a window's DPI.
#pragma once

#include <cmath>

namespace ombrix::base {

inline constexpr int kTwipsPerInch = 1440;

// value * numerator / denominator rounded to the nearest whole number, halves away from zero, as
// the system's MulDiv rounds. The denominator must be positive.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

constexpr int TwipsToPixels(int twips, int dpi) {
    return MulDivRounded(twips, dpi, kTwipsPerInch);
}

// A rectangle as the designs give it: left, top, width, height.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr bool operator==(const Box&) const = default;
};

// Each edge is converted, not the size: controls that touch in the design touch at every DPI,
// and controls that keep apart never overlap.
constexpr Box TwipsToPixels(const Box& twips, int dpi) {
    const int left = TwipsToPixels(twips.left, dpi);
    const int top = TwipsToPixels(twips.top, dpi);
    return Box{left, top, TwipsToPixels(twips.left + twips.width, dpi) - left,
               TwipsToPixels(twips.top + twips.height, dpi) - top};
}

// Where a window of the given size goes to stand centred over `owner`: computed in floating point
// and not clamped to the screen, so it may stick out beyond it.
inline Box CentredOver(const Box& owner, int width, int height) {
    const double left = owner.left + (owner.width - width) / 2.0;
    const double top = owner.top + (owner.height - height) / 2.0;
    return Box{static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)), width,
               height};
}

}  // namespace ombrix::base
