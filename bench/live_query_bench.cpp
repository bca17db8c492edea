// Measures how many machines' live logs the tool asks at once, through the same seam as the
// live logs, against the ideal measured in the same run: the same waits on bare threads, as
// many at a time.
//   live_query_bench [machines] [parallel] [answer ms] [limit ms]
// Each machine answers after the given time; then one machine never answers (it gives up when
// cancelled), and one ignores the cancel: each should cost its time limit, and the second the
// wait after the cancel too, no more.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "uptime/fleet/machine_queries.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using ombrix::base::Failure;
using ombrix::base::Result;

enum class Behaviour { Answers, NeverAnswers, IgnoresCancel };

class WaitingLog final : public uptime::EventLogReader {
  public:
    WaitingLog(Behaviour behaviour, std::chrono::milliseconds answer)
        : behaviour_(behaviour), answer_(answer) {}
    Result<uptime::LogRecords> Read(const uptime::LogQuery&) override {
        std::unique_lock lock(mutex_);
        if (behaviour_ == Behaviour::IgnoresCancel) {
            lock.unlock();
            std::this_thread::sleep_for(1h);
            return Failure{"never"};
        }
        const auto wait = behaviour_ == Behaviour::Answers ? answer_ : std::chrono::hours(1);
        if (changed_.wait_for(lock, wait, [this] { return cancelled_; })) {
            return Failure{"The operation was canceled by the user."};
        }
        return uptime::LogRecords{{"<Event/>"}, {}};
    }
    void Cancel() override {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }

  private:
    Behaviour behaviour_;
    std::chrono::milliseconds answer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool cancelled_ = false;
};

// Machines named "hung..." never answer, "deaf..." ignore the cancel; the others answer.
class WaitingFleet final : public uptime::LogSources {
  public:
    explicit WaitingFleet(std::chrono::milliseconds answer) : answer_(answer) {}
    std::unique_ptr<uptime::EventLogReader> OpenEventLog(
        const std::string& machine) const override {
        const Behaviour behaviour = machine.starts_with("hung")   ? Behaviour::NeverAnswers
                                    : machine.starts_with("deaf") ? Behaviour::IgnoresCancel
                                                                  : Behaviour::Answers;
        return std::make_unique<WaitingLog>(behaviour, answer_);
    }
    Result<std::unique_ptr<uptime::ByteSource>> OpenLogFile(const std::string&) const override {
        return Failure{"no files"};
    }
    Result<void> ReadEvtxFile(const std::string&, uptime::RecordSink&) const override {
        return Failure{"no files"};
    }

  private:
    std::chrono::milliseconds answer_;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The same waits on bare threads, `parallel` at a time: what no scheduler can beat.
double Ideal(std::size_t machines, std::size_t parallel, std::chrono::milliseconds answer) {
    const auto start = Clock::now();
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < std::min(parallel, machines); ++i) {
        threads.emplace_back([&] {
            while (next++ < machines) {
                std::this_thread::sleep_for(answer);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return Seconds(Clock::now() - start);
}

// Runs the machines through the seam; the seconds it took, after checking every answer.
double Run(const std::vector<std::string>& machines, const uptime::QueryLimits& limits,
           std::chrono::milliseconds answer) {
    const WaitingFleet fleet(answer);
    const auto start = Clock::now();
    const auto answers = uptime::QueryMachines(fleet, machines, false, limits);
    const double seconds = Seconds(Clock::now() - start);
    for (const uptime::MachineAnswer& a : answers) {
        const bool shouldAnswer = !a.machine.starts_with("hung") && !a.machine.starts_with("deaf");
        if (static_cast<bool>(a.systemLog) != shouldAnswer) {
            std::fprintf(stderr, "live_query_bench: %s: unexpected %s\n", a.machine.c_str(),
                         a.systemLog ? "answer" : a.systemLog.Reason().c_str());
            std::exit(1);
        }
    }
    return seconds;
}

std::vector<std::string> Machines(std::size_t count, const std::string& first = "") {
    std::vector<std::string> names;
    if (!first.empty()) {
        names.push_back(first);
    }
    while (names.size() < count) {
        names.push_back("SRV" + std::to_string(names.size()));
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    const auto arg = [&](int i, long fallback) { return argc > i ? std::atol(argv[i]) : fallback; };
    const auto machines = static_cast<std::size_t>(std::max(1L, arg(1, 200)));
    const auto parallel = static_cast<std::size_t>(std::max(1L, arg(2, 16)));
    const std::chrono::milliseconds answer(std::max(0L, arg(3, 1000)));
    const std::chrono::milliseconds limit(std::max(1L, arg(4, 3000)));
    const uptime::QueryLimits limits{parallel, limit, 1000ms};

    std::printf("Asking live logs through the seam (%u cores)\n\n",
                std::thread::hardware_concurrency());
    const double ideal = Ideal(machines, parallel, answer);
    const double fleet = Run(Machines(machines), limits, answer);
    const double bound = 1.2 * static_cast<double>(machines) / static_cast<double>(parallel) *
                         std::chrono::duration<double>(answer).count();
    std::printf("%zu machines answering in %.1f s, %zu at a time: %.2f s\n", machines,
                std::chrono::duration<double>(answer).count(), parallel, fleet);
    std::printf("  ideal, the same waits on bare threads in this run: %.2f s; ratio %.3f\n", ideal,
                fleet / ideal);
    std::printf("  bound 1.2 x (%zu / %zu) x %.1f s = %.2f s: %s\n", machines, parallel,
                std::chrono::duration<double>(answer).count(), bound,
                fleet <= bound ? "within" : "EXCEEDED");

    // One slot's worth: the machines that answer are done long before the limit.
    const double limitSeconds = std::chrono::duration<double>(limit).count();
    const double hung = Run(Machines(parallel, "hung"), limits, answer);
    std::printf("A machine that never answers, limit %.1f s: %.2f s (%.3f x its limit)\n",
                limitSeconds, hung, hung / limitSeconds);
    const double deaf = Run(Machines(parallel, "deaf"), limits, answer);
    const double afterCancel = std::chrono::duration<double>(limits.afterCancel).count();
    std::printf(
        "A machine that ignores the cancel, limit %.1f s + %.1f s after it: %.2f s "
        "(%.3f x)\n",
        limitSeconds, afterCancel, deaf, deaf / (limitSeconds + afterCancel));
    // The thread of the machine that ignored its cancel is still asleep: it ends with us.
    return fleet <= bound ? 0 : 1;
}
