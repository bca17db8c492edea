// OmbrixResults: the modal window that shows one run's output.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "options/launch_sequence.h"
#include "platform/dialogs.h"
#include "platform/win32/window_handles.h"
#include "results/results_form.h"

namespace ombrix::results::win32 {

// What Save Report and Print do with the text; either may be empty (nothing happens).
struct ReportActions {
    std::function<void(const std::string& text, HWND window)> save;
    std::function<void(const std::string& text, HWND window)> print;
};

class ResultsWindow final : public options::ResultsDisplay {
  public:
    // Closing the window dismisses the run in `runState`, the main window's.
    ResultsWindow(HWND mainWindow, runner::RunState& runState, platform::MessageBoxes& messages,
                  ReportActions actions = {})
        : mainWindow_(mainWindow),
          runState_(runState),
          messages_(messages),
          actions_(std::move(actions)) {}

    void ShowModal(const std::string& output) override;

    // Used by the window procedure.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void CreateControls(HWND window);
    void ShowPopUp(HWND window, LPARAM position);
    void Close(HWND window);

    HWND mainWindow_;
    runner::RunState& runState_;
    platform::MessageBoxes& messages_;
    ReportActions actions_;

    std::unique_ptr<ResultsForm> form_;  // one per showing
    HWND dump_ = nullptr;
    platform::win32::UniqueFont textFont_;
    platform::win32::UniqueFont buttonFont_;
    WNDPROC editProcedure_ = nullptr;
};

}  // namespace ombrix::results::win32
