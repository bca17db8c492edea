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

    options_.SetText(Control::CmdLine, "uptime");
    options_.SetText(Control::NameIPAddress, options::kMachinePlaceholder);
    const base::CalendarDate today = services_.today();
    options_.SetText(Control::pd, "5");
    options_.SetText(Control::DD, "01");
    options_.SetText(Control::MM, std::to_string(today.month));
    options_.SetText(Control::YYYY, std::to_string(today.year));
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
    options::LaunchEnvironment environment{view_,
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
        options::SaveOptions(services_.optionsPath, view_, uptimePath_, services_.messages);
    }
}

void MainForm::Exit_Click() {
    options::SaveOptions(services_.optionsPath, view_, uptimePath_, services_.messages);
}

}  // namespace ombrix::main
