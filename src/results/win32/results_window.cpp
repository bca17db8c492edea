#include "results/win32/results_window.h"

#include "base/control_design.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/dpi.h"
#include "results/win32/results_window_design.h"
#include "results/win32/results_window_ids.h"
#include "shared/display_text.h"

namespace ombrix::results::win32 {
namespace {

using base::ControlKind;

// In tab order.
constexpr base::ControlDesign kControls[] = {
    {kReportView, ControlKind::Custom, kReportViewBox},
    {kExitButton, ControlKind::Button, kExitButtonBox, kCloseCaption},
};

}  // namespace

ResultsWindow::ResultsWindow(HWND mainWindow, platform::MessageBoxes& messages,
                             ReportActions actions)
    : ModalWindow(mainWindow, "Ombrix could not open the results window."),
      messages_(messages),
      actions_(std::move(actions)),
      controls_(kControls) {}

ResultsWindow::~ResultsWindow() {
    Destroy();
}

void ResultsWindow::ShowModal(std::string output) {
    platform::win32::Win32Clipboard clipboard(Owner());
    form_ = std::make_unique<ResultsForm>(clipboard, windowMessages_);
    output_ = std::move(output);
    Register(kResultsWindowClass);
    RunModal({0, kResultsWindowClass, kResultsCaption, kResultsWindowStyle, kResultsClientWidth,
              kResultsClientHeight},
             messages_);
    controls_.Clear();
    view_.reset();
    textFont_.reset();
    buttonFont_.reset();
    form_.reset();
    output_.clear();
}

bool ResultsWindow::CreateContents() {
    windowMessages_.SetOwner(Window());
    view_ = std::make_unique<TextView>(windowMessages_);
    if (!view_->Create(Window(), kReportView, RECT{}) || !controls_.Create(Window())) {
        return false;
    }
    controls_.Adopt(kReportView, view_->Window());
    Layout(Dpi());
    // The view takes over the one copy there is; Copy, Save Report and Print read it there.
    view_->SetText(shared::ToDisplayText(std::move(output_)));
    ::SetFocus(view_->Window());
    return true;
}

void ResultsWindow::Layout(int dpi) {
    if (!view_) {
        return;
    }
    // The new fonts are in place before the old ones go.
    platform::win32::UniqueFont textFont = platform::win32::CreateFixedFont(dpi, kReportTextPoints);
    platform::win32::UniqueFont buttonFont = platform::win32::CreateMessageFont(dpi);
    // The report keeps its fixed-pitch font; its box grows with the window, which is laid out
    // in the message font as everything else.
    const base::LayoutScale scale = platform::win32::FontLayoutScale(buttonFont.get(), dpi);
    SizeClient(scale, kResultsClientWidth, kResultsClientHeight);
    controls_.Place(scale);
    controls_.SetFont(buttonFont.get());
    ::SendMessageA(view_->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(textFont.get()), TRUE);
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
    HWND window = Window();
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

LRESULT ResultsWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitButton && HIWORD(wParam) == BN_CLICKED) {
                OnClose();
            }
            return 0;
        case WM_CONTEXTMENU:
            if (view_ && reinterpret_cast<HWND>(wParam) == view_->Window()) {
                ShowPopUp(lParam);
                return 0;
            }
            break;
        default:
            break;
    }
    return ModalWindow::OnMessage(window, message, wParam, lParam);
}

}  // namespace ombrix::results::win32
