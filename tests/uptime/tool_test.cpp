// What the stand-in tool prints and returns, from its rules and as a real program.
#include <gtest/gtest.h>

#include "platform/system_info.h"
#include "runner/run_and_capture.h"
#include "support/test_support.h"
#include "uptime/tool.h"

namespace uptime {
namespace {

const LocalMachine kMachine{"WORKSTATION7", 93784};  // 1 day, 2 hours, 3 minutes, 4 seconds

TEST(UptimeLine, SplitsTheSeconds) {
    EXPECT_EQ(UptimeLine("HOST", 0),
              "\\\\HOST has been up for: 0 day(s), 0 hour(s), 0 minute(s), 0 second(s)");
    EXPECT_EQ(UptimeLine("HOST", 93784),
              "\\\\HOST has been up for: 1 day(s), 2 hour(s), 3 minute(s), 4 second(s)");
    EXPECT_EQ(UptimeLine("HOST", 86399),
              "\\\\HOST has been up for: 0 day(s), 23 hour(s), 59 minute(s), 59 second(s)");
    EXPECT_EQ(UptimeLine("HOST", 400 * 86400ull + 3600),
              "\\\\HOST has been up for: 400 day(s), 1 hour(s), 0 minute(s), 0 second(s)");
}

TEST(RunTool, LocalMachineInAnyFormGetsItsUptime) {
    const std::string expected = UptimeLine("WORKSTATION7", 93784) + "\r\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"workstation7"},
                                                 {"\\\\WORKSTATION7"},
                                                 {"localhost"},
                                                 {"127.0.0.1"}}) {
        const ToolResult result = RunTool(args, kMachine);
        EXPECT_EQ(result.exitCode, kSuccess);
        EXPECT_EQ(result.output, expected);
    }
}

TEST(RunTool, ReportSwitchesAddOneHonestLineAndNoEvents) {
    for (const char* sw : {"/s", "/a"}) {
        const ToolResult result = RunTool({sw, "/p:5"}, kMachine);
        EXPECT_EQ(result.exitCode, kSuccess);
        EXPECT_EQ(result.output.rfind(UptimeLine("WORKSTATION7", 93784) + "\r\n", 0), 0u);
        const std::string rest = result.output.substr(result.output.find("\r\n") + 2);
        EXPECT_NE(rest.find("not available yet"), std::string::npos);
        EXPECT_EQ(rest.find("\r\n"), rest.size() - 2) << "exactly one more line";
    }
}

TEST(RunTool, RemoteMachinesAreRefusedPlainly) {
    const ToolResult result = RunTool({"\\\\SRV01", "/s"}, kMachine);
    EXPECT_EQ(result.exitCode, kRemoteNotSupported);
    EXPECT_NE(result.output.find("\\\\SRV01"), std::string::npos);
    EXPECT_NE(result.output.find("not supported"), std::string::npos);
    EXPECT_EQ(result.output.find("has been up"), std::string::npos);
}

TEST(RunTool, FaultsGiveTheUsageParagraph) {
    const ToolResult result = RunTool({"/z"}, kMachine);
    EXPECT_EQ(result.exitCode, kUsageError);
    EXPECT_EQ(result.output.rfind("\"/z\"", 0), 0u) << "the fault comes first";
    EXPECT_NE(result.output.find("Usage: uptime"), std::string::npos);
    EXPECT_EQ(result.output.find("\r\n"), result.output.size() - 2) << "one paragraph";

    const ToolResult help = RunTool({"/?"}, kMachine);
    EXPECT_EQ(help.exitCode, kSuccess);
    EXPECT_EQ(help.output.rfind("Usage: uptime", 0), 0u);
}

// The real program, as Ombrix runs it.
TEST(UptimeProgram, PrintsTheLocalUptimeAndTheUsageOnStandardOutput) {
    ombrix::test::ScratchDir dir;
    const std::string output = dir.File("out.TMP");
    bool active = false;
    ombrix::test::RecordingMessages messages;
    const auto ok = ombrix::runner::RunAndCapture(
        {output, ombrix::test::HelperProgram("uptime"), ""}, active, messages);
    ASSERT_EQ(ok.kind, ombrix::runner::RunOutcome::Kind::Finished) << ok.reason;
    EXPECT_EQ(ok.exitCode, 0);
    const std::string text = ombrix::test::ReadFile(output);
    EXPECT_EQ(text.rfind("\\\\" + ombrix::platform::ComputerName() + " has been up for: ", 0), 0u)
        << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    active = false;
    const auto bad = ombrix::runner::RunAndCapture(
        {output, ombrix::test::HelperProgram("uptime"), " /d:2/30/2006"}, active, messages);
    EXPECT_EQ(bad.exitCode, kUsageError);
    EXPECT_NE(ombrix::test::ReadFile(output).find("Usage: uptime"), std::string::npos);
}

}  // namespace
}  // namespace uptime
