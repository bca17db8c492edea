// Every window laid out at 96, 120, 144 and 192 DPI, in the system's message font and in a wider
// one: each caption, measured in its control's own font, fits its control, and no control covers
// another; moved to a screen of twice the DPI, each lays itself out again. Wine takes the DPI at a
// program's start, so each setting runs in a child process of this test, which opens the real
// windows through the program's own calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "about/win32/about_box.h"
#include "about/win32/about_box_ids.h"
#include "drive/program.h"
#include "main/main_layout.h"
#include "main/win32/busy_waiter.h"
#include "main/win32/main_window.h"
#include "main/win32/main_window_ids.h"
#include "platform/win32/dpi.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_handles.h"
#include "results/win32/results_window.h"
#include "results/win32/results_window_ids.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::test {
namespace {

using options::Control;
using platform::win32::SelectedObject;
using platform::win32::WindowDc;

// Pairs of control ids that lie over one another by design.
using DesignedOverlaps = std::set<std::pair<int, int>>;

// The room the control's text has, or an empty rectangle where the text may scroll or there is
// none; `wrap` when the text breaks into lines.
struct TextRoom {
    int width = 0;
    int height = 0;
    bool wrap = false;
};

TextRoom RoomFor(HWND control, HDC dc, const TEXTMETRICA& metrics) {
    char className[32] = {};
    ::GetClassNameA(control, className, static_cast<int>(sizeof(className)));
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(control, GWL_STYLE));
    RECT client{};
    ::GetClientRect(control, &client);
    const std::string kind = className;
    if (kind == "Button") {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            // The caption stands in the frame's line, an average character in from each end.
            return {client.right - 2 * metrics.tmAveCharWidth, client.bottom, false};
        }
        if (type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON) {
            // The box, and half a digit's width between it and the text (the program's check boxes
            // and option buttons).
            INT digit = 0;
            ::GetCharWidth32A(dc, '0', '0', &digit);
            const int box = ::GetSystemMetrics(SM_CXMENUCHECK);
            return {client.right - box - digit / 2, client.bottom, false};
        }
        // A push button's edges and its focus rectangle.
        return {client.right - 8, client.bottom - 4, false};
    }
    if (kind == "Static") {
        return (style & SS_TYPEMASK) == SS_LEFT ? TextRoom{client.right, client.bottom, true}
                                                : TextRoom{};
    }
    if (kind == "Edit") {
        const auto margins = static_cast<DWORD>(::SendMessageA(control, EM_GETMARGINS, 0, 0));
        return {client.right - LOWORD(margins) - HIWORD(margins), client.bottom, false};
    }
    return {};
}

// What does not fit, or overlaps, in `window`'s controls.
void ExpectLaidOut(HWND window, const char* name, const DesignedOverlaps& designed) {
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child)) {
            controls.push_back(child);
        }
    }
    ASSERT_FALSE(controls.empty()) << name;
    RECT client{};
    ::GetClientRect(window, &client);
    // A window as large as the screen allows has been cut to it, as the system cuts any window
    // with a sizing frame: there its controls may lie beyond its edge.
    RECT outer{};
    ::GetWindowRect(window, &outer);
    const bool cutToScreen = outer.right - outer.left >= ::GetSystemMetrics(SM_CXMAXTRACK) ||
                             outer.bottom - outer.top >= ::GetSystemMetrics(SM_CYMAXTRACK);
    for (HWND control : controls) {
        const int id = ::GetDlgCtrlID(control);
        const std::string text = TextOf(control);
        const RECT at = RectInParent(control);
        EXPECT_TRUE(cutToScreen || (at.left >= 0 && at.top >= 0 && at.right <= client.right &&
                                    at.bottom <= client.bottom))
            << name << ": control " << id << " \"" << text << "\" leaves the window";
        if (text.empty()) {
            continue;
        }
        const WindowDc dc(control);
        const SelectedObject font(
            dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc.get(), &metrics);
        const TextRoom room = RoomFor(control, dc.get(), metrics);
        if (room.width == 0) {
            continue;
        }
        RECT needed{0, 0, room.wrap ? room.width : 0, 0};
        ::DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
                    DT_CALCRECT | DT_NOPREFIX | (room.wrap ? DT_WORDBREAK : DT_SINGLELINE));
        EXPECT_TRUE(needed.right <= room.width && needed.bottom <= room.height)
            << name << ": \"" << text << "\" needs " << needed.right << " by " << needed.bottom
            << " in control " << id << " of " << room.width << " by " << room.height;
    }
    // A frame holds whatever lies on it, whole.
    const auto holds = [](HWND frame, const RECT& common, const RECT& other) {
        return (::GetWindowLongPtrA(frame, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
               ::EqualRect(&common, &other);
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT a = RectInParent(controls[i]);
            const RECT b = RectInParent(controls[j]);
            const int idA = ::GetDlgCtrlID(controls[i]);
            const int idB = ::GetDlgCtrlID(controls[j]);
            RECT common{};
            EXPECT_TRUE(!::IntersectRect(&common, &a, &b) || designed.contains({idA, idB}) ||
                        designed.contains({idB, idA}) || holds(controls[i], common, b) ||
                        holds(controls[j], common, a))
                << name << ": \"" << TextOf(controls[i]) << "\" (" << idA << ") and \""
                << TextOf(controls[j]) << "\" (" << idB << ") overlap";
        }
    }
}

// A control's edges, its font's height and its icon's width, each twice as large at twice the DPI.
std::vector<LONG> SizesOf(HWND control) {
    const RECT at = RectInParent(control);
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    ICONINFO icon{};
    BITMAP picture{};
    if (::GetIconInfo(reinterpret_cast<HICON>(::SendMessageA(control, STM_GETIMAGE, IMAGE_ICON, 0)),
                      &icon)) {
        ::GetObjectA(icon.hbmColor, sizeof(picture), &picture);
        ::DeleteObject(icon.hbmColor);
        ::DeleteObject(icon.hbmMask);
    }
    return {at.left, at.top, at.right, at.bottom, font.lfHeight, picture.bmWidth};
}

// Moved to a screen of twice the DPI, the window lays itself out again where the system suggests,
// each control with its text, and all still fits.
void ExpectLaidOutAgain(HWND window, const char* name, const DesignedOverlaps& designed) {
    std::vector<std::tuple<HWND, std::vector<LONG>, std::string>> before;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        before.emplace_back(child, SizesOf(child), TextOf(child));
    }
    // The system suggests a place a little off and twice the size.
    RECT at{};
    ::GetWindowRect(window, &at);
    RECT suggested{at.left + 10, at.top + 10, 2 * at.right - at.left + 10,
                   2 * at.bottom - at.top + 10};
    const int dpi = platform::win32::WindowDpi(window) * 2;
    ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(window, &at);
    EXPECT_TRUE(at.left == suggested.left && at.top == suggested.top)
        << name << " is not where the system suggests";
    for (const auto& [control, sizes, text] : before) {
        const std::vector<LONG> resized = SizesOf(control);
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            // The font, measured again at its new size, may make it a little more than twice.
            EXPECT_LE(std::abs(resized[i] - 2 * sizes[i]), std::abs(sizes[i]) / 4 + 2)
                << name << ": control " << ::GetDlgCtrlID(control) << ", measure " << i;
        }
        EXPECT_EQ(TextOf(control), text) << name;
    }
    ExpectLaidOut(window, name, designed);
}

class NeverEnds final : public platform::CapturedProcess {
  public:
    bool WaitForExit(std::chrono::milliseconds) override { return false; }
    void Terminate() override {}
    std::int32_t Finish() override { return 0; }
};

// Run in the child, by WindowLayout for each DPI and font (disabled otherwise): every window of
// the program, at this process's DPI and message font.
TEST(LayoutProbe, DISABLED_EveryWindowAtThisDpiAndFont) {
    const int dateSeparator = main::IdOf(Control::DateSeparator);
    const DesignedOverlaps designed = {{dateSeparator, main::IdOf(Control::Day)},
                                       {dateSeparator, main::IdOf(Control::Month)},
                                       {dateSeparator, main::IdOf(Control::Year)}};
    // Each window closed through its own button, the main window (0) through its close box.
    const auto inspect = [](const char* name, UINT close, const DesignedOverlaps& overlaps = {}) {
        return std::vector<Step>{[=](HWND window) {
            ExpectLaidOut(window, name, overlaps);
            ExpectLaidOutAgain(window, name, overlaps);
            ::PostMessageA(window, close == 0 ? WM_CLOSE : WM_COMMAND, close, 0);
        }};
    };
    EXPECT_TRUE(RunSteps(main::win32::kMainWindowClass, inspect("main window", 0, designed),
                         [] { main::win32::MainWindow().Run(); }));
    const auto owner = PlainWindow();
    EXPECT_TRUE(RunSteps(about::win32::kAboutWindowClass, inspect("About box", IDOK),
                         [&] { about::win32::ShowAboutBox(owner.get()); }));
    RecordingMessages messages;
    results::win32::ResultsWindow results(owner.get(), messages);
    EXPECT_TRUE(RunSteps(results::win32::kResultsWindowClass,
                         inspect("results window", results::win32::kExitButton),
                         [&] { results.ShowModal("Report\r\n"); }));
    main::win32::BusyWaiter waiter(owner.get());
    NeverEnds tool;
    EXPECT_TRUE(RunSteps(main::win32::kCancelWindowClass,
                         inspect("Cancel window", main::win32::kCancelButton),
                         [&] { EXPECT_FALSE(waiter.WaitForExit(tool)) << "not cancelled"; }));
}

// Calls `undo` when it goes: puts the settings of the prefix back.
struct Undo {
    std::function<void()> undo;
    ~Undo() { undo(); }
};

// Each setting runs this program's probe, its output kept for the message.
TEST(WindowLayout, NoCaptionIsCutAndNoControlOverlapsAnotherAtEveryDpiAndInAWiderFont) {
    constexpr const char* kDesktop = "Control Panel\\Desktop";
    NONCLIENTMETRICSW old{};
    old.cbSize = sizeof(old);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, old.cbSize, &old, 0);
    DWORD oldDpi = 0;
    DWORD size = sizeof(oldDpi);
    const bool hadDpi = ::RegGetValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", RRF_RT_REG_DWORD,
                                       nullptr, &oldDpi, &size) == ERROR_SUCCESS;
    const Undo putBack{[&] {
        ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, old.cbSize, &old, 0);
        hadDpi
            ? ::RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", REG_DWORD, &oldDpi, size)
            : ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
    }};
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    ScratchDir scratch;
    const std::string log = scratch.File("probe.txt");
    for (const bool wide : {false, true}) {
        // Tahoma at 10 points stands in for Segoe UI at 9 points, Windows 10's and 11's message
        // font: 7 by 16 pixels at 96 DPI against Segoe UI's 7 by 15.
        NONCLIENTMETRICSW metrics = old;
        if (wide) {
            metrics.lfMessageFont = LOGFONTW{};
            metrics.lfMessageFont.lfHeight = -::MulDiv(10, platform::win32::WindowDpi(nullptr), 72);
            metrics.lfMessageFont.lfWeight = FW_NORMAL;
            metrics.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
            ::lstrcpynW(metrics.lfMessageFont.lfFaceName, L"Tahoma", LF_FACESIZE);
        }
        ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        for (const DWORD dpi : {96, 120, 144, 192}) {
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels", REG_DWORD, &dpi,
                              sizeof(dpi));
            SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
            platform::win32::UniqueHandle output(
                ::CreateFileA(log.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr));
            drive::StartOptions options;
            options.arguments =
                " --gtest_filter=LayoutProbe.* --gtest_also_run_disabled_tests --gtest_brief=1";
            options.output = output.get();
            std::optional<drive::Program> probe = drive::Program::Start(self, options);
            if (probe && !probe->WaitForExit(std::chrono::seconds(60))) {
                probe->End();
            }
            output.reset();
            // Printed only once the probe has run to its end and passed.
            const std::string said = ReadFile(log);
            EXPECT_NE(said.find("[  PASSED  ] 1 test"), std::string::npos)
                << "at " << dpi << " DPI" << (wide ? " in Tahoma 10 pt" : "") << ":\n"
                << said;
        }
    }
}

}  // namespace
}  // namespace ombrix::test
