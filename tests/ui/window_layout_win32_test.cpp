// Every window laid out at 96, 120, 144 and 192 DPI, in the system's message font and in a wider
// one: each caption, measured in its control's own font, fits its control, and no control covers
// another. Wine takes the DPI at a program's start, so each setting runs in a child process of
// this test, which opens the real windows through the program's own calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "about/win32/about_box.h"
#include "about/win32/about_box_ids.h"
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

namespace ombrix::test {
namespace {

using options::Control;
using platform::win32::SelectedObject;
using platform::win32::WindowDc;

constexpr const char* kProbeSwitch = "OMBRIX_LAYOUT_PROBE";

// Pairs of control ids that lie over one another by design.
using DesignedOverlaps = std::set<std::pair<int, int>>;

std::string TextOf(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

RECT RectInParent(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

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
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_RADIOBUTTON ||
            type == BS_AUTORADIOBUTTON) {
            // The box, and half a digit's width between it and the text.
            INT digit = 0;
            ::GetCharWidth32A(dc, '0', '0', &digit);
            const int box = ::GetSystemMetrics(SM_CXMENUCHECK);
            return {client.right - box - digit / 2, client.bottom, false};
        }
        // A push button's edges and its focus rectangle.
        return {client.right - 8, client.bottom - 4, false};
    }
    if (kind == "Static") {
        if ((style & SS_TYPEMASK) != SS_LEFT) {
            return {};
        }
        return {client.right, client.bottom, true};
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
        RECT inside{};
        ::IntersectRect(&inside, &at, &client);
        EXPECT_TRUE(cutToScreen || ::EqualRect(&inside, &at))
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
        EXPECT_LE(needed.right, room.width)
            << name << ": \"" << text << "\" is cut across (control " << id << ")";
        EXPECT_LE(needed.bottom, room.height)
            << name << ": \"" << text << "\" is cut below (control " << id << ")";
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT a = RectInParent(controls[i]);
            const RECT b = RectInParent(controls[j]);
            RECT common{};
            if (!::IntersectRect(&common, &a, &b)) {
                continue;
            }
            const int idA = ::GetDlgCtrlID(controls[i]);
            const int idB = ::GetDlgCtrlID(controls[j]);
            if (designed.count({idA, idB}) != 0 || designed.count({idB, idA}) != 0) {
                continue;
            }
            // A frame holds whatever lies on it, whole.
            auto isFrame = [](HWND control) {
                return (::GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            };
            if ((isFrame(controls[i]) && ::EqualRect(&common, &b)) ||
                (isFrame(controls[j]) && ::EqualRect(&common, &a))) {
                continue;
            }
            ADD_FAILURE() << name << ": \"" << TextOf(controls[i]) << "\" (" << idA << ") and \""
                          << TextOf(controls[j]) << "\" (" << idB << ") overlap";
        }
    }
}

// Runs `inspect` on the first window of `className` that the program's call shows, then closes
// it through `close`; `show` is the call, which returns when the window is gone.
thread_local std::function<void()> tTick;
void WhileShown(const char* className, const std::function<void(HWND)>& inspect,
                const std::function<void(HWND)>& close, const std::function<void()>& show) {
    bool done = false;
    int ticks = 0;
    tTick = [&] {
        HWND window = ::FindWindowA(className, nullptr);
        if (!done && window != nullptr && ::IsWindowVisible(window)) {
            done = true;
            inspect(window);
            close(window);
        } else if (++ticks == 500) {
            ADD_FAILURE() << className << " did not show";
            ::PostQuitMessage(1);
        }
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { tTick(); });
    show();
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(done) << className;
}

class NeverEnds final : public platform::CapturedProcess {
  public:
    bool WaitForExit(std::chrono::milliseconds) override { return false; }
    void Terminate() override {}
    std::int32_t Finish() override { return 0; }
};

// Run in the child: every window of the program, at this process's DPI and message font.
TEST(LayoutProbe, EveryWindowAtThisDpiAndFont) {
    if (std::getenv(kProbeSwitch) == nullptr) {
        GTEST_SKIP() << "run by WindowLayout for each DPI and font";
    }
    auto post = [](UINT message, WPARAM wParam) {
        return [=](HWND window) { ::PostMessageA(window, message, wParam, 0); };
    };
    const int dateSeparator = main::IdOf(Control::DateSeparator);
    WhileShown(
        main::win32::kMainWindowClass,
        [&](HWND window) {
            ExpectLaidOut(window, "main window",
                          {{dateSeparator, main::IdOf(Control::Day)},
                           {dateSeparator, main::IdOf(Control::Month)},
                           {dateSeparator, main::IdOf(Control::Year)}});
            // Each frame holds what the design puts in it.
            for (const base::ControlDesign& design : main::kMainControls) {
                if (design.container != 0) {
                    const RECT frame = RectInParent(::GetDlgItem(window, design.container));
                    const RECT own = RectInParent(::GetDlgItem(window, design.id));
                    RECT common{};
                    ::IntersectRect(&common, &frame, &own);
                    EXPECT_TRUE(::EqualRect(&common, &own))
                        << "\"" << design.caption << "\" leaves its frame";
                }
            }
        },
        post(WM_CLOSE, 0), [] { main::win32::MainWindow().Run(); });

    const platform::win32::UniqueWindow owner(
        ::CreateWindowExA(0, "STATIC", "Ombrix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 800,
                          600, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
    WhileShown(
        about::win32::kAboutWindowClass, [](HWND box) { ExpectLaidOut(box, "About box", {}); },
        post(WM_COMMAND, IDOK), [&] { about::win32::ShowAboutBox(owner.get()); });

    RecordingMessages messages;
    results::win32::ResultsWindow results(owner.get(), messages);
    WhileShown(
        results::win32::kResultsWindowClass,
        [](HWND window) { ExpectLaidOut(window, "results window", {}); },
        post(WM_COMMAND, results::win32::kExitButton), [&] { results.ShowModal("Report\r\n"); });

    main::win32::BusyWaiter waiter(owner.get());
    NeverEnds tool;
    WhileShown(
        main::win32::kCancelWindowClass,
        [](HWND window) { ExpectLaidOut(window, "Cancel window", {}); },
        post(WM_COMMAND, main::win32::kCancelButton), [&] { waiter.WaitForExit(tool); });
}

// Sets a value of HKCU for as long as it lives, and puts back what was there.
class UserSetting {
  public:
    UserSetting(const char* key, const char* name, DWORD value) : key_(key), name_(name) {
        DWORD size = sizeof(old_);
        had_ = ::RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &old_,
                              &size) == ERROR_SUCCESS;
        ::RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof(value));
    }
    ~UserSetting() {
        if (had_) {
            ::RegSetKeyValueA(HKEY_CURRENT_USER, key_, name_, REG_DWORD, &old_, sizeof(old_));
        } else {
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, key_, name_);
        }
    }
    UserSetting(const UserSetting&) = delete;
    UserSetting& operator=(const UserSetting&) = delete;

  private:
    const char* key_;
    const char* name_;
    DWORD old_ = 0;
    bool had_ = false;
};

// The message font for this session of the window system, until this ends.
class MessageFont {
  public:
    explicit MessageFont(const LOGFONTW& font) {
        old_.cbSize = sizeof(old_);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, old_.cbSize, &old_, 0);
        NONCLIENTMETRICSW metrics = old_;
        metrics.lfMessageFont = font;
        ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    ~MessageFont() { ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, old_.cbSize, &old_, 0); }
    MessageFont(const MessageFont&) = delete;
    MessageFont& operator=(const MessageFont&) = delete;

  private:
    NONCLIENTMETRICSW old_{};
};

// This test program's probe, run at `dpi`; its exit code and what it printed.
std::pair<DWORD, std::string> RunProbe(int dpi) {
    const UserSetting logPixels("Control Panel\\Desktop", "LogPixels", static_cast<DWORD>(dpi));
    ScratchDir scratch;
    const std::string log = scratch.File("probe.txt");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    platform::win32::UniqueHandle output(
        ::CreateFileA(log.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr));
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command =
        std::string("\"") + self + "\" --gtest_filter=LayoutProbe.* --gtest_brief=1";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION process{};
    ::SetEnvironmentVariableA(kProbeSwitch, "1");
    const BOOL started = ::CreateProcessA(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &process);
    ::SetEnvironmentVariableA(kProbeSwitch, nullptr);
    if (!started) {
        return {~DWORD{0}, "the probe did not start"};
    }
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    output.reset();
    return {code, ReadFile(log)};
}

TEST(WindowLayout, NoCaptionIsCutAndNoControlOverlapsAnotherAtEveryDpiAndInAWiderFont) {
    if (std::getenv(kProbeSwitch) != nullptr) {
        GTEST_SKIP();
    }
    for (const bool wide : {false, true}) {
        // Tahoma at 10 points stands in for Segoe UI at 9 points, Windows 10's and 11's message
        // font: 7 by 16 pixels at 96 DPI against Segoe UI's 7 by 15.
        LOGFONTW tahoma{};
        tahoma.lfHeight = -::MulDiv(10, platform::win32::WindowDpi(nullptr), 72);
        tahoma.lfWeight = FW_NORMAL;
        tahoma.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(tahoma.lfFaceName, L"Tahoma", LF_FACESIZE);
        NONCLIENTMETRICSW current{};
        current.cbSize = sizeof(current);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, current.cbSize, &current, 0);
        const MessageFont font(wide ? tahoma : current.lfMessageFont);
        for (const int dpi : {96, 120, 144, 192}) {
            const auto [code, said] = RunProbe(dpi);
            // A probe that skipped its windows would pass too.
            EXPECT_TRUE(code == 0 && said.find("[  PASSED  ] 1 test") != std::string::npos)
                << "at " << dpi << " DPI" << (wide ? " in Tahoma 10 pt" : "") << ":\n"
                << said;
        }
    }
}

}  // namespace
}  // namespace ombrix::test
