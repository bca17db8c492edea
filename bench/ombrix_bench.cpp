// Measures what a user waits for, each against the floor this platform sets, in the same run:
// start-up to the painted main window, Launch Uptime to the painted results, large reports from
// the tool's end to their first screen painted, and the size of the shipped programs.
// "Painted" is read from the screen: the benchmark polls the window's pixels until they stop
// changing, and never asks the program for its text.
//   ombrix_bench [runs] [folder of the programs, stripped as shipped]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "main/win32/main_window_ids.h"
#include "options/options_file.h"
#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/unique_owner.h"
#include "platform/win32/window_handles.h"
#include "results/win32/results_window_ids.h"

namespace {

namespace fs = std::filesystem;
using ombrix::platform::win32::UniqueHandle;

// One clock for this process and the tools it measures: the performance counter.
LONGLONG Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG TicksOf(double milliseconds) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<LONGLONG>(milliseconds * static_cast<double>(frequency.QuadPart) / 1000.0);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "ombrix_bench: %s\n", what.c_str());
    std::exit(1);
}

struct Started {
    UniqueHandle process;
    DWORD id = 0;
};

Started Start(const std::string& program, const std::string& arguments, HANDLE output = nullptr,
              DWORD flags = 0) {
    std::string commandLine = "\"" + program + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr,
                          output != nullptr ? TRUE : FALSE, flags, nullptr, nullptr, &startup,
                          &info)) {
        Fail("cannot start " + program);
    }
    UniqueHandle thread(info.hThread);
    return Started{UniqueHandle(info.hProcess), info.dwProcessId};
}

HWND FindWindowOf(DWORD processId, const char* className) {
    struct Search {
        DWORD processId;
        const char* className;
        HWND found;
    } search{processId, className, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            ::GetClassNameA(window, name, sizeof(name));
            if (owner == s->processId && std::string(name) == s->className &&
                ::IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitFor(const std::function<HWND()>& find) {
    const LONGLONG deadline = Now() + TicksOf(300'000);
    while (Now() < deadline) {
        if (HWND found = find()) {
            return found;
        }
        ::Sleep(1);
    }
    Fail("timed out waiting for a window");
}

// A part of a top-level window as the screen shows it. Under Wine a window of another process
// reads back only through its top-level window's DC, so a control is read as an area of that.
struct Area {
    HWND window = nullptr;  // top-level
    bool whole = false;     // the window with its frame and menu bar, else its client area
    RECT rect{};            // in the coordinates of that DC
};

// The whole top-level window.
Area WholeWindow(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return Area{window, true, RECT{0, 0, r.right - r.left, r.bottom - r.top}};
}

// A control's client area, without its `skipLeft` leftmost columns (where a caret blinks).
Area ControlArea(HWND control, int skipLeft) {
    HWND top = ::GetAncestor(control, GA_ROOT);
    RECT r{};
    ::GetClientRect(control, &r);
    ::MapWindowPoints(control, top, reinterpret_cast<POINT*>(&r), 2);
    r.left += skipLeft;
    return Area{top, false, r};
}

// The DC a window lends (GetDC, GetWindowDC), given back to it; and the benchmark's own GDI
// objects, deleted.
class WindowDc {
  public:
    WindowDc(HWND window, bool whole)
        : window_(window), dc_(whole ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() { ::ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};
struct MemoryDcTraits {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
using UniqueMemoryDc = ombrix::platform::win32::UniqueOwner<HDC, MemoryDcTraits>;
using UniqueBitmap =
    ombrix::platform::win32::UniqueOwner<HGDIOBJ, ombrix::platform::win32::GdiTraits>;

std::vector<std::uint32_t> Grab(const Area& area) {
    const int width = area.rect.right - area.rect.left;
    const int height = area.rect.bottom - area.rect.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    const WindowDc screen(area.window, area.whole);
    const UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueBitmap bitmap(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) {
        return {};
    }
    HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.rect.left, area.rect.top,
             SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * height);
    ::SelectObject(memory.get(), previous);
    return pixels;
}

// How many pixels differ between two pictures of one area (all, when their sizes differ).
std::size_t Difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) {
        return std::max(a.size(), b.size());
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        differing += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF) ? 1 : 0;
    }
    return differing;
}

// When the area's pixels last changed, once they have stayed the same for a while and show
// more than one colour: the moment it was fully painted, as a user sees it. Changes of a few
// pixels (a caret appearing, a focus mark) do not count as painting.
LONGLONG SettledAt(const Area& area) {
    constexpr std::size_t kSmallestPainting = 64;
    const LONGLONG quiet = TicksOf(300);
    const LONGLONG deadline = Now() + TicksOf(300'000);
    std::vector<std::uint32_t> last;
    LONGLONG changed = 0;
    while (Now() < deadline) {
        const LONGLONG before = Now();
        std::vector<std::uint32_t> pixels = Grab(area);
        const LONGLONG at = before + (Now() - before) / 2;
        if (!::IsWindow(area.window)) {
            Fail("the window went before it was painted");
        }
        if (changed == 0 || Difference(pixels, last) >= kSmallestPainting) {
            last = std::move(pixels);
            changed = at;
        } else if (at - changed >= quiet &&
                   std::any_of(last.begin(), last.end(), [&](std::uint32_t p) {
                       return (p & 0xFFFFFF) != (last.front() & 0xFFFFFF);
                   })) {
            return changed;
        }
        ::Sleep(1);
    }
    Fail("a window never showed a settled picture");
}

void WriteOptions(const fs::path& folder, const std::string& tool, const std::string& machine) {
    // As Ombrix writes it; a day of 0 keeps no date.
    const std::string lines =
        ombrix::options::FormatOptionsFile({.uptimePath = tool,
                                            .remoteMachine = !machine.empty(),
                                            .machineName = machine.empty() ? "x" : machine,
                                            .dayCount = 5},
                                           ombrix::options::kOptionsSignature);
    UniqueHandle file(::CreateFileA((folder / "ombrixopts.cfg").string().c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), lines.data(), static_cast<DWORD>(lines.size()), &written,
                              nullptr)) {
        Fail("cannot write the options file");
    }
}

// From the start of a window program to its window painted; then it is closed.
double StartToPainted(const std::string& program, const char* className) {
    const LONGLONG start = Now();
    Started started = Start(program, "", nullptr, DETACHED_PROCESS);
    HWND window = WaitFor([&] { return FindWindowOf(started.id, className); });
    const LONGLONG painted = SettledAt(WholeWindow(window));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
        Fail(program + " did not close");
    }
    return Milliseconds(painted - start);
}

struct LaunchTimes {
    LONGLONG click = 0;
    LONGLONG visible = 0;  // the results window shown
    LONGLONG painted = 0;  // its first screen of text painted
};

// Ombrix running in `folder` with its main window shown, started detached as from the desktop.
struct Ombrix {
    Started started;
    HWND main = nullptr;

    explicit Ombrix(const fs::path& folder)
        : started(Start((folder / "Ombrix.exe").string(), "", nullptr, DETACHED_PROCESS)) {
        main = WaitFor([&] { return FindWindowOf(started.id, "OmbrixMain"); });
        SettledAt(WholeWindow(main));
    }
    ~Ombrix() {
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(started.process.get(), 10000);
    }
    Ombrix(const Ombrix&) = delete;
    Ombrix& operator=(const Ombrix&) = delete;

    // Presses Launch Uptime, waits for the results' first screen to be painted, closes them.
    LaunchTimes Launch() {
        using namespace ombrix;
        LaunchTimes times;
        const UINT launch = main::win32::ControlId(options::Control::LaunchButton);
        times.click = Now();
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(launch, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(main, static_cast<int>(launch))));
        HWND results =
            WaitFor([&] { return FindWindowOf(started.id, results::win32::kResultsWindowClass); });
        times.visible = Now();
        HWND view = ::GetDlgItem(results, static_cast<int>(results::win32::kReportView));
        if (view == nullptr) {
            Fail("the results window has no text view");
        }
        // The caret blinks in the first columns: they are left out.
        times.painted = SettledAt(ControlArea(view, 6));
        ::PostMessageA(results, WM_COMMAND, MAKEWPARAM(results::win32::kExitButton, BN_CLICKED), 0);
        WaitFor([&]() -> HWND {
            return FindWindowOf(started.id, results::win32::kResultsWindowClass) == nullptr
                       ? main
                       : nullptr;
        });
        return times;
    }
};

// The launch floor, running: each Run() is one run of the tool as Ombrix's runner does it.
struct LaunchFloor {
    UniqueHandle done;
    Started started;
    HWND window = nullptr;

    LaunchFloor(const fs::path& folder, const std::string& tool, const std::string& arguments)
        : done(::CreateEventA(nullptr, FALSE, FALSE, "OmbrixBenchLaunchFloorDone")),
          started(Start((folder / "launch_floor.exe").string(),
                        " OmbrixBenchLaunchFloorDone \"" + tool + "\"" + arguments, nullptr,
                        DETACHED_PROCESS)) {
        window = WaitFor([&] { return FindWindowOf(started.id, "OmbrixBenchLaunchFloor"); });
    }
    ~LaunchFloor() {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(started.process.get(), 10000);
    }
    LaunchFloor(const LaunchFloor&) = delete;
    LaunchFloor& operator=(const LaunchFloor&) = delete;

    double Run() {
        const LONGLONG start = Now();
        ::PostMessageA(window, WM_COMMAND, 1, 0);
        if (::WaitForSingleObject(done.get(), 300'000) != WAIT_OBJECT_0) {
            Fail("the launch floor did not run the tool");
        }
        return Milliseconds(Now() - start);
    }
};

void RunToFile(const std::string& program, const std::string& arguments, const fs::path& output) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    UniqueHandle file(::CreateFileA(output.string().c_str(), GENERIC_WRITE, 0, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Started started = Start(program, arguments, file.get());
    ::WaitForSingleObject(started.process.get(), INFINITE);
}

// The least a viewer must do with a report file: read it whole and find where its lines end.
double ReadAndFindLineEnds(const fs::path& path) {
    const LONGLONG start = Now();
    const ombrix::base::Result<std::string> content =
        ombrix::platform::ReadWholeFile(path.string());
    if (!content) {
        Fail("cannot read " + path.string() + ": " + content.Reason());
    }
    std::vector<std::size_t> ends;
    const char* data = content->data();
    const std::size_t size = content->size();
    for (const char* at = data;
         (at = static_cast<const char*>(
              std::memchr(at, '\n', size - static_cast<std::size_t>(at - data)))) != nullptr;
         ++at) {
        ends.push_back(static_cast<std::size_t>(at - data));
    }
    const double elapsed = Milliseconds(Now() - start);
    if (ends.empty()) {
        Fail("no line ends in " + path.string());
    }
    return elapsed;
}

LONGLONG ToolEnd(const fs::path& tool) {
    LARGE_INTEGER end{};
    UniqueHandle stamp(::CreateFileA((tool.string() + ".end").c_str(), GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    if (!stamp || !::ReadFile(stamp.get(), &end, sizeof(end), &read, nullptr) ||
        read != sizeof(end)) {
        Fail("the tool left no end time");
    }
    return end.QuadPart;
}

std::string Whole(double value) {
    return std::to_string(static_cast<long long>(value + 0.5));
}

void Header() {
    std::printf("| %-44s | %8s | %-54s | %8s | %5s | %7s |\n", "measure (median of runs)", "Ombrix",
                "baseline", "baseline", "ratio", "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(10, '-').c_str(),
                std::string(56, '-').c_str(), std::string(10, '-').c_str(),
                std::string(7, '-').c_str(), std::string(9, '-').c_str());
}

void Row(const std::string& what, double ombrix, const std::string& baselineName, double baseline,
         const char* unit, double goal) {
    const std::string goalText = goal > 0 ? "<= " + std::to_string(goal).substr(0, 4) : "";
    std::printf("| %-44s | %5.0f %-2s | %-54s | %5.0f %-2s | %5.2f | %7s |\n", what.c_str(), ombrix,
                unit, baselineName.c_str(), baseline, unit, ombrix / baseline, goalText.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    // The programs as shipped (stripped), and the floors stripped alike.
    const fs::path shipped =
        argc > 2 ? fs::path(argv[2]) : fs::path(ombrix::platform::ProgramDirectory());
    const fs::path folder = fs::path(ombrix::platform::TempDirectory()) / "ombrix-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* program : {"Ombrix.exe", "uptime.exe", "big_output.exe", "empty_window.exe",
                                "startup_floor.exe", "launch_floor.exe"}) {
        fs::copy_file(shipped / program, folder / program);
    }
    const std::string uptime = (folder / "uptime.exe").string();
    const fs::path big = folder / "big_output.exe";
    Header();
    std::vector<std::string> notes;  // printed under the table

    // Start-up, each program once before the runs that count, so that all start warm; twice as
    // many runs as elsewhere, since a start is short and the machine's load shows in it most.
    WriteOptions(folder, uptime, "");
    const std::string ombrixPath = (folder / "Ombrix.exe").string();
    const std::string floorPath = (folder / "startup_floor.exe").string();
    const std::string emptyPath = (folder / "empty_window.exe").string();
    std::vector<double> ombrixStart, floorStart, emptyStart;
    for (int i = -1; i < 2 * runs; ++i) {
        const double o = StartToPainted(ombrixPath, "OmbrixMain");
        const double f = StartToPainted(floorPath, "OmbrixBenchFloor");
        const double e = StartToPainted(emptyPath, "OmbrixBenchEmpty");
        if (i >= 0) {
            ombrixStart.push_back(o);
            floorStart.push_back(f);
            emptyStart.push_back(e);
        }
    }
    Row("start-up to the main window painted", Median(ombrixStart),
        "the same window with nothing behind it", Median(floorStart), "ms", 1.1);
    Row("start-up to the main window painted", Median(ombrixStart),
        "(reference) a plain empty window", Median(emptyStart), "ms", 0);

    // Launch Uptime: the results painted, against the tool run and read back as Ombrix does it.
    {
        Ombrix ombrix(folder);
        LaunchFloor floor(folder, uptime, "");
        std::vector<double> launch, floorRuns;
        for (int i = -1; i < runs; ++i) {
            const LaunchTimes t = ombrix.Launch();
            const double f = floor.Run();
            if (i >= 0) {
                launch.push_back(Milliseconds(t.painted - t.click));
                floorRuns.push_back(f);
            }
        }
        Row("Launch Uptime to the results painted", Median(launch),
            "uptime.exe run and read back as the runner does", Median(floorRuns), "ms", 1.1);
    }

    // Large reports: what Ombrix adds once the tool has written its last byte.
    for (const long long megabytes : {1LL, 10LL, 50LL}) {
        const long long bytes = megabytes << 20;
        const std::string size = std::to_string(bytes);
        RunToFile(big.string(), " " + size, folder / "direct.txt");
        std::vector<double> read;
        for (int i = 0; i < 5; ++i) {
            read.push_back(ReadAndFindLineEnds(folder / "direct.txt"));
        }
        WriteOptions(folder, big.string(), size);
        Ombrix ombrix(folder);
        std::vector<double> shown, visible, painted;
        const int sizeRuns = megabytes >= 50 ? std::min(runs, 3) : runs;
        for (int i = 0; i < sizeRuns; ++i) {
            const LaunchTimes t = ombrix.Launch();
            const LONGLONG end = ToolEnd(big);
            shown.push_back(Milliseconds(t.painted - end));
            visible.push_back(Milliseconds(t.visible - t.click));
            painted.push_back(Milliseconds(t.painted - t.click));
        }
        const std::string mb = std::to_string(megabytes) + " MB";
        // The goal is set for the largest; below it the window's own cost dominates.
        Row("a " + mb + " report: tool's end to text painted", Median(shown),
            "reading the " + mb + " file and finding its line ends", Median(read), "ms",
            megabytes >= 50 ? 2.0 : 0);
        notes.push_back("- " + mb + ": click to results window shown " + Whole(Median(visible)) +
                        " ms, to its text painted " + Whole(Median(painted)) + " ms.");
    }

    // The shipped programs' size (KB of 1,024 bytes, as Explorer counts them).
    const double ombrixSize = static_cast<double>(fs::file_size(shipped / "Ombrix.exe")) / 1024;
    const double uptimeSize = static_cast<double>(fs::file_size(shipped / "uptime.exe")) / 1024;
    Row("Ombrix.exe as shipped (stripped)", ombrixSize, "the size it may have", 450, "KB", 1.0);
    notes.push_back("- uptime.exe as shipped (stripped): " + Whole(uptimeSize) + " KB.");
    std::printf("\n");
    for (const std::string& note : notes) {
        std::printf("%s\n", note.c_str());
    }
    fs::remove_all(folder);
    return 0;
}
