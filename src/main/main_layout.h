// The main window as designed: its controls in tab order, in twips relative to their container.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "options/command_line.h"
#include "options/option_view.h"

namespace ombrix::main {

enum class ControlKind { ReadOnlyText, Text, Button, Frame, CheckBox, OptionButton, Label };

struct ControlDesign {
    options::Control control;
    int tabIndex;  // Tab moves through the controls that take the focus in this order
    ControlKind kind;
    std::optional<options::Control> container;  // none: the window itself
    int left;
    int top;
    int width;
    int height;
    const char* caption;  // captions and the texts the window starts with
    int maxLength;        // 0: no limit
};

inline constexpr const char* kMainCaption = "Windows Frontend for Microsoft Uptime";
inline constexpr int kClientWidth = 8520;  // twips, with the command line shown
inline constexpr int kClientHeight = 4665;

using options::Control;
// In tab order, which is also the order the controls are made in.
inline constexpr std::array<ControlDesign, 18> kMainControls{{
    {Control::OptionsFrame,
     0,
     ControlKind::Frame,
     {},
     240,
     1080,
     5895,
     3375,
     "Command Line Options",
     0},
    {Control::CommandLine, 1, ControlKind::ReadOnlyText, {}, 240, 480, 6375, 405, "uptime", 0},
    {Control::LaunchButton, 2, ControlKind::Button, {}, 6840, 480, 1575, 375, "Launch Uptime", 0},
    {Control::ExitButton, 3, ControlKind::Button, {}, 6840, 4080, 1575, 375, "Exit", 0},
    {Control::ShowEvents, 4, ControlKind::CheckBox, Control::OptionsFrame, 120, 960, 3255, 375,
     "Display key system events and statistics.", 0},
    {Control::ShowAppFailures, 5, ControlKind::CheckBox, Control::OptionsFrame, 120, 1320, 3495,
     375, "Display application failure events.", 0},
    {Control::RemoteMachine, 6, ControlKind::CheckBox, Control::OptionsFrame, 120, 480, 2895, 255,
     "Perform check on remote machine.", 0},
    {Control::MachineName, 7, ControlKind::Text, Control::OptionsFrame, 3000, 480, 1935, 285,
     options::kMachinePlaceholder, 0},
    {Control::RestrictPeriod, 8, ControlKind::CheckBox, Control::OptionsFrame, 3480, 1800, 2295,
     255, "Start from a specified date.", 0},
    {Control::PeriodFrame, 9, ControlKind::Frame, Control::OptionsFrame, 120, 2040, 5655, 1095,
     "Specify a Date.", 0},
    {Control::SinceDate, 10, ControlKind::OptionButton, Control::PeriodFrame, 120, 360, 3255, 255,
     "Only calculate for events after given date.", 0},
    {Control::Month, 11, ControlKind::Text, Control::PeriodFrame, 4080, 360, 375, 285, "", 2},
    {Control::Year, 12, ControlKind::Text, Control::PeriodFrame, 4560, 360, 615, 285, "", 4},
    {Control::Day, 13, ControlKind::Text, Control::PeriodFrame, 3600, 360, 375, 285,
     options::kDefaultDay, 2},
    {Control::DateSeparator, 14, ControlKind::Label, Control::PeriodFrame, 3600, 360, 1575, 255,
     "        /          /", 0},
    {Control::LastDays, 15, ControlKind::OptionButton, Control::PeriodFrame, 120, 720, 3015, 255,
     "Only calculate events over the last", 0},
    {Control::DayCount, 16, ControlKind::Text, Control::PeriodFrame, 3240, 720, 375, 285,
     options::kDefaultDayCount, 2},
    {Control::DaysLabel, 17, ControlKind::Label, Control::PeriodFrame, 3720, 720, 1095, 255,
     "days.", 0},
}};

constexpr bool IsInTabOrder() {
    for (std::size_t i = 0; i < kMainControls.size(); ++i) {
        if (kMainControls[i].tabIndex != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(IsInTabOrder(), "the controls are made, and so tabbed through, in table order");

constexpr const ControlDesign& DesignOf(options::Control control) {
    for (const ControlDesign& design : kMainControls) {
        if (design.control == control) {
            return design;
        }
    }
    return kMainControls[0];
}

}  // namespace ombrix::main
