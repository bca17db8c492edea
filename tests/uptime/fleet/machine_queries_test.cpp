// Asking many machines at once, through recorded event logs that answer after a delay or hang
// until cancelled, and in a real process through a Read that ignores even the cancel. How a
// refusal of access comes out is in the fleet run's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/process_files.h"
#include "support/test_support.h"
#include "uptime/fleet/machine_queries.h"

namespace uptime {
namespace {

using namespace std::chrono_literals;
using ombrix::base::Failure;
using ombrix::base::Result;

// What every recorded log shares: the Reads under way, the most at once, and the cancels.
struct Recording {
    std::mutex mutex;
    std::condition_variable cancelled;
    int reading = 0;
    int mostReading = 0;
    int cancels = 0;
};

// A machine's log that answers after 25 ms with one record, "machine channel"; the machine
// "hung" answers only the cancel.
class RecordedLog final : public EventLogReader {
  public:
    RecordedLog(std::shared_ptr<Recording> recording, std::string machine)
        : recording_(std::move(recording)), machine_(std::move(machine)) {}

    Result<LogRecords> Read(const LogQuery& query) override {
        Recording& r = *recording_;
        std::unique_lock lock(r.mutex);
        r.mostReading = std::max(r.mostReading, ++r.reading);
        const std::chrono::milliseconds delay = machine_ == "hung" ? 24h : 25ms;
        const bool cancelled = r.cancelled.wait_for(lock, delay, [this] { return cancelled_; });
        --r.reading;
        if (cancelled) {
            return Failure{"The operation was canceled by the user."};
        }
        return LogRecords{{machine_ + " " + query.channel}, {}};
    }

    void Cancel() override {
        const std::lock_guard lock(recording_->mutex);
        cancelled_ = true;
        ++recording_->cancels;
        recording_->cancelled.notify_all();
    }

  private:
    std::shared_ptr<Recording> recording_;
    std::string machine_;
    bool cancelled_ = false;
};

class RecordedFleet final : public LogSources {
  public:
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& machine) const override {
        return std::make_unique<RecordedLog>(recording, machine);
    }
    Result<std::unique_ptr<ByteSource>> OpenLogFile(const std::string&) const override {
        return Failure{"no files here"};
    }
    Result<void> ReadEvtxFile(const std::string&, RecordSink&) const override {
        return Failure{"no files here"};
    }

    const std::shared_ptr<Recording> recording = std::make_shared<Recording>();
};

// A log's one record, or why it could not be read.
std::string Outcome(const Result<LogRecords>& log) {
    return log ? log->records.at(0) : log.Reason();
}

TEST(QueryMachines, EachMachineGetsItsAnswerOrItsFailureInTheOrderGiven) {
    const RecordedFleet fleet;
    const QueryLimits limits{2, 500ms, 50ms};
    std::vector<std::string> answers;
    for (const MachineAnswer& answer :
         QueryMachines(fleet, {"hung", "SRV01", "SRV02"}, true, limits)) {
        answers.push_back(answer.machine + ": " + Outcome(answer.systemLog) + ", " +
                          Outcome(answer.applicationLog));
    }
    const std::string noAnswer = "The machine did not answer within 0.5 seconds.";
    EXPECT_EQ(answers, (std::vector<std::string>{"hung: " + noAnswer + ", " + noAnswer,
                                                 "SRV01: SRV01 System, SRV01 Application",
                                                 "SRV02: SRV02 System, SRV02 Application"}));
    EXPECT_EQ(fleet.recording->cancels, 1);  // the hung machine, at its limit
    // Never more machines at a time than allowed, but those side by side.
    EXPECT_EQ(fleet.recording->mostReading, 2);
    // Without application failures asked for, no machine is asked for its Application log.
    EXPECT_FALSE(QueryMachines(fleet, {"SRV01"}, false, limits).at(0).applicationLog);
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
