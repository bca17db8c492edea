#include "options/command_line.h"

namespace ombrix::options {
namespace {

bool UsesDate(const OptionState& state) {
    return state.doDates == kChecked && state.dateSwitch;
}
bool UsesDays(const OptionState& state) {
    return state.doDates == kChecked && !state.dateSwitch;
}

}  // namespace

std::string ComposeCommandLine(const OptionState& state) {
    std::string line(kToolWord);
    if (state.server == kChecked) {
        line += ' ';
        line += state.nameIPAddress;
    }
    if (state.sSwitch == kChecked) {
        line += " /s";
    }
    if (state.aSwitch == kChecked) {
        line += " /a";
    }
    if (UsesDate(state)) {
        line += " /d:" + state.mm + "/" + state.dd + "/" + state.yyyy;
    } else if (UsesDays(state)) {
        line += " /p:" + state.pd;
    }
    return line;
}

EnabledStates ComputeEnabledStates(const OptionState& state) {
    EnabledStates enabled;
    enabled.nameIPAddress = state.server == kChecked;
    enabled.periodChoice = state.doDates == kChecked;
    enabled.date = UsesDate(state);
    enabled.days = UsesDays(state);
    return enabled;
}

}  // namespace ombrix::options
