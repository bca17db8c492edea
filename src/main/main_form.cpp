#include "main/main_form.h"

#include "main/version_check.h"
#include "options/options_file.h"

namespace ombrix::main {

using options::Control;

bool MainForm::Start() {
    if (const base::Result<> supported = CheckStartupPlatform(services_.windowsVersion());
        !supported) {
        services_.messages.Show(supported.Reason(), platform::MessageStyle::OkExclamation);
        return false;
    }
    options_.SetLoading(true);

    options_.SetText(Control::CommandLine, std::string(options::kToolWord));
    options_.SetText(Control::MachineName, options::kMachinePlaceholder);
    const base::CalendarDate today = services_.today();
    const options::DateTexts date = options::DefaultDate(today);
    options_.SetText(Control::DayCount, options::kDefaultDayCount);
    options_.SetText(Control::Day, date.day);
    options_.SetText(Control::Month, date.month);
    options_.SetText(Control::Year, date.year);
    options_.SetValue(Control::RestrictPeriod, options::kUnchecked);
    for (Control c : {Control::PeriodFrame, Control::LastDays, Control::DaysLabel,
                      Control::DayCount, Control::SinceDate, Control::Day, Control::Month,
                      Control::Year, Control::MachineName, Control::DateSeparator}) {
        view_.SetEnabled(c, false);
    }

    services_.runState.Dismiss();
    uptimePath_.clear();
    options::LoadOptions(services_.optionsPath, options_, view_, uptimePath_, today,
                         services_.messages);
    options_.BuildCommandLineAtStartup();
    options_.SetLoading(false);
    return true;
}

void MainForm::Launch() {
    const options::OptionState state = options_.ReadState();
    options::LaunchEnvironment environment{state,
                                           uptimePath_,
                                           services_.runState,
                                           services_.messages,
                                           services_.results,
                                           services_.waiter,
                                           services_.today()};
    options::LaunchUptime(environment);
}

void MainForm::LocateTool() {
    const platform::FileDialogSettings settings{kLocateTitle, kLocateFilter, kLocateFileName,
                                                kLocateFlags};
    // Cancel changes nothing and says nothing.
    if (const auto chosen = services_.fileDialogs.ShowOpen(settings)) {
        uptimePath_ = *chosen;
        SaveOptions();
    }
}

void MainForm::Exit() {
    SaveOptions();
}

void MainForm::SaveOptions() {
    const base::Result<> saved =
        options::SaveOptions(services_.optionsPath, options_.ReadState(), uptimePath_);
    if (!saved) {
        services_.messages.Show(saved.Reason(), platform::MessageStyle::OkExclamation);
    }
}

}  // namespace ombrix::main
