#include "main/main_form.h"

#include <utility>

#include "main/version_check.h"
#include "options/options_file.h"

namespace ombrix::main {

base::Result<> MainForm::Start() {
    if (base::Result<> supported = CheckStartupPlatform(services_.windowsVersion()); !supported) {
        return supported;
    }
    options_.SetLoading(true);
    // The start-up values first; a valid options file then replaces them.
    const base::CalendarDate today = services_.today();
    options_.Apply(options::DefaultOptionState(today));
    uptimePath_.clear();
    if (auto loaded = options::LoadOptions(services_.optionsPath, today, services_.messages)) {
        options_.Apply(loaded->state);
        uptimePath_ = std::move(loaded->uptimePath);
    }
    options_.BuildCommandLineAtStartup();
    options_.SetLoading(false);
    return {};
}

void MainForm::Launch() {
    launch_.Launch(options_.ReadState(), uptimePath_, services_.today());
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
