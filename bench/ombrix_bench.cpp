// Measures what a user waits for, each against the floor this platform sets, in the same run:
// start-up to the painted main window, Launch Uptime to the painted results, large reports from
// the tool's end to their first screen painted, and the size of the shipped programs.
// "Painted" is read from the screen: the benchmark polls the window's pixels until they stop
// changing, and never asks the program for its text.
//   ombrix_bench [folder of the programs, stripped as shipped] [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "bench_table.h"
#include "drive/clock.h"
#include "drive/ombrix_windows.h"
#include "floor_ids.h"
#include "main/win32/main_window_ids.h"
#include "options_fixture.h"
#include "platform/process_files.h"
#include "report_runs.h"
#include "results/win32/results_window_ids.h"
#include "window_runs.h"

namespace {

namespace fs = std::filesystem;
using namespace ombrix::bench;
using ombrix::drive::Milliseconds;
using ombrix::drive::PressLaunchUptime;
using ombrix::main::win32::kMainWindowClass;
using ombrix::results::win32::kResultsWindowClass;

// Medians of seven runs: the machine is shared, and one slow run in seven moves no median.
constexpr int kDefaultRuns = 7;

// Each program once before the runs that count, so that all start warm; twice as many runs as
// elsewhere, since a start is short and the machine's load shows in it most.
void MeasureStartUp(const fs::path& folder, int runs) {
    WriteOptions(folder, (folder / "uptime.exe").string(), "");
    struct Program {
        const char* file;
        const char* windowClass;
        std::vector<double> times;
    };
    Program programs[] = {{"Ombrix.exe", kMainWindowClass, {}},
                          {"startup_floor.exe", kStartupFloorClass, {}},
                          {"empty_window.exe", kEmptyWindowClass, {}}};
    for (int i = -1; i < 2 * runs; ++i) {
        // In turn, each round beginning with the next: none always starts right after the same
        // other program's end.
        for (std::size_t k = 0; k < std::size(programs); ++k) {
            Program& program =
                programs[(static_cast<std::size_t>(i + 1) + k) % std::size(programs)];
            const double time = StartToPainted(folder / program.file, program.windowClass);
            if (i >= 0) {
                program.times.push_back(time);
            }
        }
    }
    const double ombrix = Median(programs[0].times);
    PrintRow("start-up to the main window painted", ombrix,
             "the same window with nothing behind it", Median(programs[1].times), "ms", 1.1);
    PrintRow("start-up to the main window painted", ombrix, "(reference) a plain empty window",
             Median(programs[2].times), "ms", 0);
}

// Launch Uptime to the results painted, against a plain program that runs the tool as Ombrix's
// runner does and shows its output in an EDIT of the same window; after one run each that does
// not count.
void MeasureLaunch(const fs::path& folder, int runs) {
    const std::string uptime = (folder / "uptime.exe").string();
    RunningProgram ombrix(folder / "Ombrix.exe", "", kMainWindowClass);
    RunningProgram floor(folder / "launch_floor.exe", " \"" + uptime + "\"", kLaunchFloorClass);
    std::vector<double> launch, floorRuns;
    const auto pressFloor = [](HWND main) { ::PostMessageA(main, WM_COMMAND, 1, 0); };
    for (int i = -1; i < runs; ++i) {
        // Each goes first in every other round.
        LaunchTimes o, f;
        if (i % 2 == 0) {
            o = ombrix.Launch(PressLaunchUptime, kResultsWindowClass);
            f = floor.Launch(pressFloor, kLaunchOutputClass);
        } else {
            f = floor.Launch(pressFloor, kLaunchOutputClass);
            o = ombrix.Launch(PressLaunchUptime, kResultsWindowClass);
        }
        if (i >= 0) {
            launch.push_back(Milliseconds(o.painted - o.click));
            floorRuns.push_back(Milliseconds(f.painted - f.click));
        }
    }
    PrintRow("Launch Uptime to the results painted", Median(launch),
             "uptime.exe run as the runner does, shown in an EDIT", Median(floorRuns), "ms", 1.1);
}

// What Ombrix adds once the tool has written its last byte; notes click-to-window times.
void MeasureLargeReports(const fs::path& folder, int runs, std::vector<std::string>& notes) {
    const fs::path big = folder / "big_output.exe";
    for (const long long megabytes : {1LL, 10LL, 50LL}) {
        const std::string size = std::to_string(megabytes << 20);
        RunToFile(big, " " + size, folder / "direct.txt");
        std::vector<double> read;
        for (int i = 0; i < 5; ++i) {
            read.push_back(ReadAndFindLineEnds(folder / "direct.txt"));
        }
        WriteOptions(folder, big.string(), size);
        RunningProgram ombrix(folder / "Ombrix.exe", "", kMainWindowClass);
        std::vector<double> shown, visible, painted;
        const int sizeRuns = megabytes >= 50 ? std::min(runs, 3) : runs;
        for (int i = 0; i < sizeRuns; ++i) {
            const LaunchTimes t = ombrix.Launch(PressLaunchUptime, kResultsWindowClass);
            shown.push_back(Milliseconds(t.painted - ToolEnd(big)));
            visible.push_back(Milliseconds(t.visible - t.click));
            painted.push_back(Milliseconds(t.painted - t.click));
        }
        const std::string mb = std::to_string(megabytes) + " MB";
        // The goal is set for the largest; below it the window's own cost dominates.
        PrintRow("a " + mb + " report: tool's end to text painted", Median(shown),
                 "reading the " + mb + " file and finding its line ends", Median(read), "ms",
                 megabytes >= 50 ? 2.0 : 0);
        notes.push_back("- " + mb + ": click to results window shown " + Whole(Median(visible)) +
                        " ms, to its text painted " + Whole(Median(painted)) + " ms.");
    }
}

// The shipped programs' size (KB of 1,024 bytes, as Explorer counts them).
void MeasureSize(const fs::path& shipped) {
    const double ombrix = static_cast<double>(fs::file_size(shipped / "Ombrix.exe")) / 1024;
    const double uptime = static_cast<double>(fs::file_size(shipped / "uptime.exe")) / 1024;
    PrintRow("Ombrix.exe as shipped (stripped)", ombrix, "the size it may have", 450, "KB", 1.0);
    PrintRow("uptime.exe as shipped (stripped)", uptime, "the size it may have", 500, "KB", 1.0);
}

}  // namespace

int main(int argc, char** argv) {
    // The programs as shipped (stripped), and the floors stripped alike.
    const fs::path shipped =
        argc > 1 ? fs::path(argv[1]) : fs::path(ombrix::platform::ProgramDirectory());
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRuns;
    const fs::path folder = fs::path(ombrix::platform::TempDirectory()) / "ombrix-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* program : {"Ombrix.exe", "uptime.exe", "big_output.exe", "empty_window.exe",
                                "startup_floor.exe", "launch_floor.exe"}) {
        fs::copy_file(shipped / program, folder / program);
    }
    std::vector<std::string> notes;  // printed under the table
    PrintHeader();
    MeasureStartUp(folder, runs);
    MeasureLaunch(folder, runs);
    MeasureLargeReports(folder, runs, notes);
    MeasureSize(shipped);
    std::printf("\n");
    for (const std::string& note : notes) {
        std::printf("%s\n", note.c_str());
    }
    fs::remove_all(folder);
    return 0;
}
