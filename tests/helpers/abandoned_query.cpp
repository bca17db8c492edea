// Asks one machine whose Read never returns, not even when cancelled, prints what the run
// gave it, and returns from main: the thread left in that Read must not keep the process alive.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "uptime/fleet/machine_queries.h"

namespace {

using ombrix::base::Failure;
using ombrix::base::Result;

struct NeverReturns final : uptime::EventLogReader {
    Result<uptime::LogRecords> Read(const uptime::LogQuery&) override {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::hours(1));
        }
    }
    void Cancel() override {}
};

struct Sources final : uptime::LogSources {
    std::unique_ptr<uptime::EventLogReader> OpenEventLog(const std::string&) const override {
        return std::make_unique<NeverReturns>();
    }
    Result<std::unique_ptr<uptime::ByteSource>> OpenLogFile(const std::string&) const override {
        return Failure{"no files"};
    }
    Result<void> ReadEvtxFile(const std::string&, uptime::RecordSink&) const override {
        return Failure{"no files"};
    }
};

}  // namespace

int main() {
    using namespace std::chrono_literals;
    const Sources sources;
    const auto answers = uptime::QueryMachines(sources, {"SRV01", "SRV02"}, true, {2, 50ms, 50ms});
    for (const uptime::MachineAnswer& answer : answers) {
        std::printf("%s: %s\n", answer.machine.c_str(), answer.systemLog.Reason().c_str());
    }
    return 0;
}
