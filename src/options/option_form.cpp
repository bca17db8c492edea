#include "options/option_form.h"

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
        view_.PutValue(control == Control::DateSwitch ? Control::PSwitch : Control::DateSwitch, 0);
    }
    view_.PutValue(control, value);
    OnClick(control);
}

void OptionForm::OnClick(Control /*control*/) {
    // Clicks rebuild even while loading: harmless, as the start-up build follows.
    BuildCommandLine();
}

void OptionForm::OnChange(Control control) {
    if (control == Control::pd) {
        ResetZeroDayCount();
    }
    if (!isLoading_) {
        BuildCommandLine();
    }
}

void OptionForm::ResetZeroDayCount() {
    // Runs during start-up too. Setting the text is itself a change, so this runs once more
    // with the new text, which reads 5 and stays.
    if (base::ReadsAsZero(view_.Text(Control::pd))) {
        SetText(Control::pd, kDefaultDayCount);
    }
}

void OptionForm::OnShowCommandLineChosen() {
    if (view_.Value(Control::Menu_Settings_Cmdlin) == 1) {
        view_.PutValue(Control::Menu_Settings_Cmdlin, 0);
        ShiftForCommandLine(-1);
    } else {
        view_.PutValue(Control::Menu_Settings_Cmdlin, 1);
        ShiftForCommandLine(+1);
    }
    BuildCommandLine();
}

void OptionForm::ShiftForCommandLine(int direction) {
    const int shift = 2 * view_.Height(Control::CmdLine) * direction;
    view_.ChangeWindowHeight(shift);
    view_.MoveTop(Control::CmdLineOpts, shift);
    view_.MoveTop(Control::ExitButton, shift);
}

OptionState OptionForm::ReadState() const {
    const auto checked = [this](Control c) { return view_.Value(c) == kChecked; };
    OptionState state;
    state.server = checked(Control::Server);
    state.nameIPAddress = view_.Text(Control::NameIPAddress);
    state.sSwitch = checked(Control::SSwitch);
    state.aSwitch = checked(Control::ASwitch);
    state.doDates = checked(Control::DoDates);
    state.dateSwitch = view_.Value(Control::DateSwitch) != 0;
    state.dd = view_.Text(Control::DD);
    state.mm = view_.Text(Control::MM);
    state.yyyy = view_.Text(Control::YYYY);
    state.pd = view_.Text(Control::pd);
    state.showCommandLine = view_.Value(Control::Menu_Settings_Cmdlin) == 1;
    return state;
}

OptionState OptionForm::Rebuild() {
    OptionState state = ReadState();
    const EnabledStates enabled = ComputeEnabledStates(state);
    view_.SetEnabled(Control::NameIPAddress, enabled.nameIPAddress);
    for (Control c :
         {Control::DateFrame, Control::DateSwitch, Control::PSwitch, Control::pswitchdays}) {
        view_.SetEnabled(c, enabled.periodChoice);
    }
    for (Control c : {Control::DD, Control::MM, Control::YYYY, Control::DateSP}) {
        view_.SetEnabled(c, enabled.date);
    }
    view_.SetEnabled(Control::pd, enabled.days);
    view_.PutText(Control::CmdLine, ComposeCommandLine(state));
    return state;
}

void OptionForm::BuildCommandLine() {
    view_.SetVisible(Control::CmdLine, Rebuild().showCommandLine);
}

void OptionForm::BuildCommandLineAtStartup() {
    // The window is designed with the command line shown; hidden, it starts collapsed.
    if (Rebuild().showCommandLine) {
        view_.SetVisible(Control::CmdLine, true);
    } else {
        view_.SetVisible(Control::CmdLine, false);
        ShiftForCommandLine(-1);
    }
}

}  // namespace ombrix::options
