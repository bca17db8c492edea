#include "about/html_help.h"

#include "platform/process_files.h"
#include "shared/shared_routines.h"

namespace ombrix::about {

std::string HelpFilePath(const std::string& programDirectory) {
    return shared::JoinPath(programDirectory, kHelpFileName);
}

platform::HelpCall ShowHelpFile(platform::HelpViewer& viewer, std::uintptr_t owner,
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
    const platform::HelpCall call = ShowHelpFile(viewer, owner, path);
    if (!call.viewerAvailable) {
        std::string text = kHelpViewerMissingMessage;
        if (!call.reason.empty()) {
            text += "\r\n\r\n" + call.reason;
        }
        messages.Show(text, platform::MessageStyle::OkExclamation);
    }
}

void ShowHelpIndex(std::uintptr_t owner, platform::MessageBoxes& messages) {
    ShowHelpIndex(owner, messages, platform::SystemHelpViewer(), platform::ProgramDirectory());
}

}  // namespace ombrix::about
