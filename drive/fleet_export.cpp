#include "drive/fleet_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <queue>
#include <utility>

#include "uptime/common/utc_time.h"

namespace ombrix::drive {
namespace {

constexpr std::string_view kTimeKey = "SystemTime='";

std::string TwoDigits(int value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// "2018-07-06T18:37:44", the part of a SystemTime that whole seconds make.
std::string TimeText(uptime::UtcSeconds time) {
    const uptime::CivilTime t = uptime::ToCivil(time);
    return std::to_string(t.date.year) + "-" + TwoDigits(t.date.month) + "-" +
           TwoDigits(t.date.day) + "T" + TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" +
           TwoDigits(t.second);
}

uptime::UtcSeconds TimeOf(std::string_view record) {
    const auto at = record.find(kTimeKey);
    if (at == std::string_view::npos) {
        return 0;
    }
    const std::string text(record.substr(at + kTimeKey.size(), 19));
    return uptime::ParseSystemTime(text + "Z").value_or(0);
}

// Replaces the text between `open` and the next "<" with `value`.
void ReplaceText(std::string& record, std::string_view open, std::string_view value) {
    const auto at = record.find(open);
    if (at == std::string::npos) {
        return;
    }
    const auto start = at + open.size();
    const auto end = record.find('<', start);
    record.replace(start, end - start, value);
}

class CFile final : public uptime::ByteSource {
  public:
    explicit CFile(std::FILE* file) : file_(file) {}
    base::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        const std::size_t got = std::fread(buffer, 1, size, file_.get());
        if (got == 0 && std::ferror(file_.get())) {
            return base::Failure{"The file could not be read."};
        }
        return got;
    }

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

class NoEventLog final : public uptime::EventLogReader {
  public:
    base::Result<uptime::LogRecords> Read(const uptime::LogQuery&) override {
        return base::Failure{"No event log is read here."};
    }
    void Cancel() override {}
};

}  // namespace

std::vector<std::string> ExportRecords(const std::string& text) {
    std::vector<std::string> records;
    for (std::size_t pos = 0; pos < text.size();) {
        auto next = text.find("\r\n<Event ", pos);
        next = next == std::string::npos ? text.size() : next + 2;
        records.push_back(text.substr(pos, next - pos));
        pos = next;
    }
    return records;
}

std::string MovedRecord(std::string_view record, std::string_view computer, std::int64_t shift,
                        std::int64_t numberShift) {
    std::string moved(record);
    ReplaceText(moved, "<Computer>", computer);
    if (const auto at = moved.find(kTimeKey); at != std::string::npos && shift != 0) {
        moved.replace(at + kTimeKey.size(), 19, TimeText(TimeOf(record) + shift));
    }
    if (numberShift != 0) {
        const auto at = moved.find("<EventRecordID>");
        if (at != std::string::npos) {
            const auto start = at + 15;
            const auto end = moved.find('<', start);
            const std::int64_t number = std::stoll(moved.substr(start, end - start));
            moved.replace(start, end - start, std::to_string(number + numberShift));
        }
    }
    return moved;
}

std::vector<FleetMachine> SpreadFleet(std::size_t sampleRecords, std::size_t count,
                                      std::size_t recordsEach) {
    std::vector<FleetMachine> machines;
    machines.reserve(count);
    const std::size_t places = sampleRecords > recordsEach ? sampleRecords - recordsEach : 1;
    for (std::size_t i = 0; i < count; ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 5 ? 5 - number.size() : 0, '0');
        // Runs of different lengths from places spread over the sample; 7 minutes apart.
        const std::size_t length = std::min(sampleRecords, recordsEach - recordsEach / 8 + i % 32);
        machines.push_back(
            {"FLEET" + number, (i * 7919) % places, length, static_cast<std::int64_t>(i) * 420});
    }
    return machines;
}

void WriteFleetExport(const std::vector<std::string>& sample,
                      const std::vector<FleetMachine>& machines,
                      const std::function<void(std::string_view)>& write) {
    std::vector<uptime::UtcSeconds> times;
    times.reserve(sample.size());
    for (const std::string& record : sample) {
        times.push_back(TimeOf(record));
    }
    // The next record of each machine, the oldest on top.
    struct Next {
        uptime::UtcSeconds time;
        std::size_t machine;
        std::size_t index;
        bool operator>(const Next& other) const {
            return time != other.time         ? time > other.time
                   : machine != other.machine ? machine > other.machine
                                              : index > other.index;
        }
    };
    std::priority_queue<Next, std::vector<Next>, std::greater<>> next;
    for (std::size_t m = 0; m < machines.size(); ++m) {
        const FleetMachine& machine = machines[m];
        if (machine.count > 0 && machine.first < sample.size()) {
            next.push({times[machine.first] + machine.shift, m, machine.first});
        }
    }
    while (!next.empty()) {
        const Next at = next.top();
        next.pop();
        const FleetMachine& machine = machines[at.machine];
        write(MovedRecord(sample[at.index], machine.name, machine.shift));
        const std::size_t following = at.index + 1;
        if (following < sample.size() && following < machine.first + machine.count) {
            next.push({times[following] + machine.shift, at.machine, following});
        }
    }
}

std::string FleetExport(const std::vector<std::string>& sample,
                        const std::vector<FleetMachine>& machines) {
    std::string text;
    WriteFleetExport(sample, machines, [&](std::string_view record) { text += record; });
    return text;
}

std::vector<std::string> RenamedMachine(const std::vector<std::string>& sample,
                                        std::size_t firstRenamed, const std::string& setupName,
                                        const std::string& newName) {
    std::vector<std::string> records;
    bool told = false;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const bool renamed = i >= firstRenamed;
        records.push_back(MovedRecord(sample[i], renamed ? newName : setupName, 0, told ? 1 : 0));
        if (renamed && !told && sample[i].find(">6005</EventID>") != std::string::npos) {
            // The boot's own record, turned into the name change the event log service logs.
            std::string change = MovedRecord(sample[i], newName, 0, 1);
            ReplaceText(change, "'32768'>", "6011");
            const auto data = change.find("<EventData>");
            const auto dataEnd = change.find("</EventData>");
            change.replace(data, dataEnd - data,
                           "<EventData><Data>" + setupName + "</Data><Data>" + newName +
                               "</Data><Binary></Binary>");
            records.push_back(std::move(change));
            told = true;
        }
    }
    return records;
}

std::unique_ptr<uptime::EventLogReader> PlainFileSources::OpenEventLog(const std::string&) const {
    return std::make_unique<NoEventLog>();
}

base::Result<std::unique_ptr<uptime::ByteSource>> PlainFileSources::OpenLogFile(
    const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        const int error = errno;
        return base::Failure{
            std::strerror(error) + std::string("."),
            error == ENOENT ? base::FailureKind::NotFound : base::FailureKind::Failed};
    }
    return std::unique_ptr<uptime::ByteSource>(std::make_unique<CFile>(file));
}

base::Result<void> PlainFileSources::ReadEvtxFile(const std::string&, uptime::RecordSink&) const {
    return base::Failure{"An .evtx file is read only through the Windows event log."};
}

}  // namespace ombrix::drive
