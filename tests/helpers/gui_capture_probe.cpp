// A windowless GUI program, as Ombrix is, that captures a child's output and reads it back at
// once: a console child then gets a console host of its own, which can hold the output file.
//   gui_capture_probe OUTPUT PROGRAM TAIL REPORT
// REPORT receives "read N" with the bytes read, or "failed: reason".
#include <windows.h>

#include <fstream>
#include <string>

#include "platform/process_files.h"
#include "runner/run_and_capture.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 5) {
        return 2;
    }
    ombrix::runner::RunState state;
    const auto run = ombrix::runner::RunAndCapture({__argv[1], __argv[2], __argv[3]}, state);
    std::ofstream report(__argv[4], std::ios::binary);
    if (!run || run->cancelled) {
        report << "failed: not run: " << run.Reason();
        return 1;
    }
    const auto content = ombrix::platform::ReadWholeFile(__argv[1]);
    report << (content ? "read " + std::to_string(content->size()) : "failed: " + content.Reason());
    return 0;
}
