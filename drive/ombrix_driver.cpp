// ombrix_driver: presses Ombrix's buttons from outside, for scripts/run's screenshots.
//   wait-main  waits for the main window to be painted and prints its rectangle
//   launch     presses Launch Uptime, waits for the results window to be painted and prints the
//              rectangle that holds both windows
//   report     presses Launch Uptime, waits for the results window to be painted and prints the
//              report it shows
//   quit       closes the results window with O.K, then leaves through Exit
// Rectangles are printed as "left top width height" in screen pixels. Exit code 1 when a
// window does not come, settle or go in time.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "drive/ombrix_windows.h"
#include "drive/program.h"
#include "drive/screen_probe.h"
#include "main/win32/main_window_ids.h"
#include "results/win32/results_window_ids.h"

namespace {

using namespace std::chrono_literals;
using ombrix::main::win32::kMainWindowClass;
using ombrix::results::win32::kResultsWindowClass;

// A window of any process (scripts/run starts Ombrix), painted; null when not in time.
HWND Painted(HWND window) {
    return window != nullptr &&
                   ombrix::drive::SettledAt(ombrix::drive::WholeWindow(window), 30s).has_value()
               ? window
               : nullptr;
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
    HWND main = ombrix::drive::WaitForWindowOf(0, kMainWindowClass, 60s);
    if (main == nullptr) {
        return Fail("no Ombrix main window");
    }
    if (command == "wait-main") {
        if (Painted(main) == nullptr) {
            return Fail("the main window was never painted");
        }
        PrintRect(RectOf(main));
        return 0;
    }
    if (command == "launch" || command == "report") {
        ombrix::drive::PressLaunchUptime(main);
        HWND results = Painted(ombrix::drive::WaitForWindowOf(0, kResultsWindowClass, 30s));
        if (results == nullptr) {
            return Fail("no results window");
        }
        if (command == "report") {
            // Sent, not GetWindowText: the view belongs to another process.
            HWND view = ombrix::drive::ReportView(results);
            const LRESULT length = ::SendMessageA(view, WM_GETTEXTLENGTH, 0, 0);
            std::string text(static_cast<std::size_t>(length) + 1, '\0');
            const LRESULT copied = ::SendMessageA(view, WM_GETTEXT, text.size(),
                                                  reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(copied));
            std::fwrite(text.data(), 1, text.size(), stdout);
            return 0;
        }
        const RECT a = RectOf(main);
        const RECT b = RectOf(results);
        PrintRect({std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom)});
        return 0;
    }
    if (command == "quit") {
        if (HWND results = ombrix::drive::FindWindowOf(0, kResultsWindowClass)) {
            if (!ombrix::drive::CloseResults(results, 10s)) {
                return Fail("the results window stays open");
            }
        }
        ombrix::drive::PressButton(
            main, ombrix::main::win32::ControlId(ombrix::options::Control::ExitButton));
        return ombrix::drive::WaitUntilGone(main, 10s) ? 0 : Fail("the main window stays open");
    }
    return Fail("usage: ombrix_driver wait-main | launch | report | quit");
}
