#include "uptime/fleet/machine_identity.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <utility>

#include "uptime/fleet/machine_names.h"

namespace uptime {
namespace {

// Which logs are one machine so far.
class Groups {
  public:
    explicit Groups(std::size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t Find(std::size_t log) {
        while (parent_[log] != log) {
            parent_[log] = parent_[parent_[log]];
            log = parent_[log];
        }
        return log;
    }
    void Join(std::size_t a, std::size_t b) { parent_[Find(a)] = Find(b); }

  private:
    std::vector<std::size_t> parent_;
};

// Finds a log by a name as a rename record gives it, with or without its domain.
class LogsByName {
  public:
    explicit LogsByName(const std::vector<MachineLog>& logs) {
        for (std::size_t i = 0; i < logs.size(); ++i) {
            const std::string key = NameKey(logs[i].computer);
            full_.emplace(key, i);
            hosts_[std::string(HostPart(key))].push_back(i);
        }
    }
    std::optional<std::size_t> Find(const std::string& name) const {
        const std::string key = NameKey(name);
        if (const auto found = full_.find(key); found != full_.end()) {
            return found->second;
        }
        const auto host = hosts_.find(std::string(HostPart(key)));
        if (host != hosts_.end() && host->second.size() == 1) {
            return host->second.front();
        }
        return std::nullopt;
    }

  private:
    std::unordered_map<std::string, std::size_t> full_;
    std::unordered_map<std::string, std::vector<std::size_t>> hosts_;
};

// One machine as far as it is known: its merged log and where its names came from.
struct Machine {
    std::size_t firstSeen = 0;
    MachineLog log;
    std::vector<std::pair<UtcSeconds, std::string>> names;  // each with when it was last used
    std::vector<std::string> guessedNames;
    bool knowsEarlierName = false;  // a rename record names an old name no log holds
};

template <typename T>
void Append(std::vector<T>& into, std::vector<T>& from) {
    into.insert(into.end(), std::make_move_iterator(from.begin()),
                std::make_move_iterator(from.end()));
}

template <typename T>
std::optional<T> Earliest(std::optional<T> a, std::optional<T> b) {
    return a && b ? std::min(*a, *b) : a ? a : b;
}

void MergeInto(Machine& into, Machine&& from) {
    MachineLog& log = into.log;
    log.records += from.log.records;
    log.systemRecords += from.log.systemRecords;
    log.applicationRecords += from.log.applicationRecords;
    log.unreadable += from.log.unreadable;
    Append(log.systemEvents, from.log.systemEvents);
    Append(log.applicationEvents, from.log.applicationEvents);
    Append(log.nameChanges, from.log.nameChanges);
    const auto byTime = [](const auto& a, const auto& b) { return a.time < b.time; };
    std::stable_sort(log.systemEvents.begin(), log.systemEvents.end(), byTime);
    std::stable_sort(log.applicationEvents.begin(), log.applicationEvents.end(), byTime);
    std::stable_sort(log.nameChanges.begin(), log.nameChanges.end(), byTime);
    log.systemBegins = Earliest(log.systemBegins, from.log.systemBegins);
    log.firstRecord = Earliest(log.firstRecord, from.log.firstRecord);
    log.end = log.end && from.log.end ? std::max(*log.end, *from.log.end)
                                      : (log.end ? log.end : from.log.end);
    Append(into.names, from.names);
    Append(into.guessedNames, from.guessedNames);
    into.knowsEarlierName = into.knowsEarlierName || from.knowsEarlierName;
    into.firstSeen = std::min(into.firstSeen, from.firstSeen);
}

// The machines the rename records make of the logs.
std::vector<Machine> LinkByRecords(std::vector<MachineLog> logs) {
    const LogsByName byName(logs);
    Groups groups(logs.size());
    std::vector<bool> oldNameUnseen(logs.size(), false);
    for (std::size_t i = 0; i < logs.size(); ++i) {
        for (const NameChange& change : logs[i].nameChanges) {
            if (const auto old = byName.Find(change.from)) {
                groups.Join(*old, i);
            } else {
                oldNameUnseen[i] = true;
            }
        }
    }
    std::vector<Machine> machines;
    std::unordered_map<std::size_t, std::size_t> machineOfGroup;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        Machine machine;
        machine.firstSeen = i;
        machine.knowsEarlierName = oldNameUnseen[i];
        machine.names.emplace_back(logs[i].end.value_or(0), logs[i].computer);
        for (const NameChange& change : logs[i].nameChanges) {
            if (!byName.Find(change.from)) {
                machine.names.emplace_back(change.time - 1, change.from);  // until the rename
            }
        }
        machine.log = std::move(logs[i]);
        const auto [place, added] = machineOfGroup.emplace(groups.Find(i), machines.size());
        if (added) {
            machines.push_back(std::move(machine));
        } else {
            MergeInto(machines[place->second], std::move(machine));
        }
    }
    return machines;
}

// The events that say what the machine did, without those that only inform.
bool TellsState(EventKind kind) {
    return kind != EventKind::OsVersion && kind != EventKind::SystemUptime;
}

bool EndsWithShutdown(const MachineLog& log) {
    const auto last = std::find_if(log.systemEvents.rbegin(), log.systemEvents.rend(),
                                   [](const SystemEvent& e) { return TellsState(e.kind); });
    return last != log.systemEvents.rend() &&
           (last->kind == EventKind::Shutdown || last->kind == EventKind::RestartRequest ||
            last->kind == EventKind::ShutdownRequest);
}

bool BeginsWithBoot(const MachineLog& log) {
    const auto first = std::find_if(log.systemEvents.begin(), log.systemEvents.end(),
                                    [](const SystemEvent& e) { return TellsState(e.kind); });
    return first != log.systemEvents.end() && first->kind == EventKind::Boot;
}

// Links one old name to its new one where the times of the records allow exactly one such
// pair for each: the old one's records end with a shutdown before the new one's begin with a
// boot. Machines whose records interleave are never linked. False when no pair is left.
bool LinkOneByShape(std::vector<Machine>& machines) {
    std::vector<std::size_t> olds;
    std::vector<std::size_t> news;
    for (std::size_t i = 0; i < machines.size(); ++i) {
        const MachineLog& log = machines[i].log;
        if (!log.firstRecord || !log.end) {
            continue;
        }
        if (EndsWithShutdown(log)) {
            olds.push_back(i);
        }
        if (BeginsWithBoot(log) && !machines[i].knowsEarlierName) {
            news.push_back(i);
        }
    }
    if (olds.empty() || news.empty()) {
        return false;
    }
    const auto begins = [&](std::size_t i) { return *machines[i].log.firstRecord; };
    const auto ends = [&](std::size_t i) { return *machines[i].log.end; };
    std::sort(news.begin(), news.end(), [&](auto a, auto b) { return begins(a) < begins(b); });
    std::sort(olds.begin(), olds.end(), [&](auto a, auto b) { return ends(a) < ends(b); });
    // Only the last name to begin can be the one new name after an old one, and only the
    // first to end the one old name before it.
    const std::size_t renamed = news.back();
    const std::size_t old = olds.front();
    const bool oneNew = ends(old) < begins(renamed) &&
                        (news.size() == 1 || begins(news[news.size() - 2]) <= ends(old));
    const bool oneOld = olds.size() == 1 || ends(olds[1]) >= begins(renamed);
    if (!oneNew || !oneOld) {
        return false;
    }
    Machine oldMachine = std::move(machines[old]);
    std::stable_sort(oldMachine.names.begin(), oldMachine.names.end());
    for (const auto& name : oldMachine.names) {
        machines[renamed].guessedNames.push_back(name.second);
    }
    MergeInto(machines[renamed], std::move(oldMachine));
    machines.erase(machines.begin() + static_cast<std::ptrdiff_t>(old));
    return true;
}

std::string GuessSentence(const std::vector<std::string>& guessed, const std::string& newest) {
    std::string names;
    for (std::size_t i = 0; i < guessed.size(); ++i) {
        names += (i == 0 ? "" : i + 1 == guessed.size() ? " and " : ", ") + guessed[i];
    }
    return names + " taken as " + (guessed.size() == 1 ? "an earlier name" : "earlier names") +
           " of " + newest + ", by the times of their records: the logs hold no rename record.";
}

MachineHistory Finish(Machine machine) {
    std::stable_sort(machine.names.begin(), machine.names.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    MachineHistory history;
    history.log = std::move(machine.log);
    history.log.computer = machine.names.back().second;
    for (auto it = machine.names.rbegin() + 1; it != machine.names.rend(); ++it) {
        const bool known =
            SameMachineName(it->second, history.log.computer) ||
            std::any_of(history.earlierNames.begin(), history.earlierNames.end(),
                        [&](const std::string& name) { return SameMachineName(name, it->second); });
        if (!known) {
            history.earlierNames.push_back(it->second);
        }
    }
    std::reverse(history.earlierNames.begin(), history.earlierNames.end());
    if (!machine.guessedNames.empty()) {
        history.guess = GuessSentence(machine.guessedNames, history.log.computer);
    }
    return history;
}

}  // namespace

std::vector<MachineHistory> LinkRenamedMachines(std::vector<MachineLog> logs) {
    std::vector<Machine> machines = LinkByRecords(std::move(logs));
    while (LinkOneByShape(machines)) {
    }
    std::stable_sort(machines.begin(), machines.end(),
                     [](const Machine& a, const Machine& b) { return a.firstSeen < b.firstSeen; });
    std::vector<MachineHistory> histories;
    histories.reserve(machines.size());
    for (Machine& machine : machines) {
        histories.push_back(Finish(std::move(machine)));
    }
    return histories;
}

}  // namespace uptime
