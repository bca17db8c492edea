// The benchmark's timings of window programs, each started detached as from the desktop: from
// the start to the window painted, and from a click to the window it opens painted.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "drive/program.h"

namespace ombrix::bench {

// From the start of a window program to its window of class `className` painted; then it is
// closed.
double StartToPainted(const std::filesystem::path& program, const char* className);

// Performance-counter times of one launch.
struct LaunchTimes {
    LONGLONG click = 0;
    LONGLONG visible = 0;  // the window with the text shown
    LONGLONG painted = 0;  // its first screen of text painted
};

// A window program running, its main window painted; closed when this goes.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& path, const std::string& arguments,
                   const char* mainClass);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Clicks with `press` in the main window, waits for the window of `textClass` to show its
    // text view (where the results window has it, with its id) painted, and closes it with its
    // O.K.
    LaunchTimes Launch(const std::function<void(HWND main)>& press, const char* textClass);

  private:
    drive::Program program_;
    HWND main_ = nullptr;
};

}  // namespace ombrix::bench
