// Asking many machines at once, through recorded event logs, one of which hangs until
// cancelled; and in a real process through a Read that ignores even the cancel. How a refusal of
// access comes out is in the fleet run's tests.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/process_files.h"
#include "support/test_support.h"
#include "uptime/fleet/machine_queries.h"
#include "uptime/recorded_system.h"

namespace uptime {
namespace {

using namespace std::chrono_literals;

// A log's first record, or why it could not be read.
std::string Outcome(const ombrix::base::Result<LogRecords>& log) {
    return !log ? log.Reason() : log->records.empty() ? "no records" : log->records[0];
}

TEST(QueryMachines, EachMachineGetsItsAnswerOrItsFailureInTheOrderGiven) {
    test::RecordedSystem system(0, [](UtcSeconds) { return std::int64_t{0}; });
    system.machines.insert_or_assign("SRV01", LogRecords{{"SRV01's"}, {}});
    system.machines.insert_or_assign("SRV02", LogRecords{{"SRV02's"}, {}});
    const QueryLimits limits{2, 500ms, 50ms};
    std::vector<std::string> answers;
    for (const MachineAnswer& answer :
         QueryMachines(system, {"HANGS", "SRV01", "SRV02"}, true, limits)) {
        answers.push_back(answer.machine + ": " + Outcome(answer.systemLog) + ", " +
                          Outcome(answer.applicationLog));
    }
    const std::string noAnswer = "The machine did not answer within 0.5 seconds.";
    EXPECT_EQ(answers, (std::vector<std::string>{"HANGS: " + noAnswer + ", " + noAnswer,
                                                 "SRV01: SRV01's, no records",
                                                 "SRV02: SRV02's, no records"}));
    EXPECT_EQ(system.readers->cancels, 1);  // the hung machine, at its limit
    // Never more machines at a time than allowed, but those side by side.
    EXPECT_EQ(system.readers->mostOpen, 2);
    // Without application failures asked for, no machine is asked for its Application log.
    EXPECT_FALSE(QueryMachines(system, {"SRV01"}, false, limits).at(0).applicationLog);
}

TEST(QueryMachines, AReadThatNeverReturnsDoesNotKeepTheProcessAlive) {
    const ombrix::test::ScratchDir dir;
    const std::string outputPath = dir.File("out.txt");
    auto output = ombrix::platform::OutputFile::Create(outputPath);
    ASSERT_TRUE(output) << output.Reason();
    auto child = ombrix::platform::CapturedProcess::Start(
        std::move(*output), ombrix::test::HelperProgram("abandoned_query"), "");
    ASSERT_TRUE(child) << child.Reason();
    // Should it not end, the child is ended as it is let go.
    ASSERT_TRUE((*child)->WaitForExit(30s)) << "kept alive by the Reads it gave up on";
    EXPECT_EQ((*child)->Finish(), 0);
    const std::string noAnswer = ": The machine did not answer within 0.05 seconds.";
    std::string written = ombrix::test::ReadFile(outputPath);
    std::erase(written, '\r');  // CR LF or LF, as the program's system writes its lines
    EXPECT_EQ(written, "SRV01" + noAnswer + "\nSRV02" + noAnswer + "\n");
}

}  // namespace
}  // namespace uptime
