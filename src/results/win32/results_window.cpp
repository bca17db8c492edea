#include "results/win32/results_window.h"

#include "platform/win32/centred_window.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/dpi.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/window_procedure.h"
#include "results/win32/results_window_ids.h"
#include "results/win32/text_view.h"

namespace ombrix::results::win32 {
namespace {

using platform::win32::TwipsToPixels;

constexpr const char* kClassName = kResultsWindowClass;
constexpr int kClientWidth = 10845;  // twips
constexpr int kClientHeight = 6075;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

RECT Twips(int left, int top, int width, int height, int dpi) {
    return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi),
                TwipsToPixels(height, dpi)};
}

}  // namespace

void ResultsWindow::ShowModal(const std::string& output) {
    platform::win32::Win32Clipboard clipboard(mainWindow_);
    form_ = std::make_unique<ResultsForm>(output, runState_, clipboard, messages_);

    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    platform::win32::RegisterWindowClass(kClassName,
                                         platform::win32::WindowProcedure<ResultsWindow>, icon);
    HWND window = platform::win32::CreateCentredWindow(
        {0, kClassName, kResultsCaption, kStyle, kClientWidth, kClientHeight}, mainWindow_, this);
    if (window == nullptr) {
        form_->Form_Unload();
        messages_.Show(base::WithReason("Ombrix could not open the results window.",
                                        platform::SystemErrorText(::GetLastError())),
                       platform::MessageStyle::OkExclamation);
        return;
    }
    CreateControls(window);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    platform::win32::RunModal(window, mainWindow_);
    form_.reset();
}

void ResultsWindow::CreateControls(HWND window) {
    const int dpi = platform::win32::WindowDpi(window);
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    textFont_ = platform::win32::CreateFixedFont(dpi, 975);
    buttonFont_ = platform::win32::CreateMessageFont(dpi);

    const RECT dump = Twips(240, 360, 10575, 4815, dpi);
    RegisterTextViewClass();
    dump_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, kTextViewClass, "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, dump.left, dump.top,
                              dump.right, dump.bottom, window, reinterpret_cast<HMENU>(kUptimeDump),
                              instance, nullptr);
    const RECT button = Twips(4800, 5400, 1095, 375, dpi);
    HWND exitButton = ::CreateWindowExA(
        0, "BUTTON", kCloseCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, button.left,
        button.top, button.right, button.bottom, window, reinterpret_cast<HMENU>(kExitButton),
        instance, nullptr);
    ::SendMessageA(dump_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    ::SendMessageA(exitButton, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);

    ::SetWindowTextA(dump_, form_->Text().c_str());
    ::SetFocus(dump_);
}

void ResultsWindow::ShowPopUp(HWND window, LPARAM position) {
    platform::win32::UniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, kCopyClip, "Copy");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING, kSaveText, "Save Report");
    ::AppendMenuA(menu.get(), MF_STRING, kCopyPrint, "Print");

    POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1) {
        // From the keyboard: open it at the text box's corner.
        RECT box{};
        ::GetWindowRect(dump_, &box);
        at = POINT{box.left + 8, box.top + 8};
    }
    const auto chosen = static_cast<UINT_PTR>(::TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
    switch (chosen) {
        case kCopyClip:
            form_->PopUp_CopyClip_Click();
            break;
        case kSaveText:
            if (actions_.save) {
                actions_.save(form_->Text(), window);
            }
            break;
        case kCopyPrint:
            if (actions_.print) {
                actions_.print(form_->Text(), window);
            }
            break;
        default:
            break;
    }
}

void ResultsWindow::Close(HWND window) {
    form_->Form_Unload();
    // The owner comes back before this window goes, so that it, not another program, is
    // activated.
    ::EnableWindow(mainWindow_, TRUE);
    ::DestroyWindow(window);
}

LRESULT ResultsWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitButton && HIWORD(wParam) == BN_CLICKED) {
                Close(window);
            }
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == dump_) {
                ShowPopUp(window, lParam);
                return 0;
            }
            break;
        case WM_CLOSE:
            Close(window);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ombrix::results::win32
