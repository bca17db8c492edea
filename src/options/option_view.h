// What the option logic needs of the main window: plain getters and setters on its controls.
#pragma once

#include <string>

namespace ombrix::options {

enum class Control {
    CommandLine,
    LaunchButton,
    ExitButton,
    OptionsFrame,
    RemoteMachine,
    MachineName,
    ShowEvents,
    ShowAppFailures,
    RestrictPeriod,
    PeriodFrame,
    SinceDate,
    Day,
    Month,
    Year,
    DateSeparator,
    LastDays,
    DayCount,
    DaysLabel,
};

// The period group's two option buttons: selecting one clears the other.
constexpr bool IsOptionButton(Control control) {
    return control == Control::SinceDate || control == Control::LastDays;
}

// The window's side. The Put calls change a control without raising its events: the option
// logic raises them itself, so that a change made from code behaves as the same change made by
// the user. Heights and positions are in the window's own units.
class OptionView {
  public:
    virtual ~OptionView() = default;

    virtual std::string Text(Control control) const = 0;
    virtual void PutText(Control control, const std::string& text) = 0;
    // Check boxes 0, 1 or 2; option buttons and the menu check mark 0 or 1.
    virtual int Value(Control control) const = 0;
    virtual void PutValue(Control control, int value) = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;
    virtual void SetVisible(Control control, bool visible) = 0;

    // The check mark of Show Command Line in the menu.
    virtual bool CommandLineShown() const = 0;
    virtual void PutCommandLineShown(bool shown) = 0;

    virtual int Height(Control control) const = 0;
    virtual void MoveTop(Control control, int delta) = 0;
    virtual void ChangeWindowHeight(int delta) = 0;
};

}  // namespace ombrix::options
