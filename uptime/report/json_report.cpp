#include "uptime/report/json_report.h"

#include <algorithm>
#include <optional>

#include "uptime/report/json_text.h"

namespace uptime {
namespace {

const char* ShutdownKindName(LastShutdownKind kind) {
    switch (kind) {
        case LastShutdownKind::Restart:
            return "restart";
        case LastShutdownKind::Shutdown:
            return "shutdown";
        default:
            return "unexpected";
    }
}

const char* EventName(EventKind kind) {
    switch (kind) {
        case EventKind::Boot:
            return "boot";
        case EventKind::Shutdown:
            return "shutdown";
        case EventKind::UnexpectedShutdown:
            return "unexpectedShutdown";
        case EventKind::UndatedUnexpectedShutdown:
            return "undatedUnexpectedShutdown";
        case EventKind::RestartRequest:
            return "restartRequest";
        case EventKind::ShutdownRequest:
            return "shutdownRequest";
        case EventKind::PowerLoss:
            return "powerLoss";
        case EventKind::Bluescreen:
            return "bluescreen";
        case EventKind::SystemLogCleared:
            return "systemLogCleared";
        case EventKind::ApplicationLogCleared:
            return "applicationLogCleared";
        case EventKind::ApplicationFailure:
            return "applicationFailure";
        default:
            return "applicationHang";
    }
}

// The kind of a machine's failure, as the exit code a run for it alone ends with tells it
// (1 usage, 2 not reached, 3 access denied; any other its log not readable).
const char* FailureKindName(int exitCode) {
    switch (exitCode) {
        case 1:
            return "badRequest";
        case 2:
            return "unreachable";
        case 3:
            return "accessDenied";
        default:
            return "failed";
    }
}

void Time(JsonText& json, const char* key, UtcSeconds instant) {
    json.Key(key);
    json.String(IsoUtcTime(instant));
}

template <typename Number>
void Seconds(JsonText& json, const char* key, const std::optional<Number>& value) {
    json.Key(key);
    if (value) {
        json.Integer(static_cast<std::int64_t>(*value));
    } else {
        json.Null();
    }
}

void Count(JsonText& json, const char* key, std::int64_t value) {
    json.Key(key);
    json.Integer(value);
}

// The whole run's period: from the earliest machine's start to the latest one's end.
void Period(JsonText& json, const RunModel& model) {
    const std::optional<RunPeriod> period = PeriodOf(model);
    json.Key("period");
    if (!period) {
        json.Null();
        return;
    }
    json.BeginObject();
    Time(json, "from", period->from);
    Time(json, "to", period->to);
    json.EndObject();
}

void LastShutdownOf(JsonText& json, const LastShutdown& last) {
    json.Key("lastShutdown");
    if (last.kind == LastShutdownKind::None) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("kind");
    json.String(ShutdownKindName(last.kind));
    Time(json, "time", last.time);
    if (!last.detail.empty()) {
        json.Key("detail");
        json.String(last.detail);
    }
    json.EndObject();
}

void Figures(JsonText& json, const MachineFigures& figures) {
    Time(json, "periodStart", figures.periodStart);
    Time(json, "asOf", figures.asOf);
    json.Key("lastBoot");
    if (figures.lastBoot) {
        json.String(IsoUtcTime(*figures.lastBoot));
    } else {
        json.Null();
    }
    Seconds(json, "upSeconds", figures.upFor);
    json.Key("availability");
    if (figures.availability) {
        json.Number(*figures.availability);
    } else {
        json.Null();
    }
    Count(json, "uptimeSeconds", figures.uptime);
    Count(json, "downtimeSeconds", figures.downtime);
    Count(json, "unaccountedSeconds", figures.unaccounted);
    Count(json, "reboots", figures.reboots);
    Count(json, "unexpectedShutdowns", figures.unexpectedShutdowns);
    Count(json, "powerLosses", figures.powerLosses);
    Count(json, "bluescreens", figures.bluescreens);
    LastShutdownOf(json, figures.lastShutdown);
}

bool IsPriorUptime(Prior prior) {
    return prior == Prior::Uptime || prior == Prior::UptimeSinceLogBegins ||
           prior == Prior::UptimeSincePeriodStart || prior == Prior::UptimeNotKnown;
}

// The time before an event: a stretch up or down, null where the log does not tell its length.
void PriorOf(JsonText& json, const HistoryRow& row) {
    if (row.prior == Prior::None) {
        return;
    }
    const bool known = row.prior != Prior::DowntimeNotKnown && row.prior != Prior::UptimeNotKnown;
    Seconds(json, IsPriorUptime(row.prior) ? "priorUptimeSeconds" : "priorDowntimeSeconds",
            known ? std::optional<std::int64_t>(row.priorSeconds) : std::nullopt);
}

void Events(JsonText& json, const std::vector<HistoryRow>& rows) {
    json.Key("events");
    json.BeginArray();
    for (const HistoryRow& row : rows) {
        json.BeginObject();
        Time(json, "time", row.event.time);
        json.Key("event");
        json.String(EventName(row.event.kind));
        if (!row.event.detail.empty()) {
            json.Key("detail");
            json.String(row.event.detail);
        }
        PriorOf(json, row);
        json.EndObject();
    }
    json.EndArray();
}

void Failure(JsonText& json, const MachineRun& run) {
    json.Key("failure");
    json.BeginObject();
    json.Key("reason");
    json.String(run.failure);
    json.Key("kind");
    json.String(FailureKindName(run.exitCode));
    json.EndObject();
}

void Machine(JsonText& json, const MachineRun& run, bool events) {
    json.BeginObject();
    json.Key("name");
    json.String(run.name);
    if (!run.earlierNames.empty()) {
        json.Key("earlierNames");
        json.BeginArray();
        for (const std::string& name : run.earlierNames) {
            json.String(name);
        }
        json.EndArray();
    }
    if (!run.guess.empty()) {
        json.Key("guess");
        json.String(run.guess);
    }
    if (run.figures) {
        Figures(json, *run.figures);
        Count(json, "unreadableRecords", static_cast<std::int64_t>(run.unreadableRecords));
    } else if (run.upFor) {
        Seconds(json, "upSeconds", run.upFor);
    }
    if (events && run.figures) {
        Events(json, run.rows);
    }
    if (!run.failure.empty()) {
        Failure(json, run);
    }
    json.EndObject();
}

void FilesNotRead(JsonText& json, const std::vector<NotRead>& notRead) {
    json.Key("filesNotRead");
    json.BeginArray();
    for (const NotRead& file : notRead) {
        json.BeginObject();
        json.Key("source");
        json.String(file.source);
        json.Key("reason");
        json.String(file.reason);
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

std::string JsonReport(const RunModel& model, bool events, const JsonStamp& stamp) {
    JsonText json;
    json.BeginObject();
    json.Key("version");
    json.String(stamp.version);
    Time(json, "generatedAt", stamp.generatedAt);
    Period(json, model);
    json.Key("machines");
    json.BeginArray();
    for (const MachineRun& run : model.machines) {
        Machine(json, run, events);
    }
    json.EndArray();
    FilesNotRead(json, model.notRead);
    json.EndObject();
    return json.Text() + "\r\n";
}

}  // namespace uptime
