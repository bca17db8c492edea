// HTML Help: the system's viewer of compiled help files (.chm).
#pragma once

#include <cstdint>
#include <string>

namespace ombrix::platform {

// HtmlHelp commands as the system numbers them.
enum class HelpCommand : unsigned {
    DisplayTopic = 0,  // HH_DISPLAY_TOPIC: the file at its default topic
    HelpContext = 15,  // HH_HELP_CONTEXT: the topic mapped to a numeric context id
};

struct HelpCall {
    bool viewerAvailable = false;  // false: the viewer could not be loaded and nothing was shown
    std::uintptr_t window = 0;     // the viewer's answer: its window, or 0
    std::string reason;            // the system's reason when the viewer is not available
};

class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    // HtmlHelpA(owner, path, command, data): shows the help file in a window owned by `owner`
    // and returns at once; the window lives on its own.
    virtual HelpCall Show(std::uintptr_t owner, const std::string& path, HelpCommand command,
                          std::uintptr_t data) = 0;
};

// The system's viewer (hhctrl.ocx on Windows), loaded at its first use and kept until the
// program ends, since its windows run inside it. Elsewhere there is none: it is unavailable.
HelpViewer& SystemHelpViewer();

}  // namespace ombrix::platform
