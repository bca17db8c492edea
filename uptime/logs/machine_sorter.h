// Records of many machines filed by the machine that wrote them: each worker of a run fills a
// sorter of its own, and the sorters are merged at the end. Only the events the report reads
// are kept (a few hundred bytes each); every other record leaves its counts and times.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "uptime/logs/machine_logs.h"

namespace uptime {

// Where a record stands in a run: its file, then its place in the file. Among records of the
// same time, the later one names the machine.
using RecordOrder = std::uint64_t;
inline RecordOrder OrderOf(std::size_t file, std::uint64_t placeInFile) {
    return static_cast<RecordOrder>(file) << 40 | placeInFile;
}

// A set of record numbers, held as runs: a log's numbers run on one by one, so an export costs
// a run, however many records it holds.
class RecordNumbers {
  public:
    void Add(std::uint64_t number);
    void Merge(const RecordNumbers& other);
    std::uint64_t Count() const;

  private:
    std::map<std::uint64_t, std::uint64_t> runs_;  // first -> one past the last
};

// What tells two copies of one record apart from two records: the log and the record's number,
// or where a record has none, its time, ID and a hash of its text.
struct RecordKey {
    int log = 0;  // 0 System, 1 Application, 2 another
    bool numbered = false;
    std::uint64_t number = 0;
    UtcSeconds time = 0;
    unsigned eventId = 0;
    std::uint64_t textHash = 0;
    auto operator<=>(const RecordKey&) const = default;
};

// What each file of a run gave.
struct FileCounts {
    std::size_t records = 0;
    std::size_t unreadable = 0;  // of them, unreadable and of no known machine
    std::size_t kept = 0;        // events the report reads
};

class MachineSorter {
  public:
    explicit MachineSorter(std::size_t files) : files_(files) {}

    void Take(std::string_view xml, std::size_t file, RecordOrder order);
    void Merge(MachineSorter&& other);
    // The machines in the order first seen, each record counted once.
    std::vector<MachineLog> Finish();
    const std::vector<FileCounts>& Files() const { return files_; }

  private:
    struct Kept {
        RecordKey key;
        RecordOrder order = 0;
        std::optional<SystemEvent> event;
        std::optional<NameChange> rename;
    };
    struct Tally {
        std::string computer;  // the spelling of the newest record
        RecordOrder firstSeen = 0;
        RecordOrder newestOrder = 0;
        std::optional<UtcSeconds> newest;
        std::optional<UtcSeconds> oldest;
        std::optional<UtcSeconds> systemBegins;
        RecordNumbers numbers[2];                           // System, Application
        std::map<std::string, RecordNumbers> otherNumbers;  // by channel, in small letters
        std::size_t unnumbered[3] = {};
        std::size_t unreadable = 0;
        std::vector<Kept> kept;
    };

    Tally& TallyOf(std::string_view computer, RecordOrder order);
    void Count(Tally& tally, std::string_view channel, std::optional<std::uint64_t> number,
               UtcSeconds time, std::string_view computer, RecordOrder order);
    void Keep(std::string_view xml, std::size_t file, RecordOrder order);
    static MachineLog Finished(Tally&& tally);

    std::unordered_map<std::string, Tally> machines_;  // by name in small letters
    std::vector<FileCounts> files_;
};

}  // namespace uptime
