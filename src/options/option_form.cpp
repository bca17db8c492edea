#include "options/option_form.h"

#include <array>
#include <utility>

#include "base/leading_number.h"

namespace ombrix::options {

void OptionForm::SetText(Control control, const std::string& text) {
    if (view_.Text(control) == text) {
        return;
    }
    view_.PutText(control, text);
    OnChange(control);
}

void OptionForm::SetValue(Control control, int value) {
    // Selecting one option button of the period group clears the other.
    if (IsOptionButton(control) && value != 0) {
        view_.PutValue(control == Control::SinceDate ? Control::LastDays : Control::SinceDate, 0);
    }
    view_.PutValue(control, value);
    OnClick(control);
}

void OptionForm::OnClick(Control /*control*/) {
    // Clicks rebuild even while loading: harmless, as the start-up build follows.
    BuildCommandLine();
}

void OptionForm::OnChange(Control control) {
    if (control == Control::DayCount) {
        ResetZeroDayCount();
    }
    if (!isLoading_) {
        BuildCommandLine();
    }
}

void OptionForm::ResetZeroDayCount() {
    // Runs during start-up too. Setting the text is itself a change, so this runs once more
    // with the new text, which reads 5 and stays.
    if (base::ReadsAsZero(view_.Text(Control::DayCount))) {
        SetText(Control::DayCount, kDefaultDayCount);
    }
}

void OptionForm::OnShowCommandLineChosen() {
    if (view_.CommandLineShown()) {
        view_.PutCommandLineShown(false);
        ShiftForCommandLine(-1);
    } else {
        view_.PutCommandLineShown(true);
        ShiftForCommandLine(+1);
    }
    BuildCommandLine();
}

void OptionForm::ShiftForCommandLine(int direction) {
    const int shift = 2 * view_.Height(Control::CommandLine) * direction;
    view_.ChangeWindowHeight(shift);
    view_.MoveTop(Control::OptionsFrame, shift);
    view_.MoveTop(Control::ExitButton, shift);
}

OptionState OptionForm::ReadState() const {
    const auto checked = [this](Control c) { return view_.Value(c) == kChecked; };
    OptionState state;
    state.remoteMachine = checked(Control::RemoteMachine);
    state.machineName = view_.Text(Control::MachineName);
    state.showEvents = checked(Control::ShowEvents);
    state.showAppFailures = checked(Control::ShowAppFailures);
    state.restrictPeriod = checked(Control::RestrictPeriod);
    state.sinceDate = view_.Value(Control::SinceDate) != 0;
    state.day = view_.Text(Control::Day);
    state.month = view_.Text(Control::Month);
    state.year = view_.Text(Control::Year);
    state.dayCount = view_.Text(Control::DayCount);
    state.showCommandLine = view_.CommandLineShown();
    state.periodChosen = state.sinceDate || view_.Value(Control::LastDays) != 0;
    return state;
}

void OptionForm::Apply(const OptionState& state) {
    // The check mark comes first, so that the clicks below already show or hide the command
    // line as it is to be.
    view_.PutCommandLineShown(state.showCommandLine);

    const std::array<std::pair<Control, bool>, 4> boxes = {{
        {Control::RemoteMachine, state.remoteMachine},
        {Control::ShowEvents, state.showEvents},
        {Control::ShowAppFailures, state.showAppFailures},
        {Control::RestrictPeriod, state.restrictPeriod},
    }};
    for (const auto& box : boxes) {
        SetValue(box.first, kUnchecked);
    }
    for (const auto& box : boxes) {
        if (box.second) {
            SetValue(box.first, kChecked);
        }
    }

    SetText(Control::MachineName, state.machineName);
    SetText(Control::DayCount, state.dayCount);
    SetText(Control::Day, state.day);
    SetText(Control::Month, state.month);
    SetText(Control::Year, state.year);

    // Selecting one option button deselects the other, so at most one ends up selected.
    if (state.sinceDate || state.periodChosen) {
        SetValue(state.sinceDate ? Control::SinceDate : Control::LastDays, 1);
    } else {
        SetValue(Control::SinceDate, 0);
        SetValue(Control::LastDays, 0);
    }
}

OptionState OptionForm::Rebuild() {
    OptionState state = ReadState();
    const EnabledStates enabled = ComputeEnabledStates(state);
    view_.SetEnabled(Control::MachineName, enabled.machineName);
    for (Control c :
         {Control::PeriodFrame, Control::SinceDate, Control::LastDays, Control::DaysLabel}) {
        view_.SetEnabled(c, enabled.periodChoice);
    }
    for (Control c : {Control::Day, Control::Month, Control::Year, Control::DateSeparator}) {
        view_.SetEnabled(c, enabled.date);
    }
    view_.SetEnabled(Control::DayCount, enabled.days);
    view_.PutText(Control::CommandLine, ComposeCommandLine(state));
    return state;
}

void OptionForm::BuildCommandLine() {
    view_.SetVisible(Control::CommandLine, Rebuild().showCommandLine);
}

void OptionForm::BuildCommandLineAtStartup() {
    // The window is designed with the command line shown; hidden, it starts collapsed.
    if (Rebuild().showCommandLine) {
        view_.SetVisible(Control::CommandLine, true);
    } else {
        view_.SetVisible(Control::CommandLine, false);
        ShiftForCommandLine(-1);
    }
}

}  // namespace ombrix::options
