// HTML Help: the system's viewer of compiled help files (.chm).
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"

namespace ombrix::platform {

// HtmlHelp commands as the system numbers them; the program opens its help at the default topic.
enum class HelpCommand : unsigned {
    DisplayTopic = 0,  // HH_DISPLAY_TOPIC
};

class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    // HtmlHelpA(owner, path, command, data): shows the help file in a window owned by `owner`
    // and returns at once with the viewer's answer, its window or 0; the window lives on its
    // own. Fails when the viewer itself cannot be loaded, and then nothing is shown.
    virtual base::Result<std::uintptr_t> Show(std::uintptr_t owner, const std::string& path,
                                              HelpCommand command, std::uintptr_t data) = 0;
};

// The system's viewer (hhctrl.ocx on Windows), loaded at its first use and kept until the
// program ends, since its windows run inside it. Elsewhere there is none: it is unavailable.
HelpViewer& SystemHelpViewer();

}  // namespace ombrix::platform
