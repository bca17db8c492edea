#include "platform/help.h"

namespace ombrix::platform {
namespace {

// Compiled HTML Help exists only on Windows.
class NoHelpViewer final : public HelpViewer {
  public:
    HelpCall Show(std::uintptr_t, const std::string&, HelpCommand, std::uintptr_t) override {
        HelpCall call;
        call.reason = "HTML Help is available on Windows only.";
        return call;
    }
};

}  // namespace

HelpViewer& SystemHelpViewer() {
    static NoHelpViewer viewer;
    return viewer;
}

}  // namespace ombrix::platform
