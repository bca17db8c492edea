// The main window's logic: start-up, launching, Program Location, Show Command Line and Exit.
#pragma once

#include <functional>
#include <string>

#include "base/calendar.h"
#include "base/result.h"
#include "launch/launch_sequence.h"
#include "launch/results_display.h"
#include "options/option_form.h"
#include "options/option_view.h"
#include "platform/dialogs.h"
#include "platform/system_info.h"
#include "runner/run_and_capture.h"

namespace ombrix::main {

// What the main window's logic needs from around it.
struct MainServices {
    platform::MessageBoxes& messages;
    platform::FileDialogs& fileDialogs;
    launch::ResultsDisplay& results;
    runner::ExitWaiter* waiter = nullptr;
    std::string optionsPath;
    std::function<platform::WindowsVersion()> windowsVersion;
    std::function<base::CalendarDate()> today;
};

inline constexpr const char* kLocateTitle = "Locate UPTIME.EXE";
inline constexpr const char* kLocateFilter = "Uptime Executable (.EXE)|uptime.exe";
inline constexpr const char* kLocateFileName = "uptime.exe";
inline constexpr unsigned kLocateFlags = 4;  // OFN_HIDEREADONLY only

class MainForm {
  public:
    MainForm(options::OptionView& view, MainServices services)
        : view_(view),
          services_(std::move(services)),
          options_(view),
          launch_(services_.messages, services_.results, services_.waiter) {}

    // The start-up sequence. A refused platform fails with the refusal, before anything is read:
    // the caller shows it and ends the program without showing the window.
    base::Result<> Start();

    void Launch();
    void ToggleCommandLine() { options_.OnShowCommandLineChosen(); }
    void LocateTool();
    // Exit through the menu or the button: saves the options. The window closes afterwards
    // whether or not the save succeeded (a failed save has said why).
    void Exit();

    options::OptionForm& Options() { return options_; }
    const std::string& UptimePath() const { return uptimePath_; }

  private:
    void SaveOptions();

    options::OptionView& view_;
    MainServices services_;
    options::OptionForm options_;
    launch::LaunchSequence launch_;  // owns LaunchActive
    std::string uptimePath_;
};

}  // namespace ombrix::main
