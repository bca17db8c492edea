// What the tool prints and returns, from its rules and as a real program.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/system_info.h"
#include "runner/run_and_capture.h"
#include "support/test_support.h"
#include "uptime/recorded_events.h"
#include "uptime/tool.h"

namespace uptime {
namespace {

using test::RecordedLog;
using test::RecordedSystem;
using test::Utc;

const LocalMachine kMachine{"WORKSTATION7", 93784, "Windows 7 Professional", "GMT Standard Time"};
const std::string kLocalLine =
    "\\\\WORKSTATION7 has been up for: 1 day(s), 2 hour(s), 3 minute(s), 4 second(s)\r\n";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", from)) {
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    EXPECT_EQ(from, text.size()) << "every line ends in CR LF";
    return lines;
}

TEST(RunTool, LocalMachineInAnyFormGetsItsUptime) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"workstation7"},
                                                 {"\\\\WORKSTATION7"},
                                                 {"localhost"},
                                                 {"127.0.0.1"},
                                                 {"/d:1/1/2013"}}) {
        const RecordedSystem system(Utc("2013-03-01T06:00:00Z"));
        const ToolResult result = RunTool(args, kMachine, system);
        EXPECT_EQ(result.exitCode, kSuccess);
        EXPECT_EQ(result.output, kLocalLine);
        EXPECT_TRUE(system.opened.empty()) << "the plain line needs no event log";
    }
}

TEST(RunTool, AnUnreadableLocalLogStillGivesTheUptimeUnlessAccessIsDenied) {
    // What Wine's event log does: the query fails without a reason.
    for (const char* reportSwitch : {"/s", "/a"}) {
        RecordedSystem system(Utc("2013-03-01T06:00:00Z"));
        system.logs["System"] = {LogStatus::Failed, {}, {}, "the system gave no reason"};
        const ToolResult result = RunTool({reportSwitch, "/p:5"}, kMachine, system);
        EXPECT_EQ(result.exitCode, kSuccess);
        EXPECT_EQ(result.output, kLocalLine +
                                     "No events are available: the System log could not be "
                                     "read (the system gave no reason).\r\n");
        EXPECT_EQ(system.opened, std::vector<std::string>{""}) << "this computer's log";
    }
    RecordedSystem system(Utc("2013-03-01T06:00:00Z"));
    system.logs["System"] = {LogStatus::AccessDenied, {}, {}, "Access is denied, error 5"};
    const ToolResult result = RunTool({"/s"}, kMachine, system);
    EXPECT_EQ(result.exitCode, kAccessDenied);
    const auto lines = Lines(result.output);
    ASSERT_EQ(lines.size(), 2u) << result.output;
    EXPECT_EQ(lines[0] + "\r\n", kLocalLine);
    EXPECT_NE(lines[1].find("denied (Access is denied, error 5)"), std::string::npos);
}

TEST(RunTool, ARemoteMachineThatCannotBeReadIsAnError) {
    struct Case {
        LogStatus status;
        int exitCode;
        const char* says;
    };
    for (const Case& c : {
             Case{LogStatus::Unreachable, kMachineUnreachable, "\\\\FARAWAY cannot be reached"},
             Case{LogStatus::AccessDenied, kAccessDenied, "Access to the event log of \\\\FARAWAY"},
             Case{LogStatus::Failed, kEventLogUnreadable,
                  "The System log of \\\\FARAWAY could not"},
         }) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"\\\\FARAWAY"}, {"FARAWAY", "/a"}}) {
            RecordedSystem system(Utc("2013-03-01T06:00:00Z"));
            system.logs["System"] = {c.status, {}, {}, "The RPC server is unavailable"};
            const ToolResult result = RunTool(args, kMachine, system);
            EXPECT_EQ(result.exitCode, c.exitCode) << c.says;
            EXPECT_EQ(result.output.rfind(c.says, 0), 0u) << result.output;
            EXPECT_NE(result.output.find("(The RPC server is unavailable)"), std::string::npos);
            EXPECT_EQ(Lines(result.output).size(), 1u) << "no uptime line";
            EXPECT_EQ(system.opened, std::vector<std::string>{"FARAWAY"});
        }
    }
}

TEST(RunTool, ARemoteMachinesUptimeComesFromItsLastBoot) {
    RecordedSystem system(Utc("2013-03-01T20:05:40Z"));
    system.logs["System"].records = RecordedLog()
                                        .Boot("2013-02-01T08:00:00Z")
                                        .Shutdown("2013-02-27T18:00:00Z")
                                        .Boot("2013-02-27T18:02:30Z")
                                        .records();
    // 27/02 18:02:30 to 01/03 20:05:40 (2013 is no leap year).
    EXPECT_EQ(RunTool({"\\\\FARAWAY"}, kMachine, system).output,
              "\\\\FARAWAY has been up for: 2 day(s), 2 hour(s), 3 minute(s), 10 second(s)\r\n"
              "(counted from the boot logged in its System log)\r\n");

    // Shut down last: no boot tells how long it has been up.
    system.logs["System"].records.pop_back();
    const ToolResult unknown = RunTool({"FARAWAY"}, kMachine, system);
    EXPECT_EQ(unknown.exitCode, kSuccess);
    EXPECT_EQ(unknown.output,
              "\\\\FARAWAY: no boot since its last shutdown is logged in its System log, so how "
              "long it has been up is not known.\r\n");
}

TEST(RunTool, ARemoteReportNamesTheMachineItsSystemAndWhoseClock) {
    RecordedSystem system(Utc("2013-03-01T20:05:40Z"));
    system.logs["System"].records =
        RecordedLog().Boot("2013-02-27T18:02:30Z").OsVersion("2013-02-27T18:02:30Z").records();
    const ToolResult result = RunTool({"FARAWAY", "/s"}, kMachine, system);
    EXPECT_EQ(result.output.rfind(
                  "Uptime Report for: \\\\FARAWAY\r\n\r\n"
                  "Current OS: Windows 6.01 build 7601 Service Pack 1 Multiprocessor Free.\r\n"
                  "Time Zone: GMT Standard Time (this computer's: the times below are shown in "
                  "it)\r\n",
                  0),
              0u)
        << result.output;
    EXPECT_NE(result.output.find("\r\nCurrent System Uptime: 2 day(s), 2 hour(s), 3 minute(s), "
                                 "10 second(s)\r\n"),
              std::string::npos)
        << result.output;
}

TEST(RunTool, FaultsGiveTheUsageParagraph) {
    const RecordedSystem system(Utc("2013-03-01T06:00:00Z"));
    const ToolResult result = RunTool({"/z"}, kMachine, system);
    EXPECT_EQ(result.exitCode, kUsageError);
    EXPECT_EQ(result.output.rfind("\"/z\"", 0), 0u) << "the fault comes first";
    EXPECT_NE(result.output.find("Usage: uptime"), std::string::npos);
    EXPECT_EQ(Lines(result.output).size(), 1u) << "one paragraph";

    const ToolResult help = RunTool({"/?", "FARAWAY"}, kMachine, system);
    EXPECT_EQ(help.exitCode, kSuccess);
    EXPECT_EQ(help.output.rfind("Usage: uptime", 0), 0u);
    EXPECT_TRUE(system.opened.empty());
}

// The real program, as Ombrix runs it.
std::pair<int, std::string> RunProgram(const std::string& tail) {
    ombrix::test::ScratchDir dir;
    const std::string output = dir.File("out.TMP");
    bool active = false;
    ombrix::test::RecordingMessages messages;
    const auto outcome = ombrix::runner::RunAndCapture(
        {output, ombrix::test::HelperProgram("uptime"), tail}, active, messages);
    EXPECT_EQ(outcome.kind, ombrix::runner::RunOutcome::Kind::Finished) << outcome.reason;
    return {outcome.exitCode, ombrix::test::ReadFile(output)};
}

const std::string kLocalPrefix = "\\\\" + ombrix::platform::ComputerName() + " has been up for: ";

TEST(UptimeProgram, PrintsTheLocalUptimeAndTheUsageOnStandardOutput) {
    const auto [code, output] = RunProgram("");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output.rfind(kLocalPrefix, 0), 0u) << output;
    EXPECT_EQ(Lines(output).size(), 1u) << output;

    const auto [badCode, usage] = RunProgram(" /d:2/30/2006");
    EXPECT_EQ(badCode, kUsageError);
    EXPECT_NE(usage.find("Usage: uptime"), std::string::npos);

    const auto [remoteCode, remote] = RunProgram(" \\\\FARAWAY-HOST /s");
    EXPECT_NE(remoteCode, 0) << remote;
    EXPECT_NE(remote.find("\\\\FARAWAY-HOST"), std::string::npos) << remote;
    EXPECT_EQ(Lines(remote).size(), 1u) << "no uptime line: " << remote;
}

TEST(UptimeProgram, WithoutEventsTheReportStillGivesTheUptime) {
    // Windows itself gives a report; Wine's event log, like none at all, gives no events.
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const bool readable =
        ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr;
#else
    const bool readable = false;
#endif
    for (const char* tail : {" /s", " /a /p:7", " /s /d:1/1/2013"}) {
        const auto [code, output] = RunProgram(tail);
        EXPECT_EQ(code, 0) << tail << ": " << output;
        const auto lines = Lines(output);
        ASSERT_FALSE(lines.empty()) << tail;
        if (readable) {
            EXPECT_EQ(lines[0], "Uptime Report for: \\\\" + ombrix::platform::ComputerName());
            continue;
        }
        ASSERT_EQ(lines.size(), 2u) << output;
        EXPECT_EQ(lines[0].rfind(kLocalPrefix, 0), 0u) << output;
        EXPECT_EQ(lines[1].rfind("No events are available: ", 0), 0u) << output;
    }
}

}  // namespace
}  // namespace uptime
