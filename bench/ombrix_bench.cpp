// Measures what a user waits for: start-up to a shown window, Launch Uptime to the results
// shown, and large reports; each against a baseline measured in the same run.
//   ombrix_bench [runs]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "main/win32/main_window_ids.h"
#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"
#include "results/win32/results_window_ids.h"

namespace {

namespace fs = std::filesystem;
using ombrix::platform::win32::UniqueHandle;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(1);
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
    const auto deadline = Clock::now() + std::chrono::seconds(300);
    while (Clock::now() < deadline) {
        if (HWND found = find()) {
            return found;
        }
        ::Sleep(1);
    }
    std::fprintf(stderr, "timed out\n");
    std::exit(1);
}

void WriteOptions(const fs::path& folder, const std::string& tool, const std::string& machine) {
    const bool server = !machine.empty();
    const std::string lines = std::string("Ombrix_OptsN\r\n255\r\n") + tool + "\r\nFalse\r\n" +
                              (server ? "True" : "False") + "\r\n" + (server ? machine : "x") +
                              "\r\nFalse\r\nFalse\r\nFalse\r\n0\r\n0\r\n0\r\n5\r\nTrue\r\n";
    UniqueHandle file(::CreateFileA((folder / "ombrixopts.cfg").string().c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

// Ombrix running in `folder` with its main window shown.
struct Ombrix {
    Started started;
    HWND main = nullptr;

    // Detached, as when started from the desktop: without a console of its own, each console
    // tool it runs gets one.
    explicit Ombrix(const fs::path& folder)
        : started(Start((folder / "Ombrix.exe").string(), "", nullptr, DETACHED_PROCESS)) {
        main = WaitFor([&] { return FindWindowOf(started.id, "OmbrixMain"); });
    }
    ~Ombrix() {
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(started.process.get(), 10000);
    }
    Ombrix(const Ombrix&) = delete;
    Ombrix& operator=(const Ombrix&) = delete;

    // Presses Launch Uptime and returns the time until the results window shows `minLength`
    // characters or more; closes it again.
    double Launch(std::size_t minLength) {
        using namespace ombrix;
        const UINT launch = main::win32::ControlId(options::Control::LaunchIt);
        const auto start = Clock::now();
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(launch, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(main, static_cast<int>(launch))));
        HWND results = WaitFor([&]() -> HWND {
            HWND window = FindWindowOf(started.id, results::win32::kResultsWindowClass);
            HWND text = window != nullptr
                            ? ::GetDlgItem(window, static_cast<int>(results::win32::kUptimeDump))
                            : nullptr;
            return text != nullptr && static_cast<std::size_t>(
                                          ::SendMessageA(text, WM_GETTEXTLENGTH, 0, 0)) >= minLength
                       ? window
                       : nullptr;
        });
        const double elapsed = Milliseconds(Clock::now() - start);
        ::PostMessageA(results, WM_COMMAND, MAKEWPARAM(results::win32::kExitButton, BN_CLICKED), 0);
        WaitFor([&]() -> HWND {
            return FindWindowOf(started.id, results::win32::kResultsWindowClass) == nullptr
                       ? main
                       : nullptr;
        });
        return elapsed;
    }
};

double StartToWindow(const std::string& program, const char* className) {
    const auto start = Clock::now();
    Started started = Start(program, "", nullptr, DETACHED_PROCESS);
    HWND window = WaitFor([&] { return FindWindowOf(started.id, className); });
    const double elapsed = Milliseconds(Clock::now() - start);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(started.process.get(), 10000);
    return elapsed;
}

double RunToFile(const std::string& program, const std::string& arguments, const fs::path& output) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const auto start = Clock::now();
    UniqueHandle file(::CreateFileA(output.string().c_str(), GENERIC_WRITE, 0, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Started started = Start(program, arguments, file.get());
    ::WaitForSingleObject(started.process.get(), INFINITE);
    file.reset();
    return Milliseconds(Clock::now() - start);
}

// What the system's own multi-line text box takes to show the same text.
double PlainEditControl(std::size_t bytes) {
    std::string text;
    const std::string line =
        "\\\\BENCH has been up for: 12 day(s), 18 hour(s), 48 minute(s), 33 second(s)......\r\n";
    while (text.size() < bytes) {
        text += line;
    }
    text.resize(bytes);
    HWND window = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    800, 500, nullptr, nullptr, nullptr, nullptr);
    HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                  10, 10, 760, 440, window, nullptr, nullptr, nullptr);
    ::SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    const auto start = Clock::now();
    ::SetWindowTextA(edit, text.c_str());
    ::UpdateWindow(edit);
    const double elapsed = Milliseconds(Clock::now() - start);
    ::DestroyWindow(window);
    return elapsed;
}

void Row(const char* what, double ombrix, const char* baselineName, double baseline) {
    std::printf("| %-34s | %9.1f | %-38s | %9.1f | %6.2f |\n", what, ombrix, baselineName, baseline,
                ombrix / baseline);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path bin = ombrix::platform::ProgramDirectory();
    const fs::path folder = fs::path(ombrix::platform::TempDirectory()) / "ombrix-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* program : {"Ombrix.exe", "uptime.exe", "big_output.exe", "empty_window.exe"}) {
        fs::copy_file(bin / program, folder / program);
    }
    const std::string uptime = (folder / "uptime.exe").string();
    const std::string big = (folder / "big_output.exe").string();

    std::printf("| %-34s | %9s | %-38s | %9s | %6s |\n", "measure (median of runs, ms)", "Ombrix",
                "baseline", "baseline", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(11, '-').c_str(),
                std::string(40, '-').c_str(), std::string(11, '-').c_str(),
                std::string(8, '-').c_str());

    WriteOptions(folder, uptime, "");
    std::vector<double> ombrixStart, emptyStart;
    for (int i = 0; i < runs; ++i) {
        ombrixStart.push_back(StartToWindow((folder / "Ombrix.exe").string(), "OmbrixMain"));
        emptyStart.push_back(
            StartToWindow((folder / "empty_window.exe").string(), "OmbrixBenchEmpty"));
    }
    Row("start-up to the shown main window", Median(ombrixStart), "an empty window program",
        Median(emptyStart));

    {
        Ombrix ombrix(folder);
        std::vector<double> launch, direct;
        for (int i = 0; i < runs; ++i) {
            launch.push_back(ombrix.Launch(1));
            direct.push_back(RunToFile(uptime, "", folder / "direct.txt"));
        }
        Row("Launch Uptime to the results shown", Median(launch), "uptime.exe run to a file",
            Median(direct));
    }

    for (const long long megabytes : {1LL, 10LL, 50LL}) {
        const long long bytes = megabytes << 20;
        WriteOptions(folder, big, std::to_string(bytes));
        Ombrix ombrix(folder);
        std::vector<double> launch, direct;
        const int sizeRuns = megabytes >= 50 ? 1 : std::min(runs, 3);
        for (int i = 0; i < sizeRuns; ++i) {
            launch.push_back(ombrix.Launch(static_cast<std::size_t>(bytes)));
            direct.push_back(RunToFile(big, " " + std::to_string(bytes), folder / "direct.txt"));
        }
        const std::string what = "a " + std::to_string(megabytes) + " MB report shown";
        const std::string baseline = "the tool run to a file";
        Row(what.c_str(), Median(launch), baseline.c_str(), Median(direct));
        if (megabytes <= 10) {
            Row(what.c_str(), Median(launch), "the system's text box, text set",
                PlainEditControl(static_cast<std::size_t>(bytes)));
        }
    }
    fs::remove_all(folder);
    return 0;
}
