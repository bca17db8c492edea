#include "window_runs.h"

#include "bench_failure.h"
#include "drive/clock.h"
#include "drive/ombrix_windows.h"
#include "drive/screen_probe.h"

namespace ombrix::bench {
namespace {

using namespace std::chrono_literals;
// A first start in a fresh Wine prefix, or a 50 MB report on a busy machine, can take long.
constexpr auto kPatience = 300s;

drive::Program StartDetached(const std::filesystem::path& path, const std::string& arguments) {
    drive::StartOptions options;
    options.arguments = arguments;
    options.detached = true;
    auto program = drive::Program::Start(path.string(), options);
    if (!program) {
        Fail("cannot start " + path.string());
    }
    return std::move(*program);
}

HWND WaitForWindow(const drive::Program& program, const char* className) {
    return Must(program.WaitForWindow(className, kPatience),
                std::string("no window of class ") + className);
}

LONGLONG PaintedAt(const drive::Area& area) {
    return Must(drive::SettledAt(area, kPatience), "a window was never painted").value();
}

}  // namespace

double StartToPainted(const std::filesystem::path& path, const char* className) {
    const LONGLONG start = drive::Now();
    drive::Program program = StartDetached(path, "");
    HWND window = WaitForWindow(program, className);
    const LONGLONG painted = PaintedAt(drive::WholeWindow(window));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!program.WaitForExit(10s)) {
        Fail(path.string() + " did not close");
    }
    return drive::Milliseconds(painted - start);
}

RunningProgram::RunningProgram(const std::filesystem::path& path, const std::string& arguments,
                               const char* mainClass)
    : program_(StartDetached(path, arguments)), main_(WaitForWindow(program_, mainClass)) {
    PaintedAt(drive::WholeWindow(main_));
}

RunningProgram::~RunningProgram() {
    ::PostMessageA(main_, WM_CLOSE, 0, 0);
    if (!program_.WaitForExit(10s)) {
        program_.End();
    }
}

LaunchTimes RunningProgram::Launch(const std::function<void(HWND main)>& press,
                                   const char* textClass) {
    LaunchTimes times;
    times.click = drive::Now();
    press(main_);
    HWND window = WaitForWindow(program_, textClass);
    times.visible = drive::Now();
    HWND view = Must(drive::ReportView(window), "the window shows no text view");
    // The caret blinks in the first columns: they are left out.
    times.painted = PaintedAt(drive::ControlArea(view, 6));
    if (!drive::CloseResults(window, 10s)) {
        Fail(std::string("the window of class ") + textClass + " stays open");
    }
    return times;
}

}  // namespace ombrix::bench
