// The results window: the modal window that shows one run's output.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "launch/results_display.h"
#include "platform/dialogs.h"
#include "platform/win32/controls.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/modal_window.h"
#include "platform/win32/window_handles.h"
#include "results/results_form.h"
#include "results/win32/text_view.h"

namespace ombrix::results::win32 {

// What Save Report and Print do with the text; either may be empty (nothing happens).
struct ReportActions {
    std::function<void(const std::string& text, HWND window)> save;
    std::function<void(const std::string& text, HWND window)> print;
};

class ResultsWindow final : public launch::ResultsDisplay, public platform::win32::ModalWindow {
  public:
    // A window that cannot be opened is told through `messages`.
    ResultsWindow(HWND mainWindow, platform::MessageBoxes& messages, ReportActions actions = {});
    ResultsWindow(const ResultsWindow&) = delete;
    ResultsWindow& operator=(const ResultsWindow&) = delete;
    ~ResultsWindow() override;

    void ShowModal(std::string output) override;

  private:
    bool CreateContents() override;
    void Layout(int dpi) override;
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowPopUp(LPARAM position);

    platform::MessageBoxes& messages_;
    ReportActions actions_;
    platform::win32::Controls controls_;

    // One set per showing. The window goes first, then what it used.
    std::string output_;  // until the view takes it over
    std::unique_ptr<ResultsForm> form_;
    platform::win32::Win32MessageBoxes windowMessages_;  // over this window
    platform::win32::UniqueFont textFont_;
    platform::win32::UniqueFont buttonFont_;
    std::unique_ptr<TextView> view_;
};

}  // namespace ombrix::results::win32
