#include "main/win32/busy_waiter.h"

#include <algorithm>

#include "base/control_design.h"
#include "platform/win32/base_window.h"
#include "platform/win32/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"

namespace ombrix::main::win32 {
namespace {

using base::ControlKind;

constexpr int kClientWidth = 4800;  // twips
constexpr int kClientHeight = 1500;

constexpr base::ControlDesign kCancelControls[] = {
    {kCancelText, ControlKind::Label, {180, 150, 4440, 700}, kCancelWindowText},
    {kCancelButton, ControlKind::DefaultButton, {1850, 960, 1100, 375}, kCancelButtonCaption},
};

// The small window that offers to cancel, centred over the main window. Any way of closing it
// cancels the run.
class CancelWindow final : public platform::win32::BaseWindow {
  public:
    explicit CancelWindow(bool& cancelled) : cancelled_(cancelled), controls_(kCancelControls) {}
    ~CancelWindow() override { Destroy(); }

    // False when it could not be made: the wait goes on without it.
    bool Open(HWND mainWindow) {
        Register(kCancelWindowClass);
        if (!CreateCentred({WS_EX_DLGMODALFRAME, kCancelWindowClass, kCancelWindowCaption,
                            WS_POPUP | WS_CAPTION | WS_BORDER, kClientWidth, kClientHeight},
                           mainWindow) ||
            !controls_.Create(Window())) {
            Destroy();
            return false;
        }
        Layout(Dpi());
        ::ShowWindow(Window(), SW_SHOWNORMAL);
        ::SetFocus(controls_[kCancelButton]);
        return true;
    }
    void Close() { Destroy(); }

  private:
    void Layout(int dpi) override {
        platform::win32::UniqueFont font = platform::win32::CreateMessageFont(dpi);
        const base::LayoutScale scale = platform::win32::FontLayoutScale(font.get(), dpi);
        SizeClient(scale, kClientWidth, kClientHeight);
        controls_.Place(scale);
        controls_.SetFont(font.get());
        font_ = std::move(font);
    }
    void OnClose() override { cancelled_ = true; }
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) {
            if (LOWORD(wParam) == kCancelButton || LOWORD(wParam) == IDCANCEL) {
                cancelled_ = true;
            }
            return 0;
        }
        return BaseWindow::OnMessage(window, message, wParam, lParam);
    }

    bool& cancelled_;
    platform::win32::Controls controls_;
    platform::win32::UniqueFont font_;
};

}  // namespace

bool BusyWaiter::WaitForExit(platform::CapturedProcess& child) {
    busy_ = true;
    cancelled_ = false;
    const bool wasEnabled = ::IsWindowEnabled(mainWindow_) != FALSE;
    ::EnableWindow(mainWindow_, FALSE);
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));

    const auto start = std::chrono::steady_clock::now();
    // Woken by the tool's end, by a message, or when the cancel window is due; without the
    // process's handle, every few milliseconds.
    HANDLE ended = reinterpret_cast<HANDLE>(child.EndSignal());
    CancelWindow cancelWindow(cancelled_);
    bool cancelOffered = false;  // once: a window that could not be made is not tried again
    bool quitRequested = false;
    int quitCode = 0;
    while (!cancelled_ && !child.WaitForExit(std::chrono::milliseconds(0))) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (!cancelOffered && waited >= kCancelDelay) {
            cancelOffered = true;
            cancelWindow.Open(mainWindow_);
        }
        DWORD timeout = INFINITE;
        if (!cancelOffered) {
            const auto due = std::chrono::ceil<std::chrono::milliseconds>(kCancelDelay - waited);
            timeout = static_cast<DWORD>(due.count());
        }
        if (ended == nullptr) {
            timeout = std::min<DWORD>(timeout, 5);
        }
        ::MsgWaitForMultipleObjectsEx(ended != nullptr ? 1 : 0, &ended, timeout, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The program is being ended: stop the tool and pass the request on.
                quitRequested = true;
                quitCode = static_cast<int>(message.wParam);
                cancelled_ = true;
                break;
            }
            HWND shown = cancelWindow.Window();
            if (shown == nullptr || !::IsDialogMessageA(shown, &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
        }
    }
    if (wasEnabled) {
        ::EnableWindow(mainWindow_, TRUE);
    }
    cancelWindow.Close();
    busy_ = false;
    if (quitRequested) {
        ::PostQuitMessage(quitCode);
    }
    return !cancelled_;
}

}  // namespace ombrix::main::win32
