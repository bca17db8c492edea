#include "main/win32/main_window.h"

#include <cstdint>
#include <vector>

#include "about/html_help.h"
#include "about/win32/about_box.h"
#include "base/twips.h"
#include "main/main_layout.h"
#include "main/win32/main_window_ids.h"
#include "options/options_file.h"
#include "platform/process_files.h"
#include "platform/system_info.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_procedure.h"
#include "results/win32/report_actions.h"
#include "shared/shared_routines.h"

namespace ombrix::main::win32 {
namespace {

using options::Control;
using platform::win32::TwipsToPixels;

constexpr const char* kClassName = kMainWindowClass;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

DWORD StyleFor(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
        case ControlKind::ReadOnlyText:
            return kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
        case ControlKind::Text:
            return kChild | WS_TABSTOP | ES_AUTOHSCROLL;
        case ControlKind::Button:
            return kChild | WS_TABSTOP | BS_PUSHBUTTON;
        case ControlKind::Frame:
            return WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
        case ControlKind::CheckBox:
            return kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
        case ControlKind::OptionButton:
            return kChild | WS_TABSTOP | BS_RADIOBUTTON;
        case ControlKind::Label:
            return kChild | SS_LEFT | SS_NOPREFIX;
    }
    return kChild;
}

const char* ClassFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::ReadOnlyText:
        case ControlKind::Text:
            return "EDIT";
        case ControlKind::Label:
            return "STATIC";
        default:
            return "BUTTON";
    }
}

bool IsTextBox(Control control) {
    const ControlKind kind = DesignOf(control).kind;
    return kind == ControlKind::Text || kind == ControlKind::ReadOnlyText;
}

}  // namespace

MainWindow::MainWindow() = default;
// The window goes first, while everything its messages reach is still there.
MainWindow::~MainWindow() {
    window_.reset();
}

RECT MainWindow::PixelRect(Control control) const {
    int left = 0;
    int top = 0;
    // Positions are relative to the container: add up the chain, moves included.
    std::optional<Control> at = control;
    while (at) {
        const ControlDesign& design = DesignOf(*at);
        left += design.left;
        const auto shift = topShifts_.find(*at);
        top += design.top + (shift == topShifts_.end() ? 0 : shift->second);
        at = design.container;
    }
    const ControlDesign& own = DesignOf(control);
    return platform::win32::PixelRect(base::Box{left, top, own.width, own.height}, dpi_);
}

bool MainWindow::Create() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    platform::win32::RegisterWindowClass(kClassName, platform::win32::WindowProcedure<MainWindow>,
                                         ::LoadIconA(instance, MAKEINTRESOURCEA(1)));
    window_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, kMainCaption, kStyle,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, nullptr, nullptr,
                                    instance, this));
    if (!window_) {
        return false;
    }
    dpi_ = platform::win32::WindowDpi(window_.get());
    CreateMenuBar();
    CreateControls();
    ApplyFont();
    const SIZE outer = platform::win32::OuterSizeForClient(TwipsToPixels(kClientWidth, dpi_),
                                                           TwipsToPixels(kClientHeight, dpi_),
                                                           kStyle, 0, true, dpi_);
    // Not activated yet: that comes with showing it, and puts the focus on the first control.
    ::SetWindowPos(window_.get(), nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void MainWindow::CreateMenuBar() {
    menuBar_ = ::CreateMenu();
    HMENU ombrix = ::CreatePopupMenu();
    ::AppendMenuA(ombrix, MF_STRING, kMenuProgramLocation, "Program Location");
    ::AppendMenuA(ombrix, MF_STRING | MF_CHECKED, kMenuShowCommandLine, "Show Command Line");
    ::AppendMenuA(ombrix, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(ombrix, MF_STRING, kMenuExit, "Exit");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, kMenuHelpIndex, "Index");
    ::AppendMenuA(help, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(help, MF_STRING, kMenuAbout, "About Ombrix");
    ::AppendMenuA(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(ombrix), "Ombrix");
    ::AppendMenuA(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
    ::SetMenu(window_.get(), menuBar_);
}

void MainWindow::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // Created in tab order, which is also the order Tab moves through them.
    for (const ControlDesign& design : kMainControls) {
        const RECT r = PixelRect(design.control);
        DWORD exStyle = IsTextBox(design.control) ? WS_EX_CLIENTEDGE : 0;
        HWND control = ::CreateWindowExA(
            exStyle, ClassFor(design.kind), design.caption, StyleFor(design.kind), r.left, r.top,
            r.right - r.left, r.bottom - r.top, window_.get(),
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ControlId(design.control))), instance,
            nullptr);
        if (design.maxLength > 0) {
            ::SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
        }
        controls_[design.control] = control;
    }
    // Frames lie under what they hold, and the date separators under the date boxes.
    ::SetWindowPos(controls_[Control::PeriodFrame], HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(controls_[Control::OptionsFrame], HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::ApplyFont() {
    font_ = platform::win32::CreateMessageFont(dpi_);
    for (const auto& [control, handle] : controls_) {
        ::SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
}

void MainWindow::Layout() {
    for (const auto& [control, handle] : controls_) {
        const RECT r = PixelRect(control);
        ::SetWindowPos(handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindow::CentreOnScreen() {
    RECT own{};
    ::GetWindowRect(window_.get(), &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    ::SetWindowPos(window_.get(), nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::Run() {
    if (!Create()) {
        messages_.Show(base::WithReason("Ombrix could not create its window.",
                                        platform::SystemErrorText(::GetLastError())),
                       platform::MessageStyle::OkExclamation);
        return 1;
    }
    fileDialogs_.SetOwner(window_.get());
    waiter_ = std::make_unique<BusyWaiter>(window_.get());
    results_ = std::make_unique<results::win32::ResultsWindow>(
        window_.get(), runState_, messages_, results::win32::StandardReportActions());
    MainServices services{runState_,
                          messages_,
                          fileDialogs_,
                          *results_,
                          waiter_.get(),
                          shared::JoinPath(platform::ProgramDirectory(), options::kOptionsFileName),
                          &platform::QueryWindowsVersion,
                          &platform::LocalToday};
    form_ = std::make_unique<MainForm>(*this, std::move(services));

    // A refused platform ends the program before the window is ever shown.
    if (!form_->Start()) {
        return 0;
    }
    messages_.SetOwner(window_.get());
    CentreOnScreen();
    ::ShowWindow(window_.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.get());

    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        if (!window_ || !::IsDialogMessageA(window_.get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

std::string MainWindow::Text(Control control) const {
    HWND handle = controls_.at(control);
    std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(handle)) + 1, '\0');
    const int length = ::GetWindowTextA(handle, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void MainWindow::PutText(Control control, const std::string& text) {
    putting_ = true;
    ::SetWindowTextA(controls_.at(control), text.c_str());
    putting_ = false;
}

int MainWindow::Value(Control control) const {
    return static_cast<int>(::SendMessageA(controls_.at(control), BM_GETCHECK, 0, 0));
}

bool MainWindow::CommandLineShown() const {
    return (::GetMenuState(menuBar_, kMenuShowCommandLine, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::PutCommandLineShown(bool shown) {
    ::CheckMenuItem(menuBar_, kMenuShowCommandLine,
                    MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::PutValue(Control control, int value) {
    HWND button = controls_.at(control);
    ::SendMessageA(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    if (options::IsOptionButton(control)) {
        // The system makes a cleared radio button no tab stop, as if the other button of its
        // group stood next to it in the tab order; here the date boxes stand between the two,
        // so each stays a tab stop of its own.
        ::SetWindowLongPtrA(button, GWL_STYLE, ::GetWindowLongPtrA(button, GWL_STYLE) | WS_TABSTOP);
    }
}

void MainWindow::SetEnabled(Control control, bool enabled) {
    ::EnableWindow(controls_.at(control), enabled ? TRUE : FALSE);
}

void MainWindow::SetVisible(Control control, bool visible) {
    ::ShowWindow(controls_.at(control), visible ? SW_SHOW : SW_HIDE);
}

int MainWindow::Height(Control control) const {
    return DesignOf(control).height;
}

void MainWindow::MoveTop(Control control, int delta) {
    topShifts_[control] += delta;
    Layout();
}

void MainWindow::ChangeWindowHeight(int delta) {
    RECT own{};
    ::GetWindowRect(window_.get(), &own);
    ::SetWindowPos(window_.get(), nullptr, 0, 0, own.right - own.left,
                   own.bottom - own.top + TwipsToPixels(delta, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnCommand(UINT id, UINT code) {
    switch (id) {
        case kMenuProgramLocation:
            form_->LocateTool();
            return;
        case kMenuShowCommandLine:
            form_->ToggleCommandLine();
            return;
        case kMenuExit:
            form_->Exit();
            window_.reset();
            return;
        case kMenuHelpIndex:
            about::ShowHelpIndex(reinterpret_cast<std::uintptr_t>(window_.get()), messages_);
            return;
        case kMenuAbout:
            about::win32::ShowAboutBox(window_.get());
            return;
        default:
            break;
    }
    if (id < kFirstControlId || id >= kFirstControlId + kMainControls.size()) {
        return;
    }
    const auto control = static_cast<Control>(id - kFirstControlId);
    if (code == EN_CHANGE && IsTextBox(control) && !putting_) {
        form_->Options().OnChange(control);
    } else if (code == BN_CLICKED) {
        if (control == Control::LaunchButton) {
            form_->Launch();
        } else if (control == Control::ExitButton) {
            form_->Exit();
            window_.reset();
        } else if (options::IsOptionButton(control)) {
            form_->Options().SetValue(control, 1);
        } else if (DesignOf(control).kind == ControlKind::CheckBox) {
            form_->Options().OnClick(control);
        }
    }
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (form_) {
                OnCommand(LOWORD(wParam), HIWORD(wParam));
            }
            return 0;
        case WM_SETCURSOR:
            if (waiter_ && waiter_->IsBusy()) {
                ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // Also what puts the focus on the first control at start-up.
            if (focus_.OnActivate(window, wParam)) {
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (focus_.OnSetFocus(window)) {
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            dpi_ = platform::win32::FollowDpiChange(window, wParam, lParam);
            ApplyFont();
            Layout();
            return 0;
        }
        case WM_CLOSE:
            // Closing through the frame ends the program without saving.
            window_.reset();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_.release();
            break;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ombrix::main::win32
