#include "main/win32/main_window.h"

#include <cstdint>
#include <vector>

#include "about/html_help.h"
#include "about/win32/about_box.h"
#include "base/twips.h"
#include "main/main_layout.h"
#include "main/win32/main_menu.h"
#include "main/win32/main_window_ids.h"
#include "options/options_file.h"
#include "platform/process_files.h"
#include "platform/system_info.h"
#include "platform/win32/dpi.h"
#include "results/win32/report_actions.h"
#include "shared/shared_routines.h"

namespace ombrix::main::win32 {
namespace {

using options::Control;

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

bool IsTextBox(Control control) {
    const ControlKind kind = DesignOf(control).kind;
    return kind == ControlKind::Text || kind == ControlKind::ReadOnlyText;
}

}  // namespace

MainWindow::MainWindow() : controls_(kMainControls), clientHeight_(kClientHeight) {}
// The window goes first, while everything its messages reach is still there.
MainWindow::~MainWindow() {
    Destroy();
}

HWND MainWindow::Handle(Control control) const {
    return controls_[IdOf(control)];
}

bool MainWindow::Open() {
    Register(kMainWindowClass);
    if (!Create(WS_EX_CONTROLPARENT, kMainWindowClass, kMainCaption, kStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, 640, 400, nullptr)) {
        return false;
    }
    menuBar_ = CreateMainMenu();
    ::SetMenu(Window(), menuBar_);
    if (!controls_.Create(Window())) {
        return false;
    }
    Layout(Dpi());
    return true;
}

void MainWindow::Layout(int dpi) {
    // The new font is in place before the old one goes.
    platform::win32::UniqueFont font = platform::win32::CreateMessageFont(dpi);
    scale_ = platform::win32::FontLayoutScale(font.get(), dpi);
    controls_.Place(scale_, topShifts_);
    controls_.SetFont(font.get());
    font_ = std::move(font);
    SizeToDesign();
}

void MainWindow::SizeToDesign() {
    SizeClient(scale_, kClientWidth, clientHeight_);
}

void MainWindow::CentreOnScreen() {
    RECT own{};
    ::GetWindowRect(Window(), &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const base::Box at =
        base::CentredOver({area.left, area.top, area.right - area.left, area.bottom - area.top},
                          own.right - own.left, own.bottom - own.top);
    ::SetWindowPos(Window(), nullptr, at.left, at.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::Run() {
    if (!Open()) {
        // Read before the half-made window goes, which may change the thread's last error.
        const DWORD error = ::GetLastError();
        Destroy();
        messages_.Show(base::WithReason("Ombrix could not create its window.",
                                        platform::SystemErrorText(error)),
                       platform::MessageStyle::OkExclamation);
        return 1;
    }
    fileDialogs_.SetOwner(Window());
    waiter_ = std::make_unique<BusyWaiter>(Window());
    results_ = std::make_unique<results::win32::ResultsWindow>(
        Window(), messages_, results::win32::StandardReportActions());
    MainServices services{messages_,
                          fileDialogs_,
                          *results_,
                          waiter_.get(),
                          shared::JoinPath(platform::ProgramDirectory(), options::kOptionsFileName),
                          &platform::QueryWindowsVersion,
                          &platform::LocalToday};
    form_ = std::make_unique<MainForm>(*this, std::move(services));

    // A refused platform ends the program before the window is ever shown.
    if (const base::Result<> started = form_->Start(); !started) {
        messages_.Show(started.Reason(), platform::MessageStyle::OkExclamation);
        return 0;
    }
    messages_.SetOwner(Window());
    CentreOnScreen();
    ::ShowWindow(Window(), SW_SHOWNORMAL);
    ::UpdateWindow(Window());

    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        if (Window() == nullptr || !::IsDialogMessageA(Window(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

std::string MainWindow::Text(Control control) const {
    HWND handle = Handle(control);
    std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(handle)) + 1, '\0');
    const int length = ::GetWindowTextA(handle, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void MainWindow::PutText(Control control, const std::string& text) {
    putting_ = true;
    ::SetWindowTextA(Handle(control), text.c_str());
    putting_ = false;
}

int MainWindow::Value(Control control) const {
    return static_cast<int>(::SendMessageA(Handle(control), BM_GETCHECK, 0, 0));
}

bool MainWindow::CommandLineShown() const {
    return (::GetMenuState(menuBar_, kMenuShowCommandLine, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::PutCommandLineShown(bool shown) {
    ::CheckMenuItem(menuBar_, kMenuShowCommandLine,
                    MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::PutValue(Control control, int value) {
    HWND button = Handle(control);
    ::SendMessageA(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    if (options::IsOptionButton(control)) {
        // The system makes a cleared radio button no tab stop, as if the other button of its
        // group stood next to it in the tab order; here the date boxes stand between the two,
        // so each stays a tab stop of its own.
        ::SetWindowLongPtrA(button, GWL_STYLE, ::GetWindowLongPtrA(button, GWL_STYLE) | WS_TABSTOP);
    }
}

void MainWindow::SetEnabled(Control control, bool enabled) {
    ::EnableWindow(Handle(control), enabled ? TRUE : FALSE);
}

void MainWindow::SetVisible(Control control, bool visible) {
    ::ShowWindow(Handle(control), visible ? SW_SHOW : SW_HIDE);
}

int MainWindow::Height(Control control) const {
    return DesignOf(control).twips.height;
}

void MainWindow::MoveTop(Control control, int delta) {
    topShifts_[IdOf(control)] += delta;
    controls_.Place(scale_, topShifts_);
}

void MainWindow::ChangeWindowHeight(int delta) {
    clientHeight_ += delta;
    SizeToDesign();
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
            Destroy();
            return;
        case kMenuHelpIndex:
            about::ShowHelpIndex(reinterpret_cast<std::uintptr_t>(Window()), messages_);
            return;
        case kMenuAbout:
            about::win32::ShowAboutBox(Window());
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
            Destroy();
        } else if (options::IsOptionButton(control)) {
            form_->Options().SetValue(control, 1);
        } else if (DesignOf(control).kind == ControlKind::CheckBox) {
            form_->Options().OnClick(control);
        }
    }
}

LRESULT MainWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return BaseWindow::OnMessage(window, message, wParam, lParam);
}

}  // namespace ombrix::main::win32
