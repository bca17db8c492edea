#include "platform/help.h"

namespace ombrix::platform {
namespace {

// Compiled HTML Help exists only on Windows.
class NoHelpViewer final : public HelpViewer {
  public:
    base::Result<std::uintptr_t> Show(std::uintptr_t, const std::string&, HelpCommand,
                                      std::uintptr_t) override {
        return base::Failure{"HTML Help is available on Windows only."};
    }
};

}  // namespace

HelpViewer& SystemHelpViewer() {
    static NoHelpViewer viewer;
    return viewer;
}

}  // namespace ombrix::platform
