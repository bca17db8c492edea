// The main window as designed: its controls in tab order, in twips relative to their container.
#pragma once

#include <array>

#include "base/control_design.h"
#include "options/command_line.h"
#include "options/option_view.h"

namespace ombrix::main {

inline constexpr const char* kMainCaption = "Windows Frontend for Microsoft Uptime";
inline constexpr int kClientWidth = 8520;  // twips, with the command line shown
inline constexpr int kClientHeight = 4665;

// Above the dialog manager's IDOK and IDCANCEL, which the main window ignores, so Enter and Esc
// press nothing there.
inline constexpr int kFirstControlId = 100;
constexpr int IdOf(options::Control control) {
    return kFirstControlId + static_cast<int>(control);
}

using base::ControlKind;
using options::Control;
inline constexpr int kInOptions = IdOf(Control::OptionsFrame);
inline constexpr int kInPeriod = IdOf(Control::PeriodFrame);

// In tab order, which is also the order the controls are made in. Each caption fits its control
// in the design's font, beside a check box's box where there is one; controls touch at most.
inline constexpr std::array<base::ControlDesign, 18> kMainControls{{
    // clang-format off
    {kInOptions, ControlKind::Frame, {240, 1080, 5895, 3375}, "Command Line Options"},
    {IdOf(Control::CommandLine), ControlKind::ReadOnlyText, {240, 480, 6375, 405}, "uptime"},
    {IdOf(Control::LaunchButton), ControlKind::Button, {6840, 480, 1575, 375}, "Launch Uptime"},
    {IdOf(Control::ExitButton), ControlKind::Button, {6840, 4080, 1575, 375}, "Exit"},
    {IdOf(Control::ShowEvents), ControlKind::CheckBox, {120, 960, 3600, 360},
     "Display key system events and statistics.", kInOptions},
    {IdOf(Control::ShowAppFailures), ControlKind::CheckBox, {120, 1320, 3495, 375},
     "Display application failure events.", kInOptions},
    {IdOf(Control::RemoteMachine), ControlKind::CheckBox, {120, 480, 3120, 255},
     "Perform check on remote machine.", kInOptions},
    {IdOf(Control::MachineName), ControlKind::Text, {3240, 480, 1935, 285},
     options::kMachinePlaceholder, kInOptions},
    {IdOf(Control::RestrictPeriod), ControlKind::CheckBox, {3240, 1800, 2535, 240},
     "Start from a specified date.", kInOptions},
    {kInPeriod, ControlKind::Frame, {120, 2040, 5655, 1095}, "Specify a Date.", kInOptions},
    {IdOf(Control::SinceDate), ControlKind::OptionButton, {120, 360, 3720, 255},
     "Only calculate for events after given date.", kInPeriod},
    {IdOf(Control::Month), ControlKind::Text, {4320, 360, 375, 285}, "", kInPeriod, 2},
    {IdOf(Control::Year), ControlKind::Text, {4800, 360, 615, 285}, "", kInPeriod, 4},
    {IdOf(Control::Day), ControlKind::Text, {3840, 360, 375, 285}, options::kDefaultDay,
     kInPeriod, 2},
    // Lies under the date boxes, its slashes showing between them.
    {IdOf(Control::DateSeparator), ControlKind::Label, {3840, 360, 1575, 255},
     "        /          /", kInPeriod},
    {IdOf(Control::LastDays), ControlKind::OptionButton, {120, 720, 3015, 255},
     "Only calculate events over the last", kInPeriod},
    {IdOf(Control::DayCount), ControlKind::Text, {3240, 720, 375, 285},
     options::kDefaultDayCount, kInPeriod, 2},
    {IdOf(Control::DaysLabel), ControlKind::Label, {3720, 720, 1095, 255}, "days.", kInPeriod},
    // clang-format on
}};

constexpr const base::ControlDesign& DesignOf(options::Control control) {
    const base::ControlDesign* design = base::FindDesign(kMainControls, IdOf(control));
    return design != nullptr ? *design : kMainControls[0];
}

}  // namespace ombrix::main
