#include "options/command_line.h"

namespace ombrix::options {
namespace {

bool UsesDate(const OptionState& state) {
    return state.restrictPeriod && state.sinceDate;
}
bool UsesDays(const OptionState& state) {
    return state.restrictPeriod && !state.sinceDate;
}

}  // namespace

DateTexts DefaultDate(const base::CalendarDate& today) {
    return {kDefaultDay, std::to_string(today.month), std::to_string(today.year)};
}

OptionState DefaultOptionState(const base::CalendarDate& today) {
    const DateTexts date = DefaultDate(today);
    OptionState state;
    state.machineName = kMachinePlaceholder;
    state.day = date.day;
    state.month = date.month;
    state.year = date.year;
    state.dayCount = kDefaultDayCount;
    return state;
}

std::string ComposeCommandLine(const OptionState& state) {
    std::string line(kToolWord);
    if (state.remoteMachine) {
        line += ' ';
        line += state.machineName;
    }
    if (state.showEvents) {
        line += " /s";
    }
    if (state.showAppFailures) {
        line += " /a";
    }
    if (UsesDate(state)) {
        line += " /d:" + state.month + "/" + state.day + "/" + state.year;
    } else if (UsesDays(state)) {
        line += " /p:" + state.dayCount;
    }
    return line;
}

EnabledStates ComputeEnabledStates(const OptionState& state) {
    EnabledStates enabled;
    enabled.machineName = state.remoteMachine;
    enabled.periodChoice = state.restrictPeriod;
    enabled.date = UsesDate(state);
    enabled.days = UsesDays(state);
    return enabled;
}

}  // namespace ombrix::options
