// ombrix_driver: presses Ombrix's buttons from outside, for scripts/run's screenshots.
//   wait-main  waits for the main window and prints its rectangle
//   launch     presses Launch Uptime, waits for the results window and prints the rectangle
//              that holds both windows
//   quit       closes the results window with O.K, then leaves through Exit
// Rectangles are printed as "left top width height" in screen pixels. Exit code 1 when a
// window does not come or go in time.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "main/win32/main_window_ids.h"
#include "results/win32/results_window_ids.h"

namespace {

using namespace std::chrono_literals;
using ombrix::options::Control;

HWND WaitForWindow(const char* className, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        HWND window = ::FindWindowA(className, nullptr);
        if (window != nullptr && ::IsWindowVisible(window)) {
            return window;
        }
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (::IsWindow(window)) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

void PressButton(HWND window, UINT id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, static_cast<int>(id))));
}

void PrintRect(RECT rect) {
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
}

RECT RectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

int Fail(const char* what) {
    std::fprintf(stderr, "ombrix_driver: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    // A first start in a fresh Wine prefix can take a while.
    HWND main = WaitForWindow(ombrix::main::win32::kMainWindowClass, 60s);
    if (main == nullptr) {
        return Fail("no Ombrix main window");
    }
    if (command == "wait-main") {
        PrintRect(RectOf(main));
        return 0;
    }
    if (command == "launch") {
        PressButton(main, ombrix::main::win32::ControlId(Control::LaunchButton));
        HWND results = WaitForWindow(ombrix::results::win32::kResultsWindowClass, 30s);
        if (results == nullptr) {
            return Fail("no results window");
        }
        const RECT a = RectOf(main);
        const RECT b = RectOf(results);
        PrintRect({std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom)});
        return 0;
    }
    if (command == "quit") {
        if (HWND results = ::FindWindowA(ombrix::results::win32::kResultsWindowClass, nullptr)) {
            PressButton(results, ombrix::results::win32::kExitButton);
            if (!WaitUntilGone(results, 10s)) {
                return Fail("the results window stays open");
            }
        }
        PressButton(main, ombrix::main::win32::ControlId(Control::ExitButton));
        return WaitUntilGone(main, 10s) ? 0 : Fail("the main window stays open");
    }
    return Fail("usage: ombrix_driver wait-main | launch | quit");
}
