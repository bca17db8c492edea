// The real uptime program, run as Ombrix runs it.
#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/process_files.h"
#include "platform/system_info.h"
#include "runner/run_and_capture.h"
#include "support/test_support.h"

namespace uptime {
namespace {

TEST(UptimeProgram, ReportsTheLocalUptimeEvenWithoutEvents) {
    // Windows itself gives a report; Wine's event log, like none at all, gives no events.
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const bool readable =
        ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr;
#else
    const bool readable = false;
#endif
    ombrix::test::ScratchDir dir;
    const std::string file = dir.File("out.TMP");
    ombrix::runner::RunState state;
    const auto run =
        ombrix::runner::RunAndCapture({file, ombrix::test::HelperProgram("uptime"), " /s"}, state);
    ASSERT_TRUE(run) << run.Reason();
    EXPECT_EQ(run->exitCode, 0);
    const std::string output = ombrix::test::ReadFile(file);
    const std::string machine = "\\\\" + ombrix::platform::ComputerName();
    if (readable) {
        EXPECT_EQ(output.rfind("Uptime Report for: " + machine + "\r\n", 0), 0u) << output;
        return;
    }
    EXPECT_EQ(output.rfind(machine + " has been up for: ", 0), 0u) << output;
    EXPECT_NE(output.find(" second(s)\r\nNo events are available: "), std::string::npos) << output;
    EXPECT_EQ(output.substr(output.size() - 2), "\r\n") << output;
}

struct Ran {
    int exitCode = -1;
    std::string output;
};

Ran RunUptime(const ombrix::test::ScratchDir& dir, const std::string& arguments) {
    const std::string file = dir.File("out.TMP");
    ombrix::runner::RunState state;
    const auto run = ombrix::runner::RunAndCapture(
        {file, ombrix::test::HelperProgram("uptime"), arguments}, state);
    EXPECT_TRUE(run) << run.Reason();
    return {run ? run->exitCode : -1, ombrix::test::ReadFile(file)};
}

// The sample with its lines in UTF-16 little-endian and a byte order mark, as PowerShell's ">"
// writes a file (the sample is ASCII).
std::string PowerShellForm(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(UptimeProgram, ReportsFromARealExportedLog) {
    const char sep = ombrix::platform::kPathSeparator;
    const std::string sample =
        ombrix::test::ReadFile(ombrix::platform::ProgramDirectory() + sep + "testdata" + sep +
                               "events" + sep + "desktop-system.xml");
    ombrix::test::ScratchDir dir;
    std::filesystem::create_directory(dir.path() / "log files");
    const std::pair<std::string, std::string> files[] = {
        {"srv01-system.xml", sample},
        {"srv01-powershell.xml", PowerShellForm(sample)},
        {"srv01-events.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Events>\r\n" + sample + "</Events>\r\n"},
    };
    std::string first;
    for (const auto& [name, bytes] : files) {
        const std::string path = dir.File("log files") + sep + name;
        ombrix::test::WriteFile(path, bytes);
        const Ran ran = RunUptime(dir, " /l:\"" + path + "\" /s");
        EXPECT_EQ(ran.exitCode, 0) << ran.output;
        // The rows show this computer's zone; the figures (worked out in log_file_test) do not.
        for (const char* line : {
                 "Uptime Report for: \\\\DESKTOP-1N4R894\r\n",
                 "\r\nSystem Uptime at the Log's End: 27 day(s), 14 hour(s), 2 minute(s), 4 "
                 "second(s) (from the last boot to the last record)\r\n",
                 "\r\nSystem Availability: 99.9985%\r\nTotal Uptime: 32d 20h:5m:36s\r\nTotal "
                 "Downtime: 0d 0h:0m:43s\r\nTotal Reboots: 3\r\nMean Time Between Reboots: 10.95 "
                 "days\r\nTotal Bluescreens: 0\r\n",
             }) {
            EXPECT_NE(ran.output.find(line), std::string::npos) << name << ":\n" << ran.output;
        }
        const std::string report = ran.output.substr(ran.output.find("\r\n\r\n"));
        if (first.empty()) {
            first = report;
        }
        EXPECT_EQ(report, first) << name;  // every form, the same report
    }
}

TEST(UptimeProgram, RefusesAFileItCannotReport) {
    ombrix::test::ScratchDir dir;
    ombrix::test::WriteFile(dir.File("list.csv"), "Level,Date and Time,Source,Event ID\r\n");
    ombrix::test::WriteFile(dir.File("saved.evtx"),
                            std::string("ElfFile\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24));
    struct Case {
        std::string name;
        const char* reason;  // natively; Windows gives its own words for some
    };
    const Case cases[] = {
        {"missing.xml", ""},
        {"list.csv", "It is not an event export: it does not begin with XML."},
#ifndef _WIN32
        {"saved.evtx", "wevtutil qe saved.evtx /lf:true /f:xml > saved.xml"},
#else
        // Windows reads it through the event log service; Wine has none to read it with.
        {"saved.evtx", ""},
#endif
    };
    for (const Case& c : cases) {
        const Ran ran = RunUptime(dir, " /s /l:" + dir.File(c.name));
        EXPECT_EQ(ran.exitCode, 5) << c.name;
        EXPECT_EQ(
            ran.output.rfind(
                "No report can be made from the log file " + dir.File(c.name) + ".\r\n\r\n", 0),
            0u)
            << ran.output;
        EXPECT_NE(ran.output.find(c.reason), std::string::npos) << ran.output;
        EXPECT_GT(ran.output.size(), dir.File(c.name).size() + 50) << "a reason is given";
    }
    const Ran both = RunUptime(dir, " SRV01 /l:" + dir.File("list.csv"));
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_NE(both.output.find("Usage: uptime [[\\\\]machine | /l:file]"), std::string::npos);
}

}  // namespace
}  // namespace uptime
