// The main window on Win32: creates the controls, shows the option state and forwards events.
#pragma once

#include <windows.h>

#include <memory>

#include "base/control_design.h"
#include "main/main_form.h"
#include "main/win32/busy_waiter.h"
#include "options/option_view.h"
#include "platform/win32/base_window.h"
#include "platform/win32/controls.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/window_handles.h"
#include "results/win32/results_window.h"

namespace ombrix::main::win32 {

class MainWindow final : public options::OptionView, public platform::win32::BaseWindow {
  public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the program: the start-up sequence, the window, its messages. Returns the exit code.
    int Run();

    // OptionView
    std::string Text(options::Control control) const override;
    void PutText(options::Control control, const std::string& text) override;
    int Value(options::Control control) const override;
    void PutValue(options::Control control, int value) override;
    void SetEnabled(options::Control control, bool enabled) override;
    void SetVisible(options::Control control, bool visible) override;
    bool CommandLineShown() const override;
    void PutCommandLineShown(bool shown) override;
    int Height(options::Control control) const override;
    void MoveTop(options::Control control, int delta) override;
    void ChangeWindowHeight(int delta) override;

  private:
    bool Open();
    void Layout(int dpi) override;
    // The client area as designed, at the current scale.
    void SizeToDesign();
    void CentreOnScreen();
    void OnCommand(UINT id, UINT code);
    // The close box destroys the window as BaseWindow does: the program ends without saving.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND Handle(options::Control control) const;

    HMENU menuBar_ = nullptr;  // destroyed with the window
    platform::win32::Controls controls_;
    base::TopShifts topShifts_;  // twips moved since the design
    int clientHeight_;           // twips
    base::LayoutScale scale_;
    platform::win32::UniqueFont font_;
    bool putting_ = false;  // changes made from code raise their events themselves

    platform::win32::Win32MessageBoxes messages_;
    platform::win32::Win32FileDialogs fileDialogs_;
    std::unique_ptr<BusyWaiter> waiter_;
    std::unique_ptr<results::win32::ResultsWindow> results_;
    std::unique_ptr<MainForm> form_;
};

}  // namespace ombrix::main::win32
