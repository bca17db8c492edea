#include "uptime/fleet/machine_queries.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace uptime {
namespace {

using Clock = std::chrono::steady_clock;
using ombrix::base::Failure;
using ombrix::base::FailureKind;
using ombrix::base::Result;

// Tells the run that a machine has answered. Shared with the threads, which may outlive it.
struct RunSignal {
    std::mutex mutex;
    std::condition_variable answered;
};

// One machine being asked: its reader, and the answer once it is there.
struct MachineJob {
    std::shared_ptr<RunSignal> signal;
    std::unique_ptr<EventLogReader> reader;
    MachineAnswer answer;  // written by the asking thread before `done`
    std::atomic<bool> done = false;
};

Result<LogRecords> ReadLog(EventLogReader& reader, const LogQuery& query) {
    try {
        return reader.Read(query);
    } catch (const std::bad_alloc&) {
        return Failure{"There was not enough memory to read its log.", FailureKind::OutOfMemory};
    } catch (const std::exception& error) {
        return Failure{error.what()};
    }
}

void Ask(std::shared_ptr<MachineJob> job, bool applicationLog) {
    MachineAnswer answer;
    answer.machine = job->answer.machine;
    answer.systemLog = ReadLog(*job->reader, SystemLogQuery());
    if (applicationLog && answer.systemLog) {
        answer.applicationLog = ReadLog(*job->reader, ApplicationLogQuery());
    }
    {
        const std::lock_guard lock(job->signal->mutex);
        job->answer = std::move(answer);
        job->done = true;
    }
    job->signal->answered.notify_all();
}

std::string SecondsText(std::chrono::milliseconds limit) {
    const auto count = limit.count();
    if (count % 1000 == 0) {
        return std::to_string(count / 1000) + (count == 1000 ? " second" : " seconds");
    }
    std::string fraction = std::to_string(count % 1000 + 1000).substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return std::to_string(count / 1000) + "." + fraction + " seconds";
}

Failure NoAnswer(std::chrono::milliseconds limit) {
    return {"The machine did not answer within " + SecondsText(limit) + ".",
            FailureKind::Unreachable};
}

// A machine being asked, on its thread. Should the run end early (an exception), the thread
// is cancelled and let go rather than left joinable.
struct Asking {
    std::size_t index = 0;
    std::shared_ptr<MachineJob> job;
    std::thread thread;
    Clock::time_point deadline;
    std::optional<Clock::time_point> giveUp;  // set when it was cancelled

    Asking() = default;
    Asking(Asking&&) = default;
    Asking& operator=(Asking&&) = default;
    ~Asking() {
        if (thread.joinable()) {
            job->reader->Cancel();
            thread.detach();
        }
    }
};

class Scheduler {
  public:
    Scheduler(const LogSources& sources, const std::vector<std::string>& machines,
              bool applicationLog, const QueryLimits& limits)
        : sources_(sources),
          applicationLog_(applicationLog),
          parallel_(std::max<std::size_t>(limits.parallel, 1)),
          limit_(std::max(limits.perMachine, std::chrono::milliseconds(1))),
          afterCancel_(std::max(limits.afterCancel, std::chrono::milliseconds(0))),
          answers_(machines.size()) {
        for (std::size_t i = 0; i < machines.size(); ++i) {
            answers_[i].machine = machines[i];
        }
    }

    std::vector<MachineAnswer> Run() {
        std::size_t next = 0;
        while (next < answers_.size() || !asking_.empty()) {
            while (asking_.size() < parallel_ && next < answers_.size()) {
                Start(next++);
            }
            Wait();
            Collect();
        }
        return std::move(answers_);
    }

  private:
    void Start(std::size_t index) {
        auto job = std::make_shared<MachineJob>();
        job->signal = signal_;
        job->answer.machine = answers_[index].machine;
        try {
            job->reader = sources_.OpenEventLog(answers_[index].machine);
            if (!job->reader) {
                answers_[index].systemLog = Failure{"Its event log could not be opened."};
                return;
            }
            Asking asking;
            asking.index = index;
            asking.deadline = Clock::now() + limit_;
            asking.job = job;
            asking.thread = std::thread(Ask, job, applicationLog_);
            asking_.push_back(std::move(asking));
        } catch (const std::system_error& error) {
            answers_[index].systemLog =
                Failure{std::string("No thread could be started to ask it: ") + error.what()};
        } catch (const std::bad_alloc&) {
            answers_[index].systemLog =
                Failure{"There was not enough memory to ask it.", FailureKind::OutOfMemory};
        }
    }

    // Until a machine answers, or the next limit or give-up time comes.
    void Wait() {
        if (asking_.empty()) {
            return;
        }
        Clock::time_point wake = Clock::time_point::max();
        for (const Asking& asking : asking_) {
            wake = std::min(wake, asking.giveUp.value_or(asking.deadline));
        }
        std::unique_lock lock(signal_->mutex);
        signal_->answered.wait_until(lock, wake, [this] {
            return std::any_of(asking_.begin(), asking_.end(),
                               [](const Asking& asking) { return asking.job->done.load(); });
        });
    }

    void Collect() {
        const Clock::time_point now = Clock::now();
        for (auto it = asking_.begin(); it != asking_.end();) {
            Asking& asking = *it;
            MachineAnswer& answer = answers_[asking.index];
            if (asking.job->done) {
                asking.thread.join();
                answer = std::move(asking.job->answer);
                if (asking.giveUp) {
                    // A failure after the cancel is the cancel's doing: the limit is the reason.
                    if (!answer.systemLog) {
                        answer.systemLog = NoAnswer(limit_);
                    }
                    if (applicationLog_ && !answer.applicationLog) {
                        answer.applicationLog = NoAnswer(limit_);
                    }
                }
                it = asking_.erase(it);
                continue;
            }
            if (!asking.giveUp && now >= asking.deadline) {
                asking.job->reader->Cancel();
                asking.giveUp = now + afterCancel_;
            } else if (asking.giveUp && now >= *asking.giveUp) {
                asking.thread.detach();  // it owns its job, reader included, from here on
                answer.systemLog = NoAnswer(limit_);
                if (applicationLog_) {
                    answer.applicationLog = NoAnswer(limit_);
                }
                it = asking_.erase(it);
                continue;
            }
            ++it;
        }
    }

    const LogSources& sources_;
    const bool applicationLog_;
    const std::size_t parallel_;
    const std::chrono::milliseconds limit_;
    const std::chrono::milliseconds afterCancel_;
    std::shared_ptr<RunSignal> signal_ = std::make_shared<RunSignal>();
    std::vector<MachineAnswer> answers_;
    std::vector<Asking> asking_;
};

}  // namespace

std::vector<MachineAnswer> QueryMachines(const LogSources& sources,
                                         const std::vector<std::string>& machines,
                                         bool applicationLog, const QueryLimits& limits) {
    return Scheduler(sources, machines, applicationLog, limits).Run();
}

}  // namespace uptime
