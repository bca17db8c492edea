// The real uptime program, run as Ombrix runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

#include "drive/fleet_export.h"
#include "platform/system_info.h"
#include "runner/run_and_capture.h"
#include "uptime/recorded_system.h"
#include "uptime/tool/system.h"
#include "uptime/tool/tool.h"

namespace uptime {
namespace {

ToolResult RunUptime(const ombrix::test::ScratchDir& dir, const std::string& arguments) {
    const std::string file = dir.File("out.TMP");
    ombrix::runner::RunState state;
    const auto run = ombrix::runner::RunAndCapture(
        {file, ombrix::test::HelperProgram("uptime"), arguments}, state);
    EXPECT_TRUE(run) << run.Reason();
    return {ombrix::test::ReadFile(file), run ? run->exitCode : -1};
}

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
    const ToolResult ran = RunUptime(dir, " /s");
    EXPECT_EQ(ran.exitCode, 0);
    const std::string machine = "\\\\" + ombrix::platform::ComputerName();
    if (readable) {
        EXPECT_EQ(ran.output.rfind("Uptime Report for: " + machine + "\r\n", 0), 0u) << ran.output;
        return;
    }
    EXPECT_EQ(ran.output.rfind(machine + " has been up for: ", 0), 0u) << ran.output;
    EXPECT_NE(ran.output.find(" second(s)\r\nNo events are available: "), std::string::npos)
        << ran.output;
}

TEST(UptimeProgram, RefusesAFileItCannotReport) {
    ombrix::test::ScratchDir dir;
    std::filesystem::create_directory(dir.path() / "folder.xml");
    // The file, the bytes written into it if any, and the reason given (Windows has its own words
    // for some).
    const std::tuple<const char*, std::optional<std::string>, const char*> cases[] = {
        {"missing.xml", std::nullopt, ", error 2"},
        {"folder.xml", std::nullopt, "It is a folder, not a file."},
        {"blank.xml", "\xEF\xBB\xBF \r\n", "It is empty."},
        {"list16.csv", test::Utf16("Keywords\tDate", false), "it does not begin with XML."},
        {"none.xml", "<?xml version='1.0'?><Events></Events>", "It holds no event records"},
        {"broken.xml", "<Event><System></Event>\r\n<Event/>",
         "None of its 2 event records could be read"},
        // Windows reads it through the event log service (Wine has none to read it with).
        {"saved.evtx", std::string("ElfFile\0\0\0\0\0", 12),
#ifdef _WIN32
         "The event log service"},
#else
         "wevtutil qe saved.evtx /lf:true /f:xml > saved.xml"},
#endif
    };
    for (const auto& [name, bytes, reason] : cases) {
        if (bytes) {
            ombrix::test::WriteFile(dir.File(name), *bytes);
        }
        const ToolResult ran = RunUptime(dir, std::string(" /s /l:") + dir.File(name));
        const std::string told = "No report can be made from the log file " + dir.File(name);
        EXPECT_EQ(ran.exitCode, 5) << name;
        // The reason after the sentence that names the file.
        EXPECT_TRUE(ran.output.starts_with(told + ".\r\n\r\n") &&
                    ran.output.find(reason, told.size()) != std::string::npos)
            << ran.output;
    }
    // This computer's collector channel: Wine's is empty, and elsewhere there is none.
    const ToolResult channel = RunUptime(dir, " /c /s");
    EXPECT_EQ(channel.exitCode, 4);
    EXPECT_TRUE(channel.output.starts_with(
        "No report can be made from the ForwardedEvents channel of this computer.\r\n\r\n"))
        << channel.output;
    const ToolResult both = RunUptime(dir, " SRV01 /l:" + dir.File("a.xml"));
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_NE(both.output.find("Usage: uptime [[\\\\]machine ... | /m:list ... | /l:file"),
              std::string::npos);
}

// The real sample in files, read by the real program: alone, from a folder whose name holds a
// blank; as a machine renamed the way Windows set-up leaves one, with its rename record and
// without; and as files of two machines in two encodings found by a wildcard beside a corrupt one.
TEST(UptimeProgram, ReportsFleetsFromRealExports) {
    ombrix::test::ScratchDir dir;
    const std::vector<std::string>& sample = test::SampleRecords();
    const auto write = [&](const std::string& name, const std::vector<std::string>& records,
                           bool utf16 = false) {
        std::string text;
        for (const std::string& record : records) {
            text += record;
        }
        ombrix::test::WriteFile(dir.File(name), utf16 ? test::Utf16(text, false) : text);
        return dir.File(name);
    };
    // Alone, from a folder whose name holds a blank.
    std::filesystem::create_directory(dir.path() / "log files");
    const std::string path =
        write(std::string("log files") + ombrix::platform::kPathSeparator + "srv01.xml", sample);
    // Its report is held against the renamed machine's below, which holds it after its heading.
    const std::string alone = RunUptime(dir, " /l:\"" + path + "\" /s").output;
    // The set-up name until the restart for the rename (the boot of 06/07 18:40:37), then the new
    // name, with the rename record and without it: one machine, whose report is the sample's.
    const auto asRenamed = [&](const std::string& file, const std::string& earlier) {
        return "Uptime Report for: \\\\SRV01\r\nLog File: " + file +
               "\r\nEarlier names: \\\\WIN-3J5K9QX\r\n" + earlier +
               alone.substr(alone.find("\r\n\r\n") + 2);
    };
    std::vector<std::string> renamed =
        ombrix::drive::RenamedMachine(sample, 65, "WIN-3J5K9QX", "SRV01");
    const std::string told = write("renamed.xml", renamed);
    EXPECT_EQ(RunUptime(dir, " /s /l:" + told).output, asRenamed(told, ""));
    renamed.erase(std::find_if(renamed.begin(), renamed.end(), [](const std::string& record) {
        return record.find(">6011</EventID>") != std::string::npos;
    }));
    const std::string cut = write("cut.xml", renamed);
    ToolResult ran = RunUptime(dir, " /s /l:" + cut);
    EXPECT_EQ(ran.exitCode, 0);
    EXPECT_EQ(ran.output, asRenamed(cut,
                                    "WIN-3J5K9QX taken as an earlier name of SRV01, by the "
                                    "times of their records: the logs hold no rename "
                                    "record.\r\n"));

    // Two machines, an hour apart, in UTF-8 and UTF-16 files; a corrupt file among them, and a
    // wildcard that matches nothing. Every record is read whole, though the files are larger
    // than one piece: the figures are the sample's (worked out in log_file_test). The times are
    // in this computer's formats.
    std::filesystem::create_directory(dir.path() / "fleet");
    const std::string folder = dir.File("fleet") + ombrix::platform::kPathSeparator;
    for (const char* name : {"A", "B"}) {
        std::vector<std::string> records;
        for (const std::string& record : sample) {
            records.push_back(ombrix::drive::MovedRecord(record, std::string("SRV-") + name,
                                                         name[0] == 'A' ? 0 : 3600));
        }
        write(std::string("fleet") + ombrix::platform::kPathSeparator + name + ".xml", records,
              name[0] == 'B');
    }
    ombrix::test::WriteFile(folder + "c.xml", "<Event><System><Computer>SRV-C</Sys");
    ran = RunUptime(dir, " /s \"/l:" + folder + "*.xml\" /l:" + folder + "*.evt");
    EXPECT_EQ(ran.exitCode, 6) << ran.output;
    EXPECT_EQ(ran.output.rfind("Machines: 2, 2 reported, 0 failed.\r\n", 0), 0u) << ran.output;
    // Each machine's report follows as its own run prints it (fleet_run_test).
    for (const std::string& line : std::vector<std::string>{
             "\\\\SRV-A      99.9985%  0d 0h:0m:43s         3     0   0            0\r\n  as of ",
             "\\\\SRV-B      99.9985%  0d 0h:0m:43s         3     0   0            0\r\n  as of ",
             "Not read: " + folder + "c.xml: ", "Not read: " + folder + "*.evt: "}) {
        EXPECT_NE(ran.output.find(line), std::string::npos) << line << "\nin:\n" << ran.output;
    }
    EXPECT_EQ(ran.output.find("could not be read"), std::string::npos) << ran.output;
}

// The code once: after the system's words, or already in them for a code it has no text for.
TEST(SystemReason, NamesTheCodeOnce) {
    EXPECT_EQ(ReasonWithCode("Access is denied.", 5), "Access is denied, error 5");
    EXPECT_EQ(ReasonWithCode("System error 1234.", 1234), "System error 1234");
    EXPECT_EQ(ReasonWithCode("Code 11234", 1234), "Code 11234, error 1234");
}

}  // namespace
}  // namespace uptime
