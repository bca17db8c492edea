// The main window's option logic: its event handlers and BuildCommandLine.
#pragma once

#include <string>

#include "options/command_line.h"
#include "options/option_view.h"

namespace ombrix::options {

class OptionForm {
  public:
    explicit OptionForm(OptionView& view) : view_(view) {}

    // Changes made from code raise the same events as the user's: a text that changes is a
    // change, a check box or option button value set is a click.
    void SetText(Control control, const std::string& text);
    void SetValue(Control control, int value);

    // Events of the window's controls.
    void OnClick(Control control);
    void OnChange(Control control);
    void OnShowCommandLineChosen();

    // Rebuilds CommandLine and the enabled states; CommandLine is visible exactly when Show Command
    // Line is checked.
    void BuildCommandLine();
    // The start-up build: as above, and an unchecked Show Command Line collapses the window.
    void BuildCommandLineAtStartup();

    // The controls' values at this moment: the one reading of the window that the command
    // line, the options file and the launch use.
    OptionState ReadState() const;
    // Its mirror, the one writing: puts the state on the controls through the setters above, so
    // that their change and click handling runs. For start-up, while loading: the start-up
    // build then settles the layout for the check mark of Show Command Line.
    void Apply(const OptionState& state);

    bool IsLoading() const { return isLoading_; }
    void SetLoading(bool loading) { isLoading_ = loading; }

  private:
    void ResetZeroDayCount();
    // CommandLine and the enabled states from the controls; returns the state it read.
    OptionState Rebuild();
    // Moves the command-line row's dependants by twice its height: -1 collapses, +1 expands.
    void ShiftForCommandLine(int direction);

    OptionView& view_;
    bool isLoading_ = false;
};

}  // namespace ombrix::options
