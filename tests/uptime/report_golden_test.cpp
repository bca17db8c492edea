// The published sample of the classic report (an /a run, dates day first), rebuilt from an
// event history that agrees with every row and figure it shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "uptime/recorded_events.h"
#include "uptime/tool.h"

namespace uptime::test {
namespace {

// The machine kept British time: GMT in December, BST (UTC+1) from 31 March 2013. All times
// below are UTC; the table shows them in local time.
//
// Rows the sample shows, and the UTC instants behind them:
//   10/12/2012 16:02:14 Shutdown  2012-12-10T16:02:14Z  first event: the period starts here
//   10/12/2012 16:05:07 Boot      2012-12-10T16:05:07Z  down 2m53s (173 s)
//   30/05/2013 23:13:46 Shutdown  2013-05-30T22:13:46Z  up 171d 6h:8m:39s: the local clock
//                                                        moved an hour forward in between
//   30/08/2013 16:12:12 Boot      2013-08-30T15:12:12Z  down 3m8s (188 s)
// and "now", 12/09/2013 11:00:23, is 2013-09-12T10:00:23Z.
//
// The period is 275d 17h:58m:09s (23,824,689 s). The published totals split it exactly:
// uptime 275d 17h:42m:17s plus downtime 0d 0h:15m:52s (952 s). The "..." rows must therefore
// add three reboots with 952 - 173 - 188 = 591 s of downtime (185 + 201 + 205), and prior
// uptimes that, with 171d 6h:8m:39s and the 12d 18h:48m:11s since the last boot, make
// 275d 17h:42m:17s: 44d 3h:45m:49s + 27d 22h:24m:16s + 19d 14h:35m:22s = 91d 16h:45m:27s.
// One of those shutdowns is announced by a restart request, one is unexpected (a 6008 logged
// after the next boot, dated by the last time the system ran, with Kernel-Power's 41 beside
// it); the rows they add change no figure, and no bluescreen or application failure is logged.
//
// Figures: availability 23,823,737 / 23,824,689 = 99.99600..% -> 99.9960%; 5 boot rows;
// 275.7487 days / 5 = 55.1497 -> 55.15 days. "Current System Uptime" is the system's own
// count, 22 s more than the time since the boot event: the kernel starts before the event log.
RecordedLog PublishedHistory() {
    RecordedLog log("computer_name");
    log.Shutdown("2012-12-10T16:02:14Z")
        .Boot("2012-12-10T16:05:07Z")
        .OsVersion("2012-12-10T16:05:07Z")
        .Shutdown("2013-05-30T22:13:46Z")
        .Boot("2013-05-30T22:16:51Z")
        .OsVersion("2013-05-30T22:16:51Z")
        .RestartRequest("2013-07-14T02:02:11Z", "C:\\Windows\\system32\\wuauclt.exe (SRV01)",
                        "Operating System: Service pack (Planned)", "NT AUTHORITY\\SYSTEM")
        .Shutdown("2013-07-14T02:02:40Z")
        .Boot("2013-07-14T02:06:01Z")
        .OsVersion("2013-07-14T02:06:01Z")
        .PowerLoss("2013-08-11T00:33:29Z")
        .Boot("2013-08-11T00:33:42Z")
        .OsVersion("2013-08-11T00:33:42Z")
        .UnexpectedShutdown("2013-08-11T00:33:42Z", "2013-08-11T00:30:17Z", 1)
        .Shutdown("2013-08-30T15:09:04Z")
        .Boot("2013-08-30T15:12:12Z")
        .OsVersion("2013-08-30T15:12:12Z");
    return log;
}

const LocalMachine kPublishedMachine{"computer_name", 12 * 86400 + 18 * 3600 + 48 * 60 + 33,
                                     "Windows Server 2008 R2 Enterprise Multiprocessor Free",
                                     "@tzres.dll,-261"};

RecordedSystem PublishedSystem() {
    RecordedSystem system(Utc("2013-09-12T10:00:23Z"));
    LogReading systemLog;
    systemLog.records = PublishedHistory().records();
    // The log's oldest record, a service starting shortly before the first shutdown.
    systemLog.oldestRecord =
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
        "<Provider Name='Service Control Manager' "
        "Guid='{555908d1-a6d7-4695-8e1e-26931d2012f4}' EventSourceName='Service Control "
        "Manager'/><EventID Qualifiers='16384'>7036</EventID><Level>4</Level>"
        "<TimeCreated SystemTime='2012-12-10T15:58:02.390625000Z'/>"
        "<EventRecordID>1001</EventRecordID><Channel>System</Channel>"
        "<Computer>computer_name</Computer><Security/></System><EventData>"
        "<Data Name='param1'>Windows Modules Installer</Data>"
        "<Data Name='param2'>running</Data></EventData></Event>";
    system.logs["System"] = systemLog;
    system.logs["Application"] = LogReading{};
    return system;
}

TEST(ReportGolden, ThePublishedSampleComesOutExactly) {
    const RecordedSystem system = PublishedSystem();
    const ToolResult result = RunTool({"/a"}, kPublishedMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess);
    // The sample's lines, with the rows it elides ("...") in their places.
    const std::string expected =
        "Uptime Report for: \\\\computer_name\r\n"
        "\r\n"
        "Current OS: Windows Server 2008 R2 Enterprise Multiprocessor Free.\r\n"
        "Time Zone: @tzres.dll,-261\r\n"
        "\r\n"
        "System Events as of 12/09/2013 11:00:23:\r\n"
        "\r\n"
        "Date:      Time:        Event:               Comment:\r\n"
        "---------- -----------  -------------------  ----------------------------------\r\n"
        "\r\n"
        "10/12/2012    16:02:14  Shutdown\r\n"
        "10/12/2012    16:05:07  Boot                 Prior downtime:0d 0h:2m:53s\r\n"
        "30/05/2013    23:13:46  Shutdown             Prior uptime:171d 6h:8m:39s\r\n"
        "30/05/2013    23:16:51  Boot                 Prior downtime:0d 0h:3m:5s\r\n"
        "14/07/2013    03:02:11  Restart requested    by NT AUTHORITY\\SYSTEM via "
        "C:\\Windows\\system32\\wuauclt.exe (SRV01): Operating System: Service pack "
        "(Planned)\r\n"
        "14/07/2013    03:02:40  Shutdown             Prior uptime:44d 3h:45m:49s\r\n"
        "14/07/2013    03:06:01  Boot                 Prior downtime:0d 0h:3m:21s\r\n"
        "11/08/2013    01:30:17  Unexpected shutdown  Prior uptime:27d 22h:24m:16s\r\n"
        "11/08/2013    01:33:29  Power loss           rebooted without a clean shutdown\r\n"
        "11/08/2013    01:33:42  Boot                 Prior downtime:0d 0h:3m:25s\r\n"
        "30/08/2013    16:09:04  Shutdown             Prior uptime:19d 14h:35m:22s\r\n"
        "30/08/2013    16:12:12  Boot                 Prior downtime:0d 0h:3m:8s\r\n"
        "\r\n"
        "Current System Uptime: 12 day(s), 18 hour(s), 48 minute(s), 33 second(s)\r\n"
        "-------------------------------------------------------------------------------\r\n"
        "Since 10/12/2012:\r\n"
        "\r\n"
        "System Availability: 99.9960%\r\n"
        "Total Uptime: 275d 17h:42m:17s\r\n"
        "Total Downtime: 0d 0h:15m:52s\r\n"
        "Total Reboots: 5\r\n"
        "Mean Time Between Reboots: 55.15 days\r\n"
        "Total Bluescreens: 0\r\n"
        "Total Application Failures: 0\r\n";
    EXPECT_EQ(result.output, expected);
}

TEST(ReportGolden, SlashSLeavesOutOnlyTheApplicationLine) {
    const RecordedSystem withFailures = PublishedSystem();
    const ToolResult all = RunTool({"/a"}, kPublishedMachine, withFailures);
    const RecordedSystem system = PublishedSystem();
    const ToolResult result = RunTool({"/s"}, kPublishedMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess);
    EXPECT_EQ(result.output + "Total Application Failures: 0\r\n", all.output);
    EXPECT_EQ(system.queried, std::vector<std::string>{"System"})
        << "/s has no use for the Application log";
}

TEST(ReportGolden, RecordOrderDoesNotMatter) {
    // Records arrive oldest first, but a 6008 names a moment before the boot it follows.
    RecordedSystem reversed = PublishedSystem();
    auto& records = reversed.logs["System"].records;
    std::reverse(records.begin(), records.end());
    const RecordedSystem inOrder = PublishedSystem();
    EXPECT_EQ(RunTool({"/a"}, kPublishedMachine, reversed).output,
              RunTool({"/a"}, kPublishedMachine, inOrder).output);
}

}  // namespace
}  // namespace uptime::test
