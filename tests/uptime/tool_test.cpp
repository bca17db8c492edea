// The real uptime program, run as Ombrix runs it.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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

}  // namespace
}  // namespace uptime
