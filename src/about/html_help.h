// The help file beside the program, opened from Help, Index.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialogs.h"
#include "platform/help.h"

namespace ombrix::about {

inline constexpr const char* kHelpFileName = "OmbrixHelp.chm";
inline constexpr const char* kHelpNotAvailableMessage = "Help not available at this time.";
inline constexpr const char* kHelpViewerMissingMessage =
    "Ombrix could not open its help: the Windows HTML Help viewer (hhctrl.ocx) is not "
    "available on this computer.";

// The help file's full path: the program's folder, a separator and OmbrixHelp.chm.
std::string HelpFilePath(const std::string& programDirectory);

// ShowHelpFile: the file at its default topic, in a window owned by `owner`. Returns the
// viewer's answer.
base::Result<std::uintptr_t> ShowHelpFile(platform::HelpViewer& viewer, std::uintptr_t owner,
                                          const std::string& path);

// Help Index: opens the help file of `programDirectory` at its default topic in a
// window owned by `owner`, or says why it cannot ("Help not available at this time." when
// the file is not there). A file the viewer cannot show is left to the viewer to report.
void ShowHelpIndex(std::uintptr_t owner, platform::MessageBoxes& messages,
                   platform::HelpViewer& viewer, const std::string& programDirectory);

// The same with the system's viewer and the running program's folder.
void ShowHelpIndex(std::uintptr_t owner, platform::MessageBoxes& messages);

}  // namespace ombrix::about
