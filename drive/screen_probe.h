// What the screen shows of a window of another program, read back as pixels, and when that
// picture settles: "painted" as a user sees it, without asking the program anything.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace ombrix::drive {

// A part of a top-level window as the screen shows it. Under Wine a window of another process
// reads back only through its top-level window's DC, so a control is read as an area of that.
struct Area {
    HWND window = nullptr;  // top-level
    bool whole = false;     // the window with its frame and menu bar, else its client area
    RECT rect{};            // in the coordinates of that DC
};

// The whole top-level window.
Area WholeWindow(HWND window);
// A control's client area, without its `skipLeft` leftmost columns (where a caret blinks).
Area ControlArea(HWND control, int skipLeft);

// The area's pixels, row by row (0x00RRGGBB); empty when it cannot be read.
std::vector<std::uint32_t> Grab(const Area& area);

// How many pixels differ between two pictures of one area (all, when their sizes differ).
std::size_t Difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

// When the area's pixels last changed (a performance-counter time, drive/clock.h), once they
// have stayed the same for 300 ms and show more than one colour: the moment it was fully
// painted. Changes of a few pixels (a caret appearing, a focus mark) do not count as painting.
// Empty when the window went first, or the picture did not settle within `timeout`.
std::optional<LONGLONG> SettledAt(const Area& area, std::chrono::milliseconds timeout);

}  // namespace ombrix::drive
