#include "results/win32/results_window.h"

#include "base/twips.h"
#include "platform/win32/centred_window.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/dpi.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/window_procedure.h"
#include "results/win32/results_window_design.h"
#include "results/win32/results_window_ids.h"
#include "shared/display_text.h"

namespace ombrix::results::win32 {
namespace {

constexpr const char* kClassName = kResultsWindowClass;

// The controls in tab order, in twips of the client area.
struct ControlDesign {
    int id;
    base::Box twips;
};
constexpr ControlDesign kControls[] = {
    {kReportView, kReportViewBox},
    {kExitButton, kExitButtonBox},
};

RECT PixelRect(int id, int dpi) {
    for (const ControlDesign& design : kControls) {
        if (design.id == id) {
            return platform::win32::PixelRect(design.twips, dpi);
        }
    }
    return RECT{};
}

}  // namespace

ResultsWindow::~ResultsWindow() {
    window_.reset();
}

void ResultsWindow::ShowModal(std::string output) {
    platform::win32::Win32Clipboard clipboard(mainWindow_);
    form_ = std::make_unique<ResultsForm>(runState_, clipboard, windowMessages_);

    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    platform::win32::RegisterWindowClass(kClassName,
                                         platform::win32::WindowProcedure<ResultsWindow>, icon);
    window_.reset(
        platform::win32::CreateCentredWindow({0, kClassName, kResultsCaption, kResultsWindowStyle,
                                              kResultsClientWidth, kResultsClientHeight},
                                             mainWindow_, this));
    if (!window_ || !CreateControls()) {
        const DWORD error = ::GetLastError();
        window_.reset();
        form_->Closed();
        messages_.Show(base::WithReason("Ombrix could not open the results window.",
                                        platform::SystemErrorText(error)),
                       platform::MessageStyle::OkExclamation);
    } else {
        // The view takes over the one copy there is; Copy, Save Report and Print read it there.
        view_->SetText(shared::ToDisplayText(std::move(output)));
        ::SetFocus(view_->Window());
        ::ShowWindow(window_.get(), SW_SHOWNORMAL);
        ::UpdateWindow(window_.get());
        platform::win32::RunModal(window_.get(), mainWindow_);
        // Still there only when the program is being ended from outside.
        window_.reset();
    }
    view_.reset();
    exitButton_ = nullptr;
    textFont_.reset();
    buttonFont_.reset();
    form_.reset();
}

bool ResultsWindow::CreateControls() {
    windowMessages_.SetOwner(window_.get());
    dpi_ = platform::win32::WindowDpi(window_.get());
    view_ = std::make_unique<TextView>(windowMessages_);
    if (!view_->Create(window_.get(), kReportView, PixelRect(kReportView, dpi_))) {
        return false;
    }
    const RECT button = PixelRect(kExitButton, dpi_);
    exitButton_ = ::CreateWindowExA(
        0, "BUTTON", kCloseCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, button.left,
        button.top, button.right - button.left, button.bottom - button.top, window_.get(),
        reinterpret_cast<HMENU>(kExitButton), ::GetModuleHandleA(nullptr), nullptr);
    if (exitButton_ == nullptr) {
        return false;
    }
    ApplyDpi();
    return true;
}

void ResultsWindow::ApplyDpi() {
    // The new fonts are in place before the old ones go.
    platform::win32::UniqueFont textFont =
        platform::win32::CreateFixedFont(dpi_, kReportTextPoints);
    platform::win32::UniqueFont buttonFont = platform::win32::CreateMessageFont(dpi_);
    for (HWND control : {view_->Window(), exitButton_}) {
        const RECT r = PixelRect(::GetDlgCtrlID(control), dpi_);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SendMessageA(view_->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(textFont.get()), TRUE);
    ::SendMessageA(exitButton_, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont.get()), TRUE);
    textFont_ = std::move(textFont);
    buttonFont_ = std::move(buttonFont);
}

void ResultsWindow::ShowPopUp(LPARAM position) {
    platform::win32::UniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, kCopyCommand, "Copy");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING, kSaveReportCommand, "Save Report");
    ::AppendMenuA(menu.get(), MF_STRING, kPrintCommand, "Print");

    POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the caret when it is in sight, else at the box's corner.
        HWND box = view_->Window();
        RECT client{};
        ::GetClientRect(box, &client);
        POINT caret{};
        if (!(::GetCaretPos(&caret) && ::PtInRect(&client, caret))) {
            caret = POINT{8, 8};
        }
        caret.y += view_->Model().LineHeight();
        ::ClientToScreen(box, &caret);
        at = caret;
    }
    HWND window = window_.get();
    const std::string& shown = view_->Model().Text();
    const auto chosen = static_cast<UINT_PTR>(::TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
    switch (chosen) {
        case kCopyCommand:
            form_->Copy(shown);
            break;
        case kSaveReportCommand:
            if (actions_.save) {
                actions_.save(shown, window);
            }
            break;
        case kPrintCommand:
            if (actions_.print) {
                actions_.print(shown, window);
            }
            break;
        default:
            break;
    }
}

void ResultsWindow::Close() {
    if (form_) {
        form_->Closed();
    }
    // The owner comes back before this window goes, so that it, not another program, is
    // activated.
    ::EnableWindow(mainWindow_, TRUE);
    window_.reset();
}

LRESULT ResultsWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitButton && HIWORD(wParam) == BN_CLICKED) {
                Close();
            }
            return 0;
        case WM_CONTEXTMENU:
            if (view_ && reinterpret_cast<HWND>(wParam) == view_->Window()) {
                ShowPopUp(lParam);
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            dpi_ = platform::win32::FollowDpiChange(window, wParam, lParam);
            if (view_ && exitButton_ != nullptr) {
                ApplyDpi();
            }
            return 0;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            window_.release();
            break;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ombrix::results::win32
