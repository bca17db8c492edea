// The option state and the uptime.exe command line it makes.
#pragma once

#include <string>

namespace ombrix::options {

// Check box values. Only kChecked counts as checked anywhere in the program.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// The values of the main window's option controls, exactly as they stand in them.
struct OptionState {
    int server = kUnchecked;
    std::string nameIPAddress;
    int sSwitch = kUnchecked;
    int aSwitch = kUnchecked;
    int doDates = kUnchecked;
    bool dateSwitch = false;  // "/d:" selected; neither selected acts as "/p:"
    bool pSwitch = false;
    std::string dd;
    std::string mm;
    std::string yyyy;
    std::string pd;
};

// The command line always starts with this word; the launch puts the tool's path in its place.
inline constexpr std::string_view kToolWord = "uptime";

// "uptime", then the machine, " /s", " /a" and the period part, each only when chosen, every
// text verbatim: no quotes, no backslashes before the machine, the date month first.
std::string ComposeCommandLine(const OptionState& state);

// Which dependent controls take input: only those whose values go into the command line.
struct EnabledStates {
    bool nameIPAddress = false;
    bool periodChoice = false;  // DateFrame, DateSwitch, PSwitch and pswitchdays
    bool date = false;          // DD, MM, YYYY and DateSP
    bool days = false;          // pd
};
EnabledStates ComputeEnabledStates(const OptionState& state);

}  // namespace ombrix::options
