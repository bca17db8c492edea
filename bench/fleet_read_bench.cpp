// Measures how fast the logs of a large fleet are read: a forwarded-events export of many
// machines, built from the real sample log as renamed copies with shifted times, interleaved as
// a collector holds them (10,000 machines make about 1 GB). Its reading into machines, with
// every processor, is timed against a baseline measured in the same run on the same file:
// reading its bytes once and counting its records.
//   fleet_read_bench [machines] [runs]
//   fleet_read_bench --write FILE [machines]   (only writes the export, for other tools)
//   fleet_read_bench --count FILE              (only the baseline)
//   fleet_read_bench --read FILE               (only the reading)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include "drive/fleet_export.h"
#include "platform/process_files.h"
#include "uptime/logs/machine_logs.h"

namespace {

using Clock = std::chrono::steady_clock;
const char kSep = ombrix::platform::kPathSeparator;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "fleet_read_bench: %s\n", why.c_str());
    std::exit(1);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The process's peak memory so far, in megabytes.
double PeakMegabytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
#else
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
#endif
}

std::vector<std::string> SampleRecords() {
    const auto text = ombrix::platform::ReadWholeFile(ombrix::platform::ProgramDirectory() + kSep +
                                                      "benchdata" + kSep + "desktop-system.xml");
    if (!text) {
        Fail("cannot read the sample log: " + text.Reason());
    }
    return ombrix::drive::ExportRecords(*text);
}

// Writes the export of `machines`; returns its records, and its size in `bytes`.
std::size_t WriteExport(const std::string& path, std::size_t machines, std::size_t& bytes) {
    const std::vector<std::string> sample = SampleRecords();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Fail("cannot create " + path);
    }
    std::string piece;
    std::size_t records = 0;
    bytes = 0;
    const auto flush = [&] {
        bytes += piece.size();
        if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) {
            Fail("cannot write " + path);
        }
        piece.clear();
    };
    ombrix::drive::WriteFleetExport(sample,
                                    ombrix::drive::SpreadFleet(sample.size(), machines, 100),
                                    [&](std::string_view record) {
                                        piece += record;
                                        ++records;
                                        if (piece.size() >= (1 << 20)) {
                                            flush();
                                        }
                                    });
    flush();
    std::fclose(file);
    return records;
}

// The baseline: the file's bytes read once in pieces of 1 MiB, its records' ends counted.
std::size_t CountRecords(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Fail("cannot open " + path);
    }
    constexpr std::string_view kEnd = "</Event>";
    std::string piece(1 << 20, '\0');
    std::size_t kept = 0;  // the end of the piece before, which may hold part of a marker
    std::size_t records = 0;
    for (std::size_t got;
         (got = std::fread(piece.data() + kept, 1, piece.size() - kept, file)) > 0;) {
        const std::string_view text(piece.data(), kept + got);
        for (auto at = text.find(kEnd); at != std::string_view::npos;
             at = text.find(kEnd, at + 1)) {
            ++records;
        }
        kept = std::min(text.size(), kEnd.size() - 1);
        std::memmove(piece.data(), text.data() + text.size() - kept, kept);
    }
    std::fclose(file);
    return records;
}

// The reading into machines, every processor at work; its figures checked against the export.
std::size_t ReadFleet(const std::string& path, std::size_t machines) {
    const ombrix::drive::PlainFileSources sources;
    auto logs = uptime::ReadMachineLogs({path}, sources, 0);
    if (!logs) {
        Fail("the export was not read: " + logs.Reason());
    }
    std::size_t records = 0;
    for (const uptime::MachineLog& machine : logs->machines) {
        records += machine.records;
    }
    if (machines != 0 && logs->machines.size() != machines) {
        Fail("the export gave " + std::to_string(logs->machines.size()) + " machines, not " +
             std::to_string(machines));
    }
    return records;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc > 2 && mode == "--write") {
        std::size_t bytes = 0;
        WriteExport(argv[2], argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000, bytes);
        return 0;
    }
    if (argc > 2 && mode == "--count") {
        std::printf("%zu records\n", CountRecords(argv[2]));
        return 0;
    }
    if (argc > 2 && mode == "--read") {
        std::printf("%zu records\n", ReadFleet(argv[2], 0));
        return 0;
    }
    const std::size_t machines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string path = ombrix::platform::TempDirectory() + "fleet_read_bench.xml";
    std::size_t bytes = 0;
    const std::size_t written = WriteExport(path, machines, bytes);
    const double megabytes = static_cast<double>(bytes) / (1 << 20);
    CountRecords(path);  // the file is in the cache for both
    std::vector<double> read_s;
    std::vector<double> base_s;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        if (CountRecords(path) != written) {
            Fail("the baseline miscounted the records");
        }
        base_s.push_back(Seconds(Clock::now() - start));
        start = Clock::now();
        if (ReadFleet(path, machines) != written) {
            Fail("the machines' records do not add up to the export's");
        }
        read_s.push_back(Seconds(Clock::now() - start));
    }
    static_cast<void>(ombrix::platform::RemoveFile(path));
    const double read = Median(read_s);
    const double base = Median(base_s);
    std::printf(
        "Reading a forwarded-events export of %zu machines (%.0f MB, %zu records) with %u "
        "threads, median of %d runs\n\n",
        machines, megabytes, written, std::max(1u, std::thread::hardware_concurrency()), runs);
    std::printf("| reading into machines s | baseline s | ratio | peak memory MB |\n");
    std::printf("|-------------------------|------------|-------|----------------|\n");
    std::printf("| %23.3f | %10.3f | %5.1f | %14.1f |\n", read, base, read / base, PeakMegabytes());
    return 0;
}
