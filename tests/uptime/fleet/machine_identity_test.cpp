// Which computers of the logs are one machine: renames by their record, and by the shape of
// the records where the record is missing. The real sample renamed is read by the real program in
// tool_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "uptime/fleet/machine_identity.h"

namespace uptime {
namespace {

constexpr UtcSeconds kDay = 86400;
constexpr UtcSeconds kStart = 1'600'000'000;

// A computer's log of System events at the given days, oldest first.
MachineLog Log(std::string computer, std::vector<std::pair<EventKind, double>> events,
               std::vector<NameChange> nameChanges = {}) {
    MachineLog log;
    log.computer = std::move(computer);
    for (const auto& [kind, day] : events) {
        log.systemEvents.push_back({kind, kStart + static_cast<UtcSeconds>(day * kDay), "", 0});
    }
    log.firstRecord = log.systemBegins = log.systemEvents.at(0).time;
    log.end = log.systemEvents.back().time;
    log.records = log.systemRecords = log.systemEvents.size();
    for (NameChange& change : nameChanges) {
        change.time = kStart + change.time * kDay;
    }
    log.nameChanges = std::move(nameChanges);
    return log;
}

constexpr auto kBoot = EventKind::Boot;
constexpr auto kDown = EventKind::Shutdown;
constexpr auto kLost = EventKind::UnexpectedShutdown;
constexpr auto kVersion = EventKind::OsVersion;

// "NEWEST (EARLIER, ...)", one per machine, in the order the result gives them; "?" marks a
// guess.
std::string Described(const std::vector<MachineHistory>& histories) {
    std::string text;
    for (const MachineHistory& history : histories) {
        text += (text.empty() ? "" : " ") + history.log.computer;
        for (std::size_t i = 0; i < history.earlierNames.size(); ++i) {
            text += (i == 0 ? " (" : ", ") + history.earlierNames[i];
        }
        text += history.earlierNames.empty() ? "" : ")";
        text += history.guess.empty() ? "" : "?";
    }
    return text;
}

TEST(LinkRenamedMachines, LinksByTheRenameRecordOrWhereOnlyOnePairFits) {
    // Set-up's name, renamed: the old name ends with a shutdown, the new one begins at a boot.
    const MachineLog setupName = Log("WIN-7Q2K9.corp", {{kBoot, 0}, {kDown, 2}});
    const MachineLog renamedLogged =
        Log("SRV01.corp", {{kVersion, 2.1}, {kBoot, 2.1}, {kDown, 9}}, {{"WIN-7Q2K9", "SRV01", 2}});
    const MachineLog renamed = Log("SRV01.corp", {{kVersion, 2.1}, {kBoot, 2.1}, {kDown, 9}});
    // A machine running the whole time, whose records interleave with both.
    const MachineLog other = Log("SRV02.corp", {{kLost, 1}, {kBoot, 1.1}, {kDown, 8}});
    const struct {
        const char* what;
        std::vector<MachineLog> logs;
        const char* described;
    } cases[] = {
        {"by the record, the old name's log lost",
         {other, renamedLogged},
         "SRV02.corp SRV01.corp (WIN-7Q2K9)"},
        {"a rename record names another old name",
         {setupName, Log("SRV01.corp", {{kBoot, 3}}, {{"OLDNAME", "SRV01", 3}})},
         "WIN-7Q2K9.corp SRV01.corp (OLDNAME)"},
        {"two old names could be its",
         {setupName, Log("WIN-5X.corp", {{kBoot, 0.5}, {kDown, 1}}), renamed},
         "WIN-7Q2K9.corp WIN-5X.corp SRV01.corp"},
        {"two new names could follow it",
         {setupName, renamed, Log("SRV03", {{kBoot, 4}})},
         "WIN-7Q2K9.corp SRV01.corp SRV03"},
        {"no shutdown before the new name",
         {Log("WIN-7Q2K9.corp", {{kBoot, 0}, {kLost, 2}}), renamed},
         "WIN-7Q2K9.corp SRV01.corp"},
        {"no boot to begin the new name",
         {setupName, Log("SRV01.corp", {{kDown, 3}})},
         "WIN-7Q2K9.corp SRV01.corp"},
        // One machine under two names, with no rename: both names' records interleave.
        {"two names at once",
         {Log("SRV04", {{kBoot, 0}, {kDown, 5}}), Log("srv04-alias", {{kBoot, 1}, {kDown, 6}})},
         "SRV04 srv04-alias"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Described(LinkRenamedMachines(c.logs)), c.described) << c.what;
    }
}

TEST(LinkRenamedMachines, MergesTheLogsUnderTheNewestNameAndSaysWhatItGuessed) {
    // Renamed twice: set-up's name, a mistyped one, the final one; the second rename's record
    // is lost. The oldest log comes first, so each merge must keep the earlier first record.
    const std::vector<MachineLog> logs{
        Log("WIN-7Q2K9", {{kBoot, 0}, {kDown, 2}}),
        Log("SRV1", {{kVersion, 3}, {kBoot, 3}, {kDown, 4}}, {{"WIN-7Q2K9", "SRV1", 3}}),
        Log("SRV01", {{kBoot, 5}, {kLost, 6}, {kBoot, 6.5}}),
    };
    const std::vector<MachineHistory> histories = LinkRenamedMachines(logs);
    EXPECT_EQ(Described(histories), "SRV01 (WIN-7Q2K9, SRV1)?");
    const MachineHistory& history = histories.at(0);
    EXPECT_EQ(history.guess,
              "WIN-7Q2K9 and SRV1 taken as earlier names of SRV01, by the times of their "
              "records: the logs hold no rename record.");
    EXPECT_EQ(history.log.records, 8u);
    EXPECT_EQ(history.log.firstRecord, kStart);
    EXPECT_EQ(history.log.end, kStart + static_cast<UtcSeconds>(6.5 * kDay));
    ASSERT_EQ(history.log.systemEvents.size(), 8u);
    EXPECT_TRUE(
        std::is_sorted(history.log.systemEvents.begin(), history.log.systemEvents.end(),
                       [](const SystemEvent& a, const SystemEvent& b) { return a.time < b.time; }));
    ASSERT_EQ(history.log.nameChanges.size(), 1u);
}

}  // namespace
}  // namespace uptime
