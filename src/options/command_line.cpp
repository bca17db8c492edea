#include "options/command_line.h"

namespace ombrix::options {
namespace {

bool UsesDate(const OptionState& state) {
    return state.doDates && state.dateSwitch;
}
bool UsesDays(const OptionState& state) {
    return state.doDates && !state.dateSwitch;
}

}  // namespace

DateTexts DefaultDate(const base::CalendarDate& today) {
    return {kDefaultDay, std::to_string(today.month), std::to_string(today.year)};
}

std::string ComposeCommandLine(const OptionState& state) {
    std::string line(kToolWord);
    if (state.server) {
        line += ' ';
        line += state.nameIPAddress;
    }
    if (state.sSwitch) {
        line += " /s";
    }
    if (state.aSwitch) {
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
    enabled.nameIPAddress = state.server;
    enabled.periodChoice = state.doDates;
    enabled.date = UsesDate(state);
    enabled.days = UsesDays(state);
    return enabled;
}

}  // namespace ombrix::options
