#include "results/win32/report_actions.h"

#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/printer_win32.h"
#include "results/print_layout.h"
#include "results/report_file.h"

namespace ombrix::results::win32 {
namespace {

// The window does not respond until the job has been handed to the printer.
class WaitCursor {
  public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

void SaveReportFromWindow(const std::string& text, HWND owner, platform::MessageBoxes& messages) {
    platform::win32::Win32FileDialogs dialogs(owner);
    SaveReport(text, dialogs, messages, SystemReportSources());
}

void PrintReportFromWindow(const std::string& text, platform::MessageBoxes& messages) {
    platform::win32::Win32Printer printer;
    const WaitCursor waiting;
    PrintReport(text, printer, messages, SystemReportSources());
}

}  // namespace

ReportActions StandardReportActions() {
    return ReportActions{[](const std::string& text, HWND window) {
                             platform::win32::Win32MessageBoxes messages(window);
                             SaveReportFromWindow(text, window, messages);
                         },
                         [](const std::string& text, HWND window) {
                             platform::win32::Win32MessageBoxes messages(window);
                             PrintReportFromWindow(text, messages);
                         }};
}

}  // namespace ombrix::results::win32
