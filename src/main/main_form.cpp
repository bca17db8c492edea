#include "main/main_form.h"

#include "main/version_check.h"
#include "options/options_file.h"

namespace ombrix::main {

using options::Control;

bool MainForm::Form_Load() {
    if (const auto refusal = StartupRefusal(services_.windowsVersion())) {
        services_.messages.Show(*refusal, platform::MessageStyle::OkExclamation);
        return false;
    }
    options_.SetLoading(true);

    options_.SetText(Control::CmdLine, std::string(options::kToolWord));
    options_.SetText(Control::NameIPAddress, options::kMachinePlaceholder);
    const base::CalendarDate today = services_.today();
    const options::DateTexts date = options::DefaultDate(today);
    options_.SetText(Control::pd, options::kDefaultDayCount);
    options_.SetText(Control::DD, date.dd);
    options_.SetText(Control::MM, date.mm);
    options_.SetText(Control::YYYY, date.yyyy);
    options_.SetValue(Control::DoDates, options::kUnchecked);
    for (Control c : {Control::DateFrame, Control::PSwitch, Control::pswitchdays, Control::pd,
                      Control::DateSwitch, Control::DD, Control::MM, Control::YYYY,
                      Control::NameIPAddress, Control::DateSP}) {
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

void MainForm::LaunchIt_Click() {
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

void MainForm::Menu_Settings_PLoc_Click() {
    const platform::FileDialogSettings settings{kLocateTitle, kLocateFilter, kLocateFileName,
                                                kLocateFlags};
    // Cancel changes nothing and says nothing.
    if (const auto chosen = services_.fileDialogs.ShowOpen(settings)) {
        uptimePath_ = *chosen;
        SaveOptions();
    }
}

void MainForm::Exit_Click() {
    SaveOptions();
}

void MainForm::SaveOptions() {
    options::SaveOptions(services_.optionsPath, options_.ReadState(), uptimePath_,
                         services_.messages);
}

}  // namespace ombrix::main
