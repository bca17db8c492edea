// The logs of many machines, read from real files built from the real sample log
// (testdata/events/desktop-system.xml, 1,160 records of DESKTOP-1N4R894) as renamed copies with
// shifted times, interleaved by time as a forwarded-events collector holds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "drive/fleet_export.h"
#include "uptime/logs/machine_logs.h"
#include "uptime/recorded_system.h"

namespace uptime {
namespace {

using ombrix::drive::FleetMachine;

using test::SampleRecords;

constexpr std::int64_t kDay = 86400;

// A machine's name, records and boots.
using Tallied = std::tuple<std::string, std::size_t, std::ptrdiff_t>;

// Each machine's, in the order first seen.
std::vector<Tallied> Tally(const MachineLogs& logs) {
    std::vector<Tallied> tally;
    for (const MachineLog& machine : logs.machines) {
        tally.emplace_back(
            machine.computer, machine.records,
            std::count_if(machine.systemEvents.begin(), machine.systemEvents.end(),
                          [](const SystemEvent& event) { return event.kind == EventKind::Boot; }));
    }
    return tally;
}

std::vector<FleetMachine> Fleet() {
    return {{"SRV-A", 0, 80, 0}, {"srv-b", 300, 100, kDay}, {"SRV-C", 500, 60, -3 * kDay}};
}

class MachineLogsTest : public ::testing::TestWithParam<unsigned> {
  protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.File(name);
        ombrix::test::WriteFile(path, bytes);
        return path;
    }
    ombrix::base::Result<MachineLogs> Read(const std::vector<std::string>& paths) {
        return ReadMachineLogs(paths, sources_, GetParam());
    }

    ombrix::test::ScratchDir dir_;
    ombrix::drive::PlainFileSources sources_;
};

TEST_P(MachineLogsTest, SplitsExportsByComputerAndCountsARecordOnceWhereTheyOverlap) {
    // The first export is a collector's: SRV-A's records 0-79, srv-b's and SRV-C's. The second,
    // in UTF-16 with a declaration and a root as Event Viewer saves, holds SRV-A's records
    // 40-119, spelled "srv-a". Together: records 0-119, from 18:37:44 to 18:42:36 (record 118);
    // boots at records 2 and 66, the clean shutdown at 58, events 6009 (1), 6005 (2), 1074 (57),
    // 6006 (58), 6009 (65), 6005 (66), 6013 (67), each no more than once.
    const std::string first =
        Write("first.xml", ombrix::drive::FleetExport(SampleRecords(), Fleet()));
    const std::string second =
        Write("second.xml",
              test::Utf16("<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<Events>" +
                              ombrix::drive::FleetExport(SampleRecords(), {{"srv-a", 40, 80, 0}}) +
                              "</Events>",
                          false));
    // The same file named twice, once through a pattern, is read once.
    const auto logs = Read({first, second, dir_.File("f*.xml")});
    ASSERT_TRUE(logs) << logs.Reason();
    EXPECT_TRUE(logs->problems.empty());
    EXPECT_EQ(logs->files, 2u);
    // In the order first seen: srv-a from 06/07, SRV-C from 09/07 20:50, srv-b from 10/07. How
    // each machine of a collector's export comes out alone is in the fleet run's tests; here
    // what the overlap of srv-a's two files may not change.
    EXPECT_EQ(Tally(*logs),
              (std::vector<Tallied>{{"srv-a", 120, 2}, {"SRV-C", 60, 0}, {"srv-b", 100, 1}}));
    const MachineLog& srvA = logs->machines.at(0);
    EXPECT_EQ(srvA.firstRecord, ParseSystemTime("2018-07-06T18:37:44Z"));
    EXPECT_EQ(srvA.end, ParseSystemTime("2018-07-06T18:42:36Z"));
    EXPECT_EQ(srvA.systemEvents.size(), 7u);
    EXPECT_TRUE(
        std::is_sorted(srvA.systemEvents.begin(), srvA.systemEvents.end(),
                       [](const SystemEvent& a, const SystemEvent& b) { return a.time < b.time; }));
}

TEST_P(MachineLogsTest, ReadsAFleetCutIntoManyBlocksAsAWhole) {
    // About 6 MB: the export is cut into blocks between records, which different threads split.
    // A comment that holds "<Event" (inside a record, near where the first block ends) is no
    // place to cut: from there on the text is split record by record. Each machine has its own
    // run of the sample; every record must land with its machine, once.
    const std::vector<FleetMachine> fleet =
        ombrix::drive::SpreadFleet(SampleRecords().size(), 60, 100);
    std::string text = ombrix::drive::FleetExport(SampleRecords(), fleet);
    const auto nearBlockEnd = text.rfind("<Event ", (2 << 20) - 200);
    text.insert(text.find("<System>", nearBlockEnd) + 8, "<!-- <Event xmlns='x'> -->");
    const auto logs = Read({Write("fleet.xml", text)});
    ASSERT_TRUE(logs) << logs.Reason();
    const auto isBoot = [](const std::string& record) {
        return record.find(">6005</EventID>") != std::string::npos;
    };
    std::vector<Tallied> expected;  // by name, as the fleet's machines are
    for (const FleetMachine& machine : fleet) {
        const auto run = SampleRecords().begin() + static_cast<std::ptrdiff_t>(machine.first);
        expected.emplace_back(
            machine.name, machine.count,
            std::count_if(run, run + static_cast<std::ptrdiff_t>(machine.count), isBoot));
    }
    std::vector<Tallied> tally = Tally(*logs);
    std::sort(tally.begin(), tally.end());
    EXPECT_EQ(tally, expected);
}

TEST_P(MachineLogsTest, ReadsTheGoodFilesAndTellsWhatEachBadOneLacks) {
    const std::string good =
        Write("a-good.xml", ombrix::drive::FleetExport(SampleRecords(), Fleet()));
    std::filesystem::create_directory(dir_.path() / "b-folder.xml");  // patterns skip folders
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    // Each reason alone is in tool_test's runs of the real program.
    const std::vector<Case> cases = {
        {"broken.xml", "<Event><System><EventID>6005</Event>",
         "None of its 1 event records could be read: they are not well-formed event XML."},
        // Records 4-6 of the sample: Kernel-Boot events 20, 27 and 25, nothing the report reads.
        {"unused.xml", SampleRecords()[4] + SampleRecords()[5] + SampleRecords()[6],
         "None of its 3 event records is one the report reads (a start, a shutdown, a crash or "
         "an application failure)."},
    };
    std::vector<std::string> paths = {good};
    for (const Case& c : cases) {
        paths.push_back(Write(c.name, c.bytes));
    }
    const std::string nowhere = dir_.File("nowhere") + ombrix::platform::kPathSeparator + "*.xml";
    // The last pattern matches the good file and a folder.
    paths.insert(paths.end(),
                 {dir_.File("missing.xml"), dir_.File("*.evt"), nowhere, dir_.File("?-*.xml")});
    const auto logs = Read(paths);
    ASSERT_TRUE(logs) << logs.Reason();
    // The fleet's three, and DESKTOP-1N4R894 of the file the report has no use for: its records
    // are counted all the same.
    EXPECT_EQ(logs->machines.size(), 4u);
    EXPECT_EQ(logs->files, 4u);
    ASSERT_EQ(logs->problems.size(), cases.size() + 3);
    // The patterns' problems come first, then the files' in the order given.
    EXPECT_EQ(logs->problems[0].source, dir_.File("*.evt"));
    EXPECT_EQ(logs->problems[0].reason, "No file matches it.");
    EXPECT_EQ(logs->problems[1].reason.rfind("Its folder cannot be read: ", 0), 0u);
    EXPECT_GT(logs->problems[1].reason.size(), 30u);  // with the system's reason
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(logs->problems[2 + i].source, dir_.File(cases[i].name));
        EXPECT_EQ(logs->problems[2 + i].reason, cases[i].reason);
    }
    EXPECT_EQ(logs->problems.back().source, dir_.File("missing.xml"));
    EXPECT_EQ(logs->problems.back().kind, ombrix::base::FailureKind::NotFound);

    // With no file that gives a record, the run fails, one line for each source.
    const auto nothing =
        Read({dir_.File("broken.xml"), dir_.File("missing.xml"), dir_.File("*.evt"), nowhere});
    ASSERT_FALSE(nothing);
    EXPECT_EQ(std::count(nothing.Reason().begin(), nothing.Reason().end(), '\n'), 3);
}

INSTANTIATE_TEST_SUITE_P(Threads, MachineLogsTest, ::testing::Values(1u, 3u));

}  // namespace
}  // namespace uptime
