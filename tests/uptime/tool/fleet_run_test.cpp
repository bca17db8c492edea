// Many machines in one run, through RunTool: live machines behind a recorded event log, exported
// logs of several machines, and a collector's channel read through the same seam as a live log.
// Every machine's report in the fleet report must be the one its own run prints.
#include <gtest/gtest.h>

#include <tuple>

#include "drive/fleet_export.h"
#include "uptime/recorded_system.h"
#include "uptime/tool/tool.h"

namespace uptime {
namespace {

using ombrix::base::Failure;
using ombrix::base::FailureKind;

// The sample's last record, 08/08/2018 14:44:03 UTC, and an hour after it.
constexpr UtcSeconds kSampleEnd = 1533739443;
const LocalMachine kDesk{"DESK", 3600, "Windows 7", "Coordinated Universal Time"};

// The sample's records, each with its line end, as machine `name` wrote them.
std::vector<std::string> AsMachine(const std::string& name) {
    std::vector<std::string> records = test::SampleRecords();
    for (std::string& record : records) {
        record = ombrix::drive::MovedRecord(record, name, 0);
    }
    return records;
}

// The fleet's system, an hour after the sample's end, showing UTC.
test::RecordedSystem FleetSystem() {
    return test::RecordedSystem(kSampleEnd + 3600, [](UtcSeconds) { return std::int64_t{0}; });
}

// One EventLog record of `computer`: 6005 a boot, 6006 a clean shutdown.
std::string EventLogRecord(int id, const std::string& time, const std::string& computer) {
    return "<Event><System><Provider Name='EventLog'/><EventID Qualifiers='32768'>" +
           std::to_string(id) + "</EventID><TimeCreated SystemTime='" + time +
           "'/><Channel>System</Channel><Computer>" + computer + "</Computer></System></Event>\r\n";
}

// Up a day from 05/08 14:44:03, down a day, up since 07/08 14:44:03: by 08/08 15:44:03 up 49 of
// its 73 hours, an availability of 67.1233%, with two boots.
std::vector<std::string> DownADay(const std::string& computer) {
    return {EventLogRecord(6005, "2018-08-05T14:44:03Z", computer),
            EventLogRecord(6006, "2018-08-06T14:44:03Z", computer),
            EventLogRecord(6005, "2018-08-07T14:44:03Z", computer)};
}

// Where each text is in `output`, in the order given; fails unless each follows the one before.
void ExpectInOrder(const std::string& output, const std::vector<std::string>& texts) {
    std::size_t from = 0;
    for (const std::string& text : texts) {
        const std::size_t at = output.find(text, from);
        ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << text << "\nin:\n"
                                         << output;
        from = at + text.size();
    }
}

TEST(FleetRun, LiveMachinesFailuresFirstThenEachMachinesOwnReport) {
    test::RecordedSystem system = FleetSystem();
    system.machines.insert_or_assign("SRV01", LogRecords{AsMachine("SRV01"), {}});
    system.machines.insert_or_assign("LOW", LogRecords{DownADay("LOW"), {}});
    system.machines.insert_or_assign(
        "DENIED", Failure{"Access is denied, error 5", FailureKind::AccessDenied});
    system.machines.insert_or_assign("", LogRecords{AsMachine("DESK"), {}});  // this computer
    system.files["servers.txt"] = "# web\r\nLOW\r\n\\\\srv01  # again\r\nUNANSWERED\r\n";

    const ToolResult fleet =
        RunTool({"\\\\SRV01", "DENIED", "/m:servers.txt", "/s", "DESK", "localhost", "/t:2"}, kDesk,
                system);
    EXPECT_EQ(fleet.exitCode, kSomeFailed);
    // The summary: each machine once, however often, in whatever case and by whatever name it is
    // named; failures in the order given, then the lowest availability first.
    ExpectInOrder(
        fleet.output,
        {"Machines: 5, 3 reported, 2 failed.\r\n",
         "\\\\DENIED      failed: access to its System log was denied: Access is denied, error "
         "5\r\n",
         "\\\\UNANSWERED  failed: cannot be reached: The RPC server is unavailable.\r\n",
         "\\\\LOW             67.1233%  1d 0h:0m:0s          2     0   0            0\r\n",
         "\\\\SRV01", "\\\\DESK"});
    // Then every machine's report as its own run prints it, in the order given: the names of the
    // command line, then those of the lists.
    std::vector<std::string> reports;
    for (const char* name : {"SRV01", "DENIED", "DESK", "LOW", "UNANSWERED"}) {
        reports.push_back("\r\n" + std::string(79, '=') + "\r\n\r\n" +
                          RunTool({name, "/s"}, kDesk, system).output);
    }
    ExpectInOrder(fleet.output, reports);
    EXPECT_TRUE(fleet.output.ends_with(reports.back()));
}

TEST(FleetRun, WhatIsLeftWhenListsOrMachinesFail) {
    test::RecordedSystem system = FleetSystem();
    system.machines.insert_or_assign("SRV01", LogRecords{AsMachine("SRV01"), {}});
    system.files["empty.txt"] = "# none yet\r\n\r\n";
    for (int i = 0; i < 10000; ++i) {
        system.files["many.txt"] += "WS" + std::to_string(10000 + i) + "\r\n";
    }
    const std::string missing =
        "The list of machines missing.txt cannot be used: The system cannot find the file "
        "specified.\r\n";
    const std::string empty =
        "The list of machines empty.txt cannot be used: The list holds no machine names.\r\n";
    // The arguments, the exit code, and lines of the output in this order.
    const std::tuple<std::vector<std::string>, int, std::vector<std::string>> cases[] = {
        {{"/m:missing.txt", "/m:empty.txt"}, kUsageError, {missing, empty}},
        {{"/m:missing.txt", "SRV01", "/s"},
         kSomeFailed,
         {"Machines: 1, 1 reported, 0 failed.\r\n", missing, "Uptime Report for: \\\\SRV01"}},
        // A machine that never answers costs the time limit /w: sets, even alone.
        {{"SRV01", "HANGS", "/w:1"},
         kSomeFailed,
         {"\\\\HANGS  failed: cannot be reached: The machine did not answer within 1 second.\r\n",
          "\\\\SRV01"}},
        {{"HANGS", "/w:1"},
         kMachineUnreachable,
         {"\\\\HANGS cannot be reached. ", "The machine did not answer within 1 second.\r\n"}},
        // Ten thousand names, none of them answering: every one in the summary.
        {{"/m:many.txt", "/t:256"},
         kMachineUnreachable,
         {"Machines: 10000, 0 reported, 10000 failed.\r\n", "\\\\WS10000  failed: ",
          "\\\\WS19999  failed: ", "\\\\WS10000 cannot be reached.", "\\\\WS19999 cannot"}},
        // Nothing reported: the first failure's code, after the summary of both.
        {{"GONE", "DENIED"},
         kMachineUnreachable,
         {"Machines: 2, 0 reported, 2 failed.\r\n", "\\\\GONE    failed: cannot be reached: ",
          "\\\\DENIED  failed: cannot be reached: ", "\\\\GONE cannot be reached."}},
    };
    for (const auto& [args, exitCode, lines] : cases) {
        const ToolResult result = RunTool(args, kDesk, system);
        EXPECT_EQ(result.exitCode, exitCode) << result.output;
        ExpectInOrder(result.output, lines);
    }
}

TEST(FleetRun, LogsOfSeveralMachinesEachAsOfItsOwnLastRecord) {
    // Each machine alone in a file at the same path gives the report the fleet shows for it.
    std::vector<std::string> alone;
    test::RecordedSystem system = FleetSystem();
    for (const auto& records : {AsMachine("SRV01"), DownADay("LOW")}) {
        test::RecordedSystem single = FleetSystem();
        for (const std::string& record : records) {
            single.files["fleet.xml"] += record;
        }
        alone.push_back("\r\n" + std::string(79, '=') + "\r\n\r\n" +
                        RunTool({"/l:fleet.xml", "/s"}, kDesk, single).output);
        system.files["fleet.xml"] += single.files["fleet.xml"];
    }
    const ToolResult fleet = RunTool({"/l:fleet.xml", "/s"}, kDesk, system);
    // (A fleet of files that all give a report succeeds: the real tool's faces test.) LOW ends at
    // its last boot, 07/08 14:44:03: up 24 of its 48 hours. SRV01 is the sample, whose figures
    // log_file_test works out: 99.9985%, 43 s down, 3 boots.
    ExpectInOrder(fleet.output,
                  {"Machines: 2, 2 reported, 0 failed.\r\n",
                   "\\\\LOW        50.0000%  1d 0h:0m:0s          2     0   0            0\r\n"
                   "  as of 07/08/2018 14:44:03, last boot 07/08/2018 14:44:03, up 0d 0h:0m:0s\r\n"
                   "  last shutdown: a shutdown on 06/08/2018 14:44:03\r\n",
                   "\\\\SRV01      99.9985%  0d 0h:0m:43s         3     0   0            0\r\n"
                   "  as of 08/08/2018 14:44:03,",
                   alone[0], alone[1]});
}

TEST(FleetRun, ACollectorsChannelThroughTheLiveLogsSeam) {
    test::RecordedSystem system = FleetSystem();
    // LOW's records among SRV01's, as a collector holds them.
    std::vector<std::string> both = AsMachine("SRV01");
    const std::vector<std::string> low = DownADay("LOW");
    both.insert(both.begin() + 100, low.begin(), low.end());
    system.channels.insert_or_assign("|ForwardedEvents", LogRecords{both, {}});
    system.channels.insert_or_assign("COLL01|Boots", LogRecords{DownADay("LOW"), {}});
    const ToolResult local = RunTool({"/c", "/s"}, kDesk, system);
    EXPECT_EQ(local.exitCode, kSuccess);
    ExpectInOrder(local.output, {"Machines: 2, 2 reported, 0 failed.\r\n", "\\\\LOW", "\\\\SRV01",
                                 "Log File: the ForwardedEvents channel of this computer"});
    const ToolResult named = RunTool({"/c:COLL01", "/e:Boots", "/s"}, kDesk, system);
    EXPECT_TRUE(named.output.starts_with(
        "Uptime Report for: \\\\LOW\r\nLog File: the Boots channel of \\\\COLL01\r\n"))
        << named.output;
    // A collector that refuses: its reason, and the code of a refusal.
    system.machines.insert_or_assign(
        "COLL02", Failure{"Access is denied, error 5", FailureKind::AccessDenied});
    const ToolResult refused = RunTool({"/c:COLL02", "/s"}, kDesk, system);
    EXPECT_EQ(refused.exitCode, kAccessDenied);
    EXPECT_EQ(refused.output,
              "No report can be made from the ForwardedEvents channel of \\\\COLL02.\r\n\r\n"
              "Access is denied, error 5\r\n");
}

}  // namespace
}  // namespace uptime
