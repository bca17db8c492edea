// OmbrixResults: the modal window that shows one run's output.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "options/launch_sequence.h"
#include "platform/dialogs.h"
#include "platform/win32/focus_memory.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/window_handles.h"
#include "results/results_form.h"
#include "results/win32/text_view.h"

namespace ombrix::results::win32 {

// What Save Report and Print do with the text; either may be empty (nothing happens).
struct ReportActions {
    std::function<void(const std::string& text, HWND window)> save;
    std::function<void(const std::string& text, HWND window)> print;
};

class ResultsWindow final : public options::ResultsDisplay {
  public:
    // Closing the window dismisses the run in `runState`, the main window's. A window that cannot
    // be opened is told through `messages`.
    ResultsWindow(HWND mainWindow, runner::RunState& runState, platform::MessageBoxes& messages,
                  ReportActions actions = {})
        : mainWindow_(mainWindow),
          runState_(runState),
          messages_(messages),
          actions_(std::move(actions)) {}
    ResultsWindow(const ResultsWindow&) = delete;
    ResultsWindow& operator=(const ResultsWindow&) = delete;
    ~ResultsWindow() override;

    void ShowModal(std::string output) override;

    // Used by the window procedure.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    bool CreateControls();
    void ApplyDpi();
    void ShowPopUp(LPARAM position);
    void Close();

    HWND mainWindow_;
    runner::RunState& runState_;
    platform::MessageBoxes& messages_;
    ReportActions actions_;

    // One set per showing. The window goes first, then what it used.
    std::unique_ptr<ResultsForm> form_;
    platform::win32::Win32MessageBoxes windowMessages_;  // over this window
    platform::win32::UniqueFont textFont_;
    platform::win32::UniqueFont buttonFont_;
    std::unique_ptr<TextView> view_;
    HWND exitButton_ = nullptr;
    int dpi_ = 96;
    platform::win32::FocusMemory focus_;
    platform::win32::UniqueWindow window_;
};

}  // namespace ombrix::results::win32
