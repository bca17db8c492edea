// OmbrixMain on Win32: creates the controls, shows the option state and forwards events.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "main/main_form.h"
#include "main/win32/busy_waiter.h"
#include "options/option_view.h"
#include "platform/win32/focus_memory.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/window_handles.h"
#include "results/win32/results_window.h"

namespace ombrix::main::win32 {

class MainWindow final : public options::OptionView {
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

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    bool Create();
    void CreateControls();
    void CreateMenuBar();
    void Layout();
    void ApplyFont();
    void CentreOnScreen();
    void OnCommand(UINT id, UINT code);
    RECT PixelRect(options::Control control) const;  // in the client area, at the current DPI

    platform::win32::UniqueWindow window_;
    HMENU menuBar_ = nullptr;  // destroyed with the window
    std::map<options::Control, HWND> controls_;
    std::map<options::Control, int> topShifts_;  // twips moved since the design
    int dpi_ = 96;
    platform::win32::UniqueFont font_;
    bool putting_ = false;  // changes made from code raise their events themselves
    platform::win32::FocusMemory focus_;

    runner::RunState runState_;  // LaunchActive
    platform::win32::Win32MessageBoxes messages_;
    platform::win32::Win32FileDialogs fileDialogs_;
    std::unique_ptr<BusyWaiter> waiter_;
    std::unique_ptr<results::win32::ResultsWindow> results_;
    std::unique_ptr<MainForm> form_;
};

}  // namespace ombrix::main::win32
