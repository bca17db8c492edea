// Measures how fast uptime /l: reads a large exported event log, against a baseline measured in
// the same run on the same file: reading its bytes once and finding its line ends.
//   export_read_bench [megabytes] [runs]
//   export_read_bench --write FILE [megabytes]    (only writes the UTF-8 export, for other tools)
// The export is the real sample log repeated with rising times, in UTF-8 (as wevtutil writes
// it) and in UTF-16 (as PowerShell's ">" does).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drive/fleet_export.h"
#include "platform/process_files.h"
#include "uptime/common/utc_time.h"

namespace {

using Clock = std::chrono::steady_clock;
const char kSep = ombrix::platform::kPathSeparator;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "export_read_bench: %s\n", why.c_str());
    std::exit(1);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadAll(const std::string& path) {
    const auto content = ombrix::platform::ReadWholeFile(path);
    if (!content) {
        Fail("cannot read " + path + ": " + content.Reason());
    }
    return *content;
}

// Writes copies of the records, each copy later than the one before, until `bytes` are written;
// UTF-16 little-endian with its mark when asked. Returns how many copies it took.
int WriteExport(const std::string& path, const std::vector<std::string>& records, std::size_t bytes,
                bool utf16) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Fail("cannot create " + path);
    }
    const std::int64_t first = *uptime::ParseSystemTime("2018-07-06T00:00:00Z");
    const std::int64_t span = *uptime::ParseSystemTime("2018-08-10T00:00:00Z") - first;
    std::size_t written = 0;
    int copies = 0;
    std::string out = utf16 ? "\xFF\xFE" : "";
    while (written < bytes) {
        for (const std::string& record : records) {
            // Numbered on, as a log that goes on for years numbers its records: the same
            // number twice is the same record, which the tool counts once.
            const std::string shifted = ombrix::drive::MovedRecord(
                record, "", copies * span, copies * static_cast<std::int64_t>(records.size()));
            if (utf16) {
                for (const char c : shifted) {
                    out += c;
                    out += '\0';
                }
            } else {
                out += shifted;
            }
        }
        written += out.size();
        if (std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
            Fail("cannot write " + path);
        }
        out.clear();
        ++copies;
    }
    std::fclose(file);
    return copies;
}

// The baseline: the file's bytes read once in pieces of 1 MiB, its line ends counted.
double ReadLineEnds(const std::string& path, std::size_t& lines) {
    const auto start = Clock::now();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Fail("cannot open " + path);
    }
    std::vector<char> piece(1 << 20);
    lines = 0;
    for (std::size_t got; (got = std::fread(piece.data(), 1, piece.size(), file)) > 0;) {
        for (const char* p = piece.data();
             (p = static_cast<const char*>(std::memchr(
                  p, '\n', got - static_cast<std::size_t>(p - piece.data())))) != nullptr;
             ++p) {
            ++lines;
        }
    }
    std::fclose(file);
    return Seconds(Clock::now() - start);
}

// uptime /l:file /s to its end; the report must count every copy's three boots.
double RunTool(const std::string& tool, const std::string& path, const std::string& output,
               int copies) {
    const auto start = Clock::now();
    auto file = ombrix::platform::OutputFile::Create(output);
    if (!file) {
        Fail("cannot create " + output + ": " + file.Reason());
    }
    auto started =
        ombrix::platform::CapturedProcess::Start(std::move(*file), tool, " /l:\"" + path + "\" /s");
    if (!started) {
        Fail("cannot start " + tool + ": " + started.Reason());
    }
    (*started)->WaitForExit();
    const double seconds = Seconds(Clock::now() - start);
    const std::int32_t exitCode = (*started)->Finish();
    const std::string report = ReadAll(output);
    const std::string reboots = "Total Reboots: " + std::to_string(3 * copies) + "\r\n";
    if (exitCode != 0 || report.find(reboots) == std::string::npos) {
        Fail("the tool did not report the export (exit code " + std::to_string(exitCode) + "):\n" +
             report);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = ombrix::platform::ProgramDirectory();
    const auto records = ombrix::drive::ExportRecords(
        ReadAll(folder + kSep + "benchdata" + kSep + "desktop-system.xml"));
    if (argc > 2 && std::string(argv[1]) == "--write") {
        const long megabytes = argc > 3 ? std::atol(argv[3]) : 100;
        WriteExport(argv[2], records, static_cast<std::size_t>(megabytes) << 20, false);
        return 0;
    }
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 100;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string tool = folder + kSep + "uptime" + (kSep == '\\' ? ".exe" : "");
    const std::string scratch = ombrix::platform::TempDirectory();
    const std::string output = scratch + "export_read_bench.out";
    const auto size = static_cast<std::size_t>(megabytes) << 20;

    std::printf("Reading a %ld MB exported log with uptime /l: (median of %d runs)\n\n", megabytes,
                runs);
    std::printf("| export              | uptime /l: s | MB/s | baseline s |  MB/s | ratio |\n");
    std::printf("|---------------------|--------------|------|------------|-------|-------|\n");
    for (const bool utf16 : {false, true}) {
        const std::string path =
            scratch + (utf16 ? "export_read_bench-utf16.xml" : "export_read_bench-utf8.xml");
        const int copies = WriteExport(path, records, size, utf16);
        std::size_t lines = 0;
        ReadLineEnds(path, lines);  // the file is in the cache for both
        std::vector<double> tool_s;
        std::vector<double> base_s;
        for (int i = 0; i < runs; ++i) {
            base_s.push_back(ReadLineEnds(path, lines));
            tool_s.push_back(RunTool(tool, path, output, copies));
        }
        const double mb = static_cast<double>(size) / (1 << 20);
        const double tool_median = Median(tool_s);
        const double base_median = Median(base_s);
        std::printf("| %-19s | %12.3f | %4.0f | %10.3f | %5.0f | %5.1f |\n",
                    utf16 ? "UTF-16 (PowerShell)" : "UTF-8 (wevtutil)", tool_median,
                    mb / tool_median, base_median, mb / base_median, tool_median / base_median);
        static_cast<void>(ombrix::platform::RemoveFile(path));
    }
    static_cast<void>(ombrix::platform::RemoveFile(output));
    return 0;
}
