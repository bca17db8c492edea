#include "uptime/history/history_reading.h"

#include <algorithm>

namespace uptime {
namespace {

// A boot's own first records (the kernel's) come before its boot event, within this time.
constexpr std::int64_t kBootRecordsBefore = 30 * 60;
// Shorter differences between the clock and the system's own count are not called sleep.
constexpr std::int64_t kSleepNoticed = 10 * 60;

bool IsShutdown(EventKind kind) {
    return kind == EventKind::Shutdown || kind == EventKind::UnexpectedShutdown;
}

bool IsApplicationEvent(EventKind kind) {
    return kind == EventKind::ApplicationFailure || kind == EventKind::ApplicationHang ||
           kind == EventKind::ApplicationLogCleared;
}

// Records written at a boot that say the stop before it was not clean.
bool TellsOfAnUncleanStop(EventKind kind) {
    return kind == EventKind::PowerLoss || kind == EventKind::Bluescreen ||
           kind == EventKind::UndatedUnexpectedShutdown;
}

enum class State { Unknown, Up, Down };

// The walk's place: what the system was doing since when.
class Walk {
  public:
    Walk(HistoryReading& reading, const std::vector<SystemEvent>& history, bool upAtStart)
        : reading_(reading),
          history_(history),
          state_(upAtStart ? State::Up : State::Unknown),
          since_(reading.periodStart) {}

    void Take(const SystemEvent& event) {
        HistoryRow row{event};
        const std::int64_t span = event.time - since_;
        if (event.kind == EventKind::Boot) {
            TakeBoot(row, span);
        } else if (IsShutdown(event.kind)) {
            TakeShutdown(row, span);
        } else if (TellsOfAnUncleanStop(event.kind) && downBeforeBoot_ != kNoSpan &&
                   reading_.spans[downBeforeBoot_].state == SpanState::DownClean) {
            reading_.spans[downBeforeBoot_].state = SpanState::DownUnexpected;
        }
        Count(event.kind);
        reading_.rows.push_back(std::move(row));
    }

    void End(UtcSeconds now) {
        if (now > since_) {
            Add(now, state_ == State::Up ? SpanState::Up : SpanState::Unaccounted);
            if (state_ == State::Up && upSinceBoot_) {
                reading_.totals.asleep += TimeAsleep(history_, since_, now);
            }
        }
    }

  private:
    void TakeBoot(HistoryRow& row, std::int64_t span) {
        downBeforeBoot_ = kNoSpan;
        if (state_ == State::Down) {
            if (span > 0) {
                downBeforeBoot_ = reading_.spans.size();
                Add(row.event.time, downState_);
            }
            row.prior = Prior::Downtime;
            row.priorSeconds = span;
        } else if (state_ == State::Up && !upSinceBoot_ && reading_.periodFromLogBegin &&
                   span <= kBootRecordsBefore) {
            Add(row.event.time, SpanState::Up);  // the log starts with this boot: its first records
        } else if (span > 0) {
            Add(row.event.time, SpanState::Unaccounted);
            row.prior = Prior::DowntimeNotKnown;
            row.priorSeconds = span;
        }
        state_ = State::Up;
        upSinceBoot_ = true;
        since_ = row.event.time;
    }

    void TakeShutdown(HistoryRow& row, std::int64_t span) {
        downBeforeBoot_ = kNoSpan;
        if (state_ == State::Up) {
            Add(row.event.time, SpanState::Up);
            if (upSinceBoot_) {
                row.asleep = TimeAsleep(history_, since_, row.event.time);
                reading_.totals.asleep += row.asleep;
                row.prior = Prior::Uptime;
                row.priorSeconds = span;
            } else if (span > 0) {
                row.prior = reading_.periodFromLogBegin ? Prior::UptimeSinceLogBegins
                                                        : Prior::UptimeSincePeriodStart;
                row.priorSeconds = span;
            }
        } else if (span > 0) {
            Add(row.event.time, SpanState::Unaccounted);
            row.prior = Prior::UptimeNotKnown;
            row.priorSeconds = span;
        }
        state_ = State::Down;
        downState_ = row.event.kind == EventKind::UnexpectedShutdown ? SpanState::DownUnexpected
                                                                     : SpanState::DownClean;
        since_ = row.event.time;
    }

    // The time from the last event up to `until`, spent in `state`.
    void Add(UtcSeconds until, SpanState state) {
        if (until <= since_) {
            return;
        }
        reading_.spans.push_back({since_, until, state});
        const std::int64_t length = until - since_;
        HistoryTotals& totals = reading_.totals;
        switch (state) {
            case SpanState::Up:
                totals.uptime += length;
                break;
            case SpanState::DownClean:
            case SpanState::DownUnexpected:
                totals.downtime += length;
                break;
            case SpanState::Unaccounted:
                totals.unaccounted += length;
                break;
        }
    }

    void Count(EventKind kind) {
        HistoryTotals& totals = reading_.totals;
        totals.reboots += kind == EventKind::Boot ? 1 : 0;
        totals.unexpectedShutdowns +=
            kind == EventKind::UnexpectedShutdown || kind == EventKind::UndatedUnexpectedShutdown
                ? 1
                : 0;
        totals.powerLosses += kind == EventKind::PowerLoss ? 1 : 0;
        totals.bluescreens += kind == EventKind::Bluescreen ? 1 : 0;
        totals.applicationFailures +=
            kind == EventKind::ApplicationFailure || kind == EventKind::ApplicationHang ? 1 : 0;
    }

    HistoryReading& reading_;
    const std::vector<SystemEvent>& history_;
    State state_;
    SpanState downState_ = SpanState::DownClean;
    bool upSinceBoot_ = false;
    UtcSeconds since_;
    static constexpr std::size_t kNoSpan = static_cast<std::size_t>(-1);
    std::size_t downBeforeBoot_ = kNoSpan;  // the down span that the last boot ended, if any
};

}  // namespace

std::int64_t TimeAsleep(const std::vector<SystemEvent>& events, UtcSeconds boot, UtcSeconds end) {
    const SystemEvent* last = nullptr;
    for (const SystemEvent& event : events) {
        if (event.kind == EventKind::SystemUptime && event.time > boot && event.time <= end &&
            (last == nullptr || event.time >= last->time)) {
            last = &event;
        }
    }
    if (last == nullptr) {
        return 0;
    }
    const std::int64_t asleep = last->time - boot - last->seconds;
    return asleep >= kSleepNoticed ? asleep : 0;
}

std::optional<std::uint64_t> SecondsSinceLastBoot(const std::vector<SystemEvent>& events,
                                                  UtcSeconds now) {
    const SystemEvent* last = nullptr;
    for (const SystemEvent& event : events) {
        if ((event.kind == EventKind::Boot || IsShutdown(event.kind)) &&
            (last == nullptr || event.time >= last->time)) {
            last = &event;
        }
    }
    if (last == nullptr || last->kind != EventKind::Boot || last->time > now) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(now - last->time);
}

HistoryReading ReadHistory(const ReportInput& input) {
    std::vector<SystemEvent> history = input.events;
    std::stable_sort(history.begin(), history.end(),
                     [](const SystemEvent& a, const SystemEvent& b) { return a.time < b.time; });

    HistoryReading reading;
    reading.osName = input.osName;
    if (reading.osName.empty()) {
        for (const SystemEvent& event : history) {
            if (event.kind == EventKind::OsVersion) {
                reading.osName = event.detail;
            }
        }
    }

    std::vector<const SystemEvent*> rows;
    for (const SystemEvent& event : history) {
        if (IsRow(event.kind) && (input.applicationFailures || !IsApplicationEvent(event.kind)) &&
            (!input.windowStart || event.time >= *input.windowStart)) {
            rows.push_back(&event);
        }
    }
    const UtcSeconds firstRow = rows.empty() ? input.now : rows.front()->time;
    reading.periodFromLogBegin = input.logBegins && *input.logBegins < firstRow &&
                                 (!input.windowStart || *input.logBegins >= *input.windowStart);
    reading.periodStart = reading.periodFromLogBegin ? *input.logBegins : firstRow;
    // Before a first shutdown the system was up, and so it was when it wrote the log's first
    // record; its boot is then not in the period.
    const auto firstState = std::find_if(rows.begin(), rows.end(), [](const SystemEvent* e) {
        return e->kind == EventKind::Boot || IsShutdown(e->kind);
    });
    const bool upAtStart =
        reading.periodFromLogBegin || (firstState != rows.end() && IsShutdown((*firstState)->kind));
    Walk walk(reading, history, upAtStart);
    for (const SystemEvent* event : rows) {
        walk.Take(*event);
    }
    if (!rows.empty()) {
        walk.End(input.now);
    }

    reading.upFor = input.secondsSinceBoot ? input.secondsSinceBoot
                                           : SecondsSinceLastBoot(input.events, input.now);
    if (reading.upFor) {
        if (const auto lastBoot = SecondsSinceLastBoot(history, input.now)) {
            reading.asleepSinceLastBoot =
                TimeAsleep(history, input.now - static_cast<UtcSeconds>(*lastBoot), input.now);
        }
    }
    return reading;
}

}  // namespace uptime
