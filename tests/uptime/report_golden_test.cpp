// The published sample of the classic report (an /a run, dates day first), rebuilt from an
// event history that agrees with every row and figure it shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "uptime/recorded_events.h"
#include "uptime/tool.h"

namespace uptime::test {
namespace {

// British time: GMT in December, BST from 31 March 2013; the table shows local time. The period
// (10/12/2012 16:02:14 to "now", 12/09/2013 11:00:23) is 23,824,689 s; the published totals split
// it into 275d 17h:42m:17s up and 952 s down. The elided rows therefore add three reboots with
// 591 s of downtime (185 + 201 + 205) and prior uptimes summing to 91d 16h:45m:27s. One shutdown
// is announced by a restart request, one is unexpected (a 6008 with Kernel-Power's 41); they
// change no figure. Availability 23,823,737 / 23,824,689 = 99.9960%; 275.7487 days / 5 boots =
// 55.15. The current uptime is the system's own count, 22 s more than since the boot event.
const LocalMachine kPublishedMachine{"computer_name", 12 * 86400 + 18 * 3600 + 48 * 60 + 33,
                                     "Windows Server 2008 R2 Enterprise Multiprocessor Free",
                                     "@tzres.dll,-261"};

RecordedSystem PublishedSystem() {
    RecordedLog log;
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
    RecordedSystem system(Utc("2013-09-12T10:00:23Z"));
    system.logs["System"].records = log.records();
    // The log's oldest record, a service starting shortly before the first shutdown.
    system.logs["System"].oldestRecord =
        "<Event><System><Provider Name='Service Control Manager'/><EventID>7036</EventID>"
        "<TimeCreated SystemTime='2012-12-10T15:58:02.390625000Z'/></System></Event>";
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
    const RecordedSystem system = PublishedSystem();
    const ToolResult result = RunTool({"/s"}, kPublishedMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess);
    EXPECT_EQ(result.output + "Total Application Failures: 0\r\n",
              RunTool({"/a"}, kPublishedMachine, PublishedSystem()).output);
    EXPECT_EQ(system.queried, std::vector<std::string>{"System"})
        << "/s has no use for the Application log";
}

TEST(ReportGolden, RecordOrderDoesNotMatter) {
    // A 6008 names a moment before the boot it follows.
    RecordedSystem reversed = PublishedSystem();
    auto& records = reversed.logs["System"].records;
    std::reverse(records.begin(), records.end());
    EXPECT_EQ(RunTool({"/a"}, kPublishedMachine, reversed).output,
              RunTool({"/a"}, kPublishedMachine, PublishedSystem()).output);
}

}  // namespace
}  // namespace uptime::test
