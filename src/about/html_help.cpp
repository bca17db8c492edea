#include "about/html_help.h"

#include "platform/process_files.h"
#include "shared/shared_routines.h"

namespace ombrix::about {

std::string HelpFilePath(const std::string& programDirectory) {
    return shared::JoinPath(programDirectory, kHelpFileName);
}

base::Result<std::uintptr_t> ShowHelpFile(platform::HelpViewer& viewer, std::uintptr_t owner,
                                          const std::string& path) {
    return viewer.Show(owner, path, platform::HelpCommand::DisplayTopic, 0);
}

void ShowHelpIndex(std::uintptr_t owner, platform::MessageBoxes& messages,
                   platform::HelpViewer& viewer, const std::string& programDirectory) {
    const std::string path = HelpFilePath(programDirectory);
    if (!shared::FileExists(path)) {
        messages.Show(kHelpNotAvailableMessage, platform::MessageStyle::OkExclamation);
        return;
    }
    const base::Result<std::uintptr_t> shown = ShowHelpFile(viewer, owner, path);
    if (!shown) {
        messages.Show(base::WithReason(kHelpViewerMissingMessage, shown.Reason()),
                      platform::MessageStyle::OkExclamation);
    }
}

void ShowHelpIndex(std::uintptr_t owner, platform::MessageBoxes& messages) {
    ShowHelpIndex(owner, messages, platform::SystemHelpViewer(), platform::ProgramDirectory());
}

}  // namespace ombrix::about
