// Asking many machines at once, through recorded event logs that answer after a delay, refuse
// access, hang until cancelled, or ignore the cancel altogether.
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
using ombrix::base::FailureKind;
using ombrix::base::Result;

// What every recorded log shares: the Reads under way, and a release for the deaf ones, given
// at the end of each test so that no thread outlives it by much.
struct Recording {
    std::mutex mutex;
    std::condition_variable changed;
    int reading = 0;
    int mostReading = 0;
    int cancels = 0;
    bool released = false;

    void Release() {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
};

// A machine's log that does as the machine's name says: "slow" and "quick" answer after 25 ms
// and 1 ms, "denied" refuses access, "hung" answers only the cancel, "deaf" ignores even that.
class RecordedLog final : public EventLogReader {
  public:
    RecordedLog(std::shared_ptr<Recording> recording, std::string machine)
        : recording_(std::move(recording)), machine_(std::move(machine)) {}

    Result<LogRecords> Read(const LogQuery& query) override {
        std::unique_lock lock(recording_->mutex);
        recording_->mostReading = std::max(recording_->mostReading, ++recording_->reading);
        Result<LogRecords> result = Answer(lock, query);
        --recording_->reading;
        return result;
    }

    void Cancel() override {
        const std::lock_guard lock(recording_->mutex);
        cancelled_ = true;
        ++recording_->cancels;
        recording_->changed.notify_all();
    }

  private:
    Result<LogRecords> Answer(std::unique_lock<std::mutex>& lock, const LogQuery& query) {
        Recording& r = *recording_;
        if (machine_ == "denied") {
            return Failure{"Access is denied.", FailureKind::AccessDenied};
        }
        if (machine_ == "deaf") {
            r.changed.wait_for(lock, 60s, [&r] { return r.released; });
            return LogRecords{{"too late"}, {}};
        }
        const std::chrono::milliseconds delay = machine_ == "slow"    ? 25ms
                                                : machine_ == "quick" ? 1ms
                                                                      : 24h;
        if (r.changed.wait_for(lock, delay, [this] { return cancelled_; })) {
            return Failure{"The operation was canceled by the user."};
        }
        return LogRecords{{machine_ + " " + query.channel}, {}};
    }

    std::shared_ptr<Recording> recording_;
    std::string machine_;
    bool cancelled_ = false;
};

class RecordedFleet final : public LogSources {
  public:
    ~RecordedFleet() override { recording_->Release(); }

    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& machine) const override {
        return std::make_unique<RecordedLog>(recording_, machine);
    }
    Result<std::unique_ptr<ByteSource>> OpenLogFile(const std::string&) const override {
        return Failure{"no files here"};
    }
    Result<void> ReadEvtxFile(const std::string&, RecordSink&) const override {
        return Failure{"no files here"};
    }
    Recording& recording() const { return *recording_; }

  private:
    std::shared_ptr<Recording> recording_ = std::make_shared<Recording>();
};

TEST(QueryMachines, EachMachineGetsItsAnswerOrItsFailureInTheOrderGiven) {
    const RecordedFleet fleet;
    const std::vector<std::string> order{"hung", "slow", "denied", "deaf", "quick"};
    const QueryLimits limits{2, 500ms, 50ms};
    const auto started = std::chrono::steady_clock::now();
    const std::vector<MachineAnswer> answers = QueryMachines(fleet, order, true, limits);
    // The limit and the wait after the cancel, with room for a loaded machine; far from the
    // minute for which the deaf one would go on.
    EXPECT_LT(std::chrono::steady_clock::now() - started,
              limits.perMachine + limits.afterCancel + 2s);

    ASSERT_EQ(answers.size(), order.size());
    const std::string noAnswer = "The machine did not answer within 0.5 seconds.";
    for (std::size_t i = 0; i < order.size(); ++i) {
        const MachineAnswer& answer = answers[i];
        EXPECT_EQ(answer.machine, order[i]);
        if (answer.machine == "slow" || answer.machine == "quick") {
            ASSERT_TRUE(answer.systemLog) << answer.machine << ": " << answer.systemLog.Reason();
            ASSERT_TRUE(answer.applicationLog) << answer.applicationLog.Reason();
            EXPECT_EQ(answer.systemLog->records, std::vector{answer.machine + " System"});
            EXPECT_EQ(answer.applicationLog->records, std::vector{answer.machine + " Application"});
        } else if (answer.machine == "denied") {
            EXPECT_EQ(answer.systemLog.Kind(), FailureKind::AccessDenied);
            EXPECT_EQ(answer.systemLog.Reason(), "Access is denied.");
        } else {
            EXPECT_EQ(answer.systemLog.Kind(), FailureKind::Unreachable) << answer.machine;
            EXPECT_EQ(answer.systemLog.Reason(), noAnswer) << answer.machine;
            EXPECT_EQ(answer.applicationLog.Reason(), noAnswer) << answer.machine;
        }
    }
    EXPECT_EQ(fleet.recording().cancels, 2);  // the hung and the deaf machine, at their limits
    // Never more machines at a time than allowed, but those side by side.
    EXPECT_EQ(fleet.recording().mostReading, 2);
    // Without application failures asked for, no machine is asked for its Application log.
    EXPECT_FALSE(QueryMachines(fleet, {"quick"}, false, limits).at(0).applicationLog);
}

TEST(QueryMachines, AReadThatNeverReturnsDoesNotKeepTheProcessAlive) {
    const ombrix::test::ScratchDir dir;
    const std::string outputPath = dir.File("out.txt");
    auto output = ombrix::platform::OutputFile::Create(outputPath);
    ASSERT_TRUE(output) << output.Reason();
    auto child = ombrix::platform::CapturedProcess::Start(
        std::move(*output), ombrix::test::HelperProgram("abandoned_query"), "");
    ASSERT_TRUE(child) << child.Reason();
    const bool ended = (*child)->WaitForExit(30s);
    if (!ended) {
        (*child)->Terminate();
    }
    const std::int32_t exitCode = (*child)->Finish();
    ASSERT_TRUE(ended) << "the process was kept alive by the Reads it gave up on";
    EXPECT_EQ(exitCode, 0);
    const std::string noAnswer = ": The machine did not answer within 0.05 seconds.";
    std::string written = ombrix::test::ReadFile(outputPath);
    std::erase(written, '\r');  // CR LF or LF, as the program's system writes its lines
    EXPECT_EQ(written, "SRV01" + noAnswer + "\nSRV02" + noAnswer + "\n");
}

}  // namespace
}  // namespace uptime
