#include "uptime/logs/machine_sorter.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/text.h"
#include "uptime/events/event_xml.h"
#include "uptime/events/record_facts.h"

namespace uptime {
namespace {

using ombrix::base::EqualsIgnoringCase;
using ombrix::base::ToLowerAscii;

// A record without a channel is taken as the System log's, as a hand-trimmed export has it.
int LogOf(std::string_view channel) {
    if (channel.empty() || EqualsIgnoringCase(channel, "System")) {
        return 0;
    }
    return EqualsIgnoringCase(channel, "Application") ? 1 : 2;
}

bool IsApplicationFailure(EventKind kind) {
    return kind == EventKind::ApplicationFailure || kind == EventKind::ApplicationHang;
}

// FNV-1a: enough to tell apart two records of the same time, ID and machine.
std::uint64_t TextHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

template <typename T>
void KeepOlder(std::optional<T>& kept, const std::optional<T>& other) {
    if (other && (!kept || *other < *kept)) {
        kept = other;
    }
}

}  // namespace

void RecordNumbers::Add(std::uint64_t number) {
    auto next = runs_.upper_bound(number);
    if (next != runs_.begin()) {
        auto run = std::prev(next);
        if (number < run->second) {
            return;  // counted already
        }
        if (number == run->second) {
            run->second = number + 1;
            if (next != runs_.end() && next->first == run->second) {
                run->second = next->second;
                runs_.erase(next);
            }
            return;
        }
    }
    if (next != runs_.end() && next->first == number + 1) {
        const std::uint64_t end = next->second;
        runs_.erase(next);
        runs_.emplace(number, end);
        return;
    }
    runs_.emplace(number, number + 1);
}

void RecordNumbers::Merge(const RecordNumbers& other) {
    for (const auto& [first, end] : other.runs_) {
        // Runs are few; a run already covered costs a look-up per number only where they overlap.
        for (std::uint64_t number = first; number < end; ++number) {
            auto next = runs_.upper_bound(number);
            if (next != runs_.begin() && number < std::prev(next)->second) {
                number = std::prev(next)->second - 1;
                continue;
            }
            const std::uint64_t stop = next == runs_.end() ? end : std::min(end, next->first);
            auto merged = runs_.emplace(number, stop).first;
            // Join the neighbours on either side.
            if (merged != runs_.begin() && std::prev(merged)->second == merged->first) {
                auto before = std::prev(merged);
                before->second = merged->second;
                runs_.erase(merged);
                merged = before;
            }
            auto after = std::next(merged);
            if (after != runs_.end() && after->first == merged->second) {
                merged->second = after->second;
                runs_.erase(after);
            }
            number = stop - 1;
        }
    }
}

std::uint64_t RecordNumbers::Count() const {
    std::uint64_t count = 0;
    for (const auto& [first, end] : runs_) {
        count += end - first;
    }
    return count;
}

MachineSorter::Tally& MachineSorter::TallyOf(std::string_view computer, RecordOrder order) {
    auto [entry, added] = machines_.try_emplace(ToLowerAscii(computer));
    if (added) {
        entry->second.computer = std::string(computer);
        entry->second.firstSeen = order;
    }
    return entry->second;
}

void MachineSorter::Count(Tally& tally, std::string_view channel,
                          std::optional<std::uint64_t> number, UtcSeconds time,
                          std::string_view computer, RecordOrder order) {
    const int log = LogOf(channel);
    if (!number) {
        ++tally.unnumbered[log];
    } else if (log < 2) {
        tally.numbers[log].Add(*number);
    } else {
        tally.otherNumbers[ToLowerAscii(channel)].Add(*number);
    }
    if (!tally.newest || time > *tally.newest ||
        (time == *tally.newest && order > tally.newestOrder)) {
        tally.newest = time;
        tally.newestOrder = order;
        tally.computer = std::string(computer);
    }
    KeepOlder(tally.oldest, std::optional<UtcSeconds>(time));
    if (log == 0) {
        KeepOlder(tally.systemBegins, std::optional<UtcSeconds>(time));
    }
}

void MachineSorter::Take(std::string_view xml, std::size_t file, RecordOrder order) {
    ++files_[file].records;
    const std::optional<RecordFacts> facts = ReadRecordFacts(xml);
    if (facts && !MayBeReportEvent(facts->eventId)) {
        Count(TallyOf(facts->computer, order), facts->channel, facts->recordId, facts->timeCreated,
              facts->computer, order);
        return;
    }
    Keep(xml, file, order);
}

void MachineSorter::Keep(std::string_view xml, std::size_t file, RecordOrder order) {
    std::optional<EventRecord> record = ParseEventXml(xml);
    if (!record || record->computer.empty()) {
        const std::optional<RecordFacts> facts = ReadRecordFacts(xml);
        if (facts && !facts->computer.empty()) {
            ++TallyOf(facts->computer, order).unreadable;
        } else {
            ++files_[file].unreadable;
        }
        return;
    }
    Tally& tally = TallyOf(record->computer, order);
    Count(tally, record->channel, record->recordId, record->timeCreated, record->computer, order);
    const int log = LogOf(record->channel);
    Kept kept;
    if (log == 0) {
        if (auto rename = ReadHostRename(*record)) {
            kept.rename =
                NameChange{std::move(rename->from), std::move(rename->to), record->timeCreated};
        }
    }
    std::optional<SystemEvent> event = log < 2 ? Classify(*record) : std::nullopt;
    if (event && IsApplicationFailure(event->kind) == (log == 1)) {
        kept.event = std::move(event);
    }
    if (!kept.event && !kept.rename) {
        return;
    }
    kept.key.log = log;
    kept.key.numbered = record->recordId.has_value();
    if (record->recordId) {
        kept.key.number = *record->recordId;
    } else {
        kept.key.time = record->timeCreated;
        kept.key.eventId = record->eventId;
        kept.key.textHash = TextHash(xml);
    }
    kept.order = order;
    tally.kept.push_back(std::move(kept));
    ++files_[file].kept;
}

void MachineSorter::Merge(MachineSorter&& other) {
    for (std::size_t i = 0; i < files_.size() && i < other.files_.size(); ++i) {
        files_[i].records += other.files_[i].records;
        files_[i].unreadable += other.files_[i].unreadable;
        files_[i].kept += other.files_[i].kept;
    }
    for (auto& [name, theirs] : other.machines_) {
        auto [entry, added] = machines_.try_emplace(name, std::move(theirs));
        if (added) {
            continue;
        }
        Tally& ours = entry->second;
        ours.firstSeen = std::min(ours.firstSeen, theirs.firstSeen);
        if (theirs.newest &&
            (!ours.newest || *theirs.newest > *ours.newest ||
             (*theirs.newest == *ours.newest && theirs.newestOrder > ours.newestOrder))) {
            ours.newest = theirs.newest;
            ours.newestOrder = theirs.newestOrder;
            ours.computer = std::move(theirs.computer);
        }
        KeepOlder(ours.oldest, theirs.oldest);
        KeepOlder(ours.systemBegins, theirs.systemBegins);
        for (int log = 0; log < 2; ++log) {
            ours.numbers[log].Merge(theirs.numbers[log]);
        }
        for (auto& [channel, numbers] : theirs.otherNumbers) {
            ours.otherNumbers[channel].Merge(numbers);
        }
        for (int log = 0; log < 3; ++log) {
            ours.unnumbered[log] += theirs.unnumbered[log];
        }
        ours.unreadable += theirs.unreadable;
        std::move(theirs.kept.begin(), theirs.kept.end(), std::back_inserter(ours.kept));
    }
    other.machines_.clear();
}

MachineLog MachineSorter::Finished(Tally&& tally) {
    // One copy of each record: the first in the run.
    std::sort(tally.kept.begin(), tally.kept.end(), [](const Kept& a, const Kept& b) {
        return a.key != b.key ? a.key < b.key : a.order < b.order;
    });
    tally.kept.erase(std::unique(tally.kept.begin(), tally.kept.end(),
                                 [](const Kept& a, const Kept& b) { return a.key == b.key; }),
                     tally.kept.end());
    // Oldest first; among records of one time, in the order of the run.
    const auto timeOf = [](const Kept& kept) {
        return kept.event ? kept.event->time : kept.rename->time;
    };
    std::sort(tally.kept.begin(), tally.kept.end(), [&](const Kept& a, const Kept& b) {
        return timeOf(a) != timeOf(b) ? timeOf(a) < timeOf(b) : a.order < b.order;
    });
    MachineLog log;
    log.computer = std::move(tally.computer);
    log.systemRecords = tally.numbers[0].Count() + tally.unnumbered[0];
    log.applicationRecords = tally.numbers[1].Count() + tally.unnumbered[1];
    log.records =
        log.systemRecords + log.applicationRecords + tally.unnumbered[2] + tally.unreadable;
    for (const auto& [channel, numbers] : tally.otherNumbers) {
        log.records += numbers.Count();
    }
    log.unreadable = tally.unreadable;
    log.systemBegins = tally.systemBegins;
    log.firstRecord = tally.oldest;
    log.end = tally.newest;
    for (Kept& kept : tally.kept) {
        if (kept.rename) {
            log.nameChanges.push_back(std::move(*kept.rename));
        }
        if (kept.event) {
            (IsApplicationFailure(kept.event->kind) ? log.applicationEvents : log.systemEvents)
                .push_back(std::move(*kept.event));
        }
    }
    return log;
}

std::vector<MachineLog> MachineSorter::Finish() {
    std::vector<Tally*> order;
    order.reserve(machines_.size());
    for (auto& [name, tally] : machines_) {
        order.push_back(&tally);
    }
    std::sort(order.begin(), order.end(),
              [](const Tally* a, const Tally* b) { return a->firstSeen < b->firstSeen; });
    std::vector<MachineLog> logs;
    logs.reserve(order.size());
    for (Tally* tally : order) {
        logs.push_back(Finished(std::move(*tally)));
    }
    machines_.clear();
    return logs;
}

}  // namespace uptime
