// The real Ombrix.exe: Tab through the main window, and the results of Launch Uptime as the eye
// sees them and as a screen reader in another process reads them (Active Accessibility).
#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "drive/ombrix_windows.h"
#include "platform/win32/accessibility_win32.h"
#include "results/win32/results_window_ids.h"
#include "ui/ombrix_session.h"

namespace ombrix::uitest {
namespace {

using test::GuiOf;

// True when the focus settles on `control` within 5 s.
bool FocusComesTo(HWND control) {
    return WaitUntil([&] { return GuiOf(control).hwndFocus == control; });
}

// Options restored with a hidden command line open the window collapsed, with the focus on
// Launch Uptime; without a tool, Launch Uptime says so, and the focus comes back. Shown again,
// the command line grows the window, and with either period Tab goes round every control that
// takes the focus, in order, from where it is.
TEST(UiKeyboard, ACollapsedStartHasTheFocusOnLaunchAndTabGoesRoundInOrder) {
    OmbrixSession app;
    options::OptionState options = DefaultOptions();
    options.showCommandLine = false;
    options.remoteMachine = options.showEvents = true;
    options.machineName = "SRV01";
    app.WriteOptions(options, "");
    app.Start();
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    HWND launch = app.ControlWindow(Control::LaunchButton);
    EXPECT_TRUE(FocusComesTo(launch)) << "at start-up; it is on " << GuiOf(main).hwndFocus;
    EXPECT_EQ(TextOf(app.ControlWindow(Control::CommandLine)), "uptime SRV01 /s");
    app.Press(Control::LaunchButton);
    EXPECT_EQ(app.AnswerMessageBox(), "You need to locate UPTIME.EXE before you can launch it.");
    EXPECT_TRUE(FocusComesTo(launch)) << "after a message box";
    RECT before{};
    ::GetWindowRect(main, &before);
    // The menu item toggles: the command line shows now only if the start hid it.
    app.Post(WM_COMMAND, main::win32::kMenuShowCommandLine);
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowVisible(app.ControlWindow(Control::CommandLine)); }));
    RECT expanded{};
    ::GetWindowRect(main, &expanded);
    EXPECT_LT(before.bottom - before.top, expanded.bottom - expanded.top);

    ::SendMessageA(app.ControlWindow(Control::RestrictPeriod), BM_CLICK, 0, 0);
    for (const Control period : {Control::SinceDate, Control::LastDays}) {
        ::SendMessageA(app.ControlWindow(period), BM_CLICK, 0, 0);
        std::vector<Control> order = {
            Control::CommandLine, Control::LaunchButton,    Control::ExitButton,
            Control::ShowEvents,  Control::ShowAppFailures, Control::RemoteMachine,
            Control::MachineName, Control::RestrictPeriod,  Control::SinceDate};
        const std::vector<Control> inPeriod =
            period == Control::SinceDate
                ? std::vector{Control::Month, Control::Year, Control::Day, Control::LastDays}
                : std::vector{Control::LastDays, Control::DayCount};
        order.insert(order.end(), inPeriod.begin(), inPeriod.end());
        const auto at = std::find_if(order.begin(), order.end(), [&](Control control) {
            return app.ControlWindow(control) == GuiOf(main).hwndFocus;
        });
        ASSERT_NE(at, order.end()) << "the focus is on no control";
        std::rotate(order.begin(), at + 1, order.end());  // from the control after the focus
        for (const Control next : order) {
            // Tab, pressed where the focus is.
            HWND from = GuiOf(main).hwndFocus;
            ::PostMessageA(from, WM_KEYDOWN, VK_TAB, 1);
            WaitUntil([&] { return GuiOf(main).hwndFocus != from; });
            EXPECT_EQ(GuiOf(main).hwndFocus, app.ControlWindow(next))
                << "expected control " << static_cast<int>(next) << " with "
                << static_cast<int>(period);
        }
    }
}

// A COM object's reference, given back however the test ends.
struct ReleaseObject {
    void operator()(IUnknown* object) const { object->Release(); }
};

LONG LongOf(HRESULT got, const VARIANT& value) {
    return SUCCEEDED(got) && value.vt == VT_I4 ? value.lVal : -1;
}

// `text` by reference: read once the call that fills it has returned.
std::wstring WideTextOf(HRESULT got, BSTR& text) {
    std::wstring taken = SUCCEEDED(got) ? std::wstring(text, ::SysStringLen(text)) : L"(failed)";
    ::SysFreeString(text);
    return taken;
}

// The WinEvents the program raises for one window, as this thread's messages bring them.
thread_local HWND tWatched = nullptr;
thread_local std::vector<DWORD> tEvents;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (window == tWatched && object == OBJID_CLIENT && child == CHILDID_SELF) {
        tEvents.push_back(event);
    }
}

// Pumps this thread's messages until `event` came; false after 5 s.
bool CameEvent(DWORD event) {
    return WaitUntil([&] {
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
        return std::find(tEvents.begin(), tEvents.end(), event) != tEvents.end();
    });
}

// The focus starts on the command line and goes to Launch Uptime when the command line is
// hidden. The results show as the eye sees them and as a screen reader reads them, following
// focus and selection and cut off at the close; then the focus is back on Launch Uptime, and
// again after another window was active.
TEST(UiLaunch, ResultsShowTheToolsOutputToTheEyeAndToAScreenReaderAndTheFocusComesBack) {
    const platform::win32::AccessibilityCalls* calls = platform::win32::FindAccessibilityCalls();
    ASSERT_NE(calls, nullptr);
    const platform::win32::ComApartment com(*calls);
    OmbrixSession app;
    app.WriteOptions(DefaultOptions(), app.Path("uptime.exe").string());
    app.Start();
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    HWND launch = app.ControlWindow(Control::LaunchButton);
    HWND commandLine = app.ControlWindow(Control::CommandLine);
    EXPECT_TRUE(FocusComesTo(commandLine)) << "at start-up; it is on " << GuiOf(main).hwndFocus;
    app.Post(WM_COMMAND, main::win32::kMenuShowCommandLine);
    EXPECT_TRUE(FocusComesTo(launch)) << "after the command line was hidden";
    app.Press(Control::LaunchButton);
    HWND results = app.WaitForWindow(results::win32::kResultsWindowClass);
    ASSERT_NE(results, nullptr);
    HWND view = ::GetDlgItem(results, results::win32::kReportView);
    const std::string report = TextOf(view);
    EXPECT_NE(report.find(" has been up for: "), std::string::npos) << report;
    EXPECT_FALSE(::IsWindowEnabled(main)) << "the results window is not modal";
    const std::vector<fs::path> files = app.TempFiles();
    ASSERT_EQ(files.size(), 1u) << "the output is not in the temporary folder";
    EXPECT_EQ(test::ReadFile(files[0].string()), report);

    tWatched = view;
    tEvents.clear();
    const std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, decltype(&::UnhookWinEvent)> hook(
        ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT),
        &::UnhookWinEvent);
    IAccessible* object = nullptr;
    ASSERT_EQ(
        ::AccessibleObjectFromWindow(view, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&object)),
        S_OK);
    const std::unique_ptr<IAccessible, ReleaseObject> accessible(object);
    VARIANT self{};
    self.vt = VT_I4;  // lVal is CHILDID_SELF, 0
    VARIANT value;
    constexpr LONG kFocusedReadOnly =
        STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED;
    EXPECT_EQ(LongOf(accessible->get_accRole(self, &value), value), ROLE_SYSTEM_TEXT);
    EXPECT_EQ(LongOf(accessible->get_accState(self, &value), value), kFocusedReadOnly);
    BSTR text = nullptr;
    EXPECT_EQ(WideTextOf(accessible->get_accName(self, &text), text),
              L"System Uptime Results Summary");
    EXPECT_EQ(WideTextOf(accessible->get_accValue(self, &text), text),
              std::wstring(report.begin(), report.end()));  // the report is ASCII
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(accessible->accLocation(&left, &top, &width, &height, self), S_OK);
    RECT client{};
    ::GetClientRect(view, &client);
    ::MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT located{left, top, left + width, top + height};
    EXPECT_TRUE(::EqualRect(&located, &client)) << "where the text lies";

    // A selection made from outside is announced.
    ::SendMessageA(view, EM_SETSEL, 0, 5);
    EXPECT_TRUE(CameEvent(EVENT_OBJECT_TEXTSELECTIONCHANGED));

    // Tab leaves the view, the object says so; taking the focus back is announced.
    ::PostMessageA(view, WM_KEYDOWN, VK_TAB, 1);
    ASSERT_TRUE(WaitUntil([&] { return GuiOf(view).hwndFocus != view; }));
    EXPECT_EQ(LongOf(accessible->get_accState(self, &value), value),
              kFocusedReadOnly & ~STATE_SYSTEM_FOCUSED);
    tEvents.clear();
    EXPECT_EQ(accessible->accSelect(SELFLAG_TAKEFOCUS, self), S_OK);
    EXPECT_TRUE(CameEvent(EVENT_OBJECT_FOCUS));  // raised as the view takes the focus

    // Closed, the window's object answers no more, and nothing waits on it.
    ASSERT_TRUE(drive::CloseResults(results, 5s));
    EXPECT_TRUE(FAILED(accessible->get_accRole(self, &value)));
    EXPECT_TRUE(FAILED(accessible->get_accValue(self, &text)));
    EXPECT_TRUE(FocusComesTo(launch)) << "after the results window closed";

    const auto other = test::PlainWindow();
    ::SetForegroundWindow(other.get());
    ASSERT_TRUE(WaitUntil([&] { return GuiOf(main).hwndFocus == nullptr; }));
    ::SetForegroundWindow(main);
    EXPECT_TRUE(FocusComesTo(launch)) << "after another window was active";
    ExpectIdle(app);
}

}  // namespace
}  // namespace ombrix::uitest
