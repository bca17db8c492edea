// The report's rows and figures for the histories administrators meet: clock changes, crashes,
// restricted periods, short or broken logs. Figures are worked out by hand beside each case;
// times are UTC, the table shows London time.
#include <gtest/gtest.h>

#include "uptime/recorded_events.h"
#include "uptime/tool.h"

namespace uptime::test {
namespace {

const LocalMachine kMachine{"SRV01", 3600, "Windows 7 Professional Multiprocessor Free",
                            "GMT Standard Time"};

RecordedSystem SystemOf(const RecordedLog& log, const std::string& now, std::string oldest = {}) {
    RecordedSystem system(Utc(now));
    system.logs["System"] = {LogStatus::Read, log.records(), std::move(oldest), {}};
    return system;
}

std::string Report(const RecordedSystem& system, const std::vector<std::string>& args = {"/s"}) {
    const ToolResult result = RunTool(args, kMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess) << result.output;
    return result.output;
}

// Each of `lines` is whole lines of the report (runs of lines in order); `absent` is nowhere.
void Expect(const std::string& report, const std::vector<std::string>& lines,
            const std::vector<std::string>& absent = {}) {
    for (const std::string& line : lines) {
        EXPECT_NE(("\r\n" + report).find("\r\n" + line + "\r\n"), std::string::npos)
            << line << "\n in:\n"
            << report;
    }
    for (const std::string& text : absent) {
        EXPECT_EQ(report.find(text), std::string::npos) << text << "\n in:\n" << report;
    }
}

TEST(ReportDaylightSaving, SpringForwardAddsNoHour) {
    // Boot at 12:00 GMT, shutdown two days later at 13:00 BST: two days up, not two days and an
    // hour; then the hour since the last boot.
    const auto log = RecordedLog()
                         .Boot("2013-03-30T12:00:00Z")
                         .Shutdown("2013-04-01T12:00:00Z")
                         .Boot("2013-04-01T12:05:00Z");
    Expect(Report(SystemOf(log, "2013-04-01T13:05:00Z")),
           {"01/04/2013    13:00:00  Shutdown             Prior uptime:2d 0h:0m:0s",
            "Total Uptime: 2d 1h:0m:0s"});
}

TEST(ReportDaylightSaving, FallBackRemovesNoHour) {
    // On 27 October 2013 01:30 came twice: at 00:30 UTC (BST) and 01:30 UTC (GMT). Up 2 h, down
    // 10 min over 2 h 10 min: 92.30769..%; 7800 s / 86400 / 2 boots = 0.045 days.
    const auto log = RecordedLog()
                         .Boot("2013-10-27T00:30:00Z")
                         .Shutdown("2013-10-27T01:30:00Z")
                         .Boot("2013-10-27T01:40:00Z");
    Expect(Report(SystemOf(log, "2013-10-27T02:40:00Z")),
           {"27/10/2013    01:30:00  Boot",
            "27/10/2013    01:30:00  Shutdown             Prior uptime:0d 1h:0m:0s",
            "System Availability: 92.3077%\r\nTotal Uptime: 0d 2h:0m:0s\r\n"
            "Total Downtime: 0d 0h:10m:0s",
            "Mean Time Between Reboots: 0.05 days"});
}

TEST(ReportUnexpectedShutdowns, UptimeEndsAtTheLastTimeTheSystemRan) {
    // The 6008, logged after the next boot, names 08:55:00, the last time the system ran. Up
    // 4d 0h:55m and a day, down 320 s over 435620 s: 99.92654..%; 5.0419 days / 2 boots.
    const auto log = RecordedLog()
                         .Boot("2013-02-01T08:00:00Z")
                         .PowerLoss("2013-02-05T09:00:05Z")
                         .Boot("2013-02-05T09:00:20Z")
                         .UnexpectedShutdown("2013-02-05T09:00:30Z", "2013-02-05T08:55:00Z", 0);
    Expect(Report(SystemOf(log, "2013-02-06T09:00:20Z")),
           {"01/02/2013    08:00:00  Boot\r\n"
            "05/02/2013    08:55:00  Unexpected shutdown  Prior uptime:4d 0h:55m:0s\r\n"
            "05/02/2013    09:00:05  Power loss           rebooted without a clean shutdown\r\n"
            "05/02/2013    09:00:20  Boot                 Prior downtime:0d 0h:5m:20s",
            "System Availability: 99.9265%\r\nTotal Uptime: 5d 0h:55m:0s\r\n"
            "Total Downtime: 0d 0h:5m:20s\r\nTotal Reboots: 2\r\n"
            "Mean Time Between Reboots: 2.52 days"});
}

TEST(ReportUnexpectedShutdowns, WithoutItsLastRunningTimeTheGapIsNotCounted) {
    // Without its binary data a 6008 cannot be placed before the boot: the time between the
    // boots is neither up nor down.
    const auto log =
        RecordedLog()
            .Boot("2013-02-01T08:00:00Z")
            .Boot("2013-02-05T09:00:20Z")
            .Raw(
                "<Event><System><Provider Name='EventLog'/><EventID>6008</EventID>"
                "<TimeCreated SystemTime='2013-02-05T09:00:30.000000000Z'/></System><EventData>"
                "<Data>8:55:00</Data><Data>\u200E5/\u200E2/\u200E2013</Data></EventData></Event>");
    Expect(Report(SystemOf(log, "2013-02-06T09:00:20Z")),
           {"05/02/2013    09:00:20  Boot                 Prior downtime: not known (no "
            "shutdown logged before it)",
            "05/02/2013    09:00:30  Unexpected shutdown  last ran at 8:55:00 5/2/2013 by its own "
            "clock",
            "System Availability: 100.0000% (of the accounted time)",
            "Total Uptime: 1d 0h:0m:0s\r\nTotal Downtime: 0d 0h:0m:0s",
            "Unaccounted Time: 4d 1h:0m:20s (the log does not show whether the system was up)"});
}

TEST(ReportBluescreens, EachBugcheckIsARowAndCounted) {
    // A 1001 from another source is no bluescreen. Downtimes 3m + 2m30s.
    const auto log =
        RecordedLog()
            .Boot("2013-06-01T07:00:00Z")
            .Boot("2013-06-03T10:01:00Z")
            .Bluescreen("2013-06-03T10:01:40Z", "0x0000009f")
            .UnexpectedShutdown("2013-06-03T10:01:05Z", "2013-06-03T09:58:00Z", 1)
            .Boot("2013-06-04T10:00:00Z")
            .Bluescreen("2013-06-04T10:00:50Z", "0x000000d1")
            .UnexpectedShutdown("2013-06-04T10:00:10Z", "2013-06-04T09:57:30Z", 1)
            .Raw(
                "<Event><System><Provider Name='Microsoft-Windows-Kernel-Boot'/><EventID>1001"
                "</EventID><TimeCreated SystemTime='2013-06-04T10:00:55Z'/></System><EventData>"
                "<Data Name='param1'>0x0000009f</Data></EventData></Event>");
    Expect(Report(SystemOf(log, "2013-06-05T10:00:00Z")),
           {"03/06/2013    11:01:40  Bluescreen           Stop 0x0000009f, dump "
            "C:\\Windows\\MEMORY.DMP",
            "Total Downtime: 0d 0h:5m:30s\r\nTotal Reboots: 3", "Total Bluescreens: 2"});
}

RecordedSystem August(std::string oldest = {}) {
    const auto log = RecordedLog()
                         .Boot("2013-07-20T09:00:00Z")
                         .Shutdown("2013-07-31T22:59:59Z")  // 31/07 23:59:59 in London
                         .Boot("2013-07-31T23:00:00Z")      // 01/08 00:00:00 in London
                         .Shutdown("2013-08-10T10:00:00Z")
                         .Boot("2013-08-10T10:02:00Z");
    return SystemOf(log, "2013-08-20T23:00:00Z", std::move(oldest));
}

TEST(ReportWindows, DateSwitchStartsAtTheLocalMidnight) {
    // Twenty days exactly, two minutes of them down: 1727880 / 1728000 = 99.99305..%.
    Expect(Report(August(), {"/s", "/d:8/1/2013"}),
           {"01/08/2013    00:00:00  Boot", "Since 01/08/2013:",
            "System Availability: 99.9931%\r\nTotal Uptime: 19d 23h:58m:0s\r\n"
            "Total Downtime: 0d 0h:2m:0s\r\nTotal Reboots: 2\r\n"
            "Mean Time Between Reboots: 10.00 days"},
           {"31/07/2013"});
}

TEST(ReportWindows, DaysSwitchCountsBackFromNow) {
    // 15 days back from 20/08 23:00 UTC is 05/08 23:00 UTC: only the August restart is in. From
    // the shutdown to now, 910800 s, 120 s down: 99.98682..%; one boot.
    Expect(Report(August(), {"/s", "/p:15"}),
           {"10/08/2013    11:00:00  Shutdown",
            "Since 10/08/2013:", "System Availability: 99.9868%\r\nTotal Uptime: 10d 12h:58m:0s",
            "Mean Time Between Reboots: 10.54 days"},
           {"01/08/2013"});
}

TEST(ReportWindows, APeriodWithoutEventsGivesNoFigures) {
    Expect(Report(August(), {"/s", "/p:10"}),
           {"No events of these kinds were logged in this period.",
            "Current System Uptime: 0 day(s), 1 hour(s), 0 minute(s), 0 second(s)"},
           {"Since ", "Total "});
}

TEST(ReportWindows, SaysWhenTheLogBeginsAfterThePeriodStarts) {
    const std::string oldest =
        "<Event><System><EventID>6005</EventID>"
        "<TimeCreated SystemTime='2013-07-20T09:00:00.0000000Z'/></System></Event>";
    Expect(Report(August(oldest), {"/s", "/d:7/1/2013"}),
           {"The System log begins at 20/07/2013 10:00:00: it holds no older events."});
    Expect(Report(August(oldest), {"/s", "/d:8/1/2013"}), {}, {"The System log begins"});
}

TEST(ReportShortLogs, AnEmptyLogStillGivesTheUptime) {
    // A log that holds only the system's version is no better than an empty one.
    for (const RecordedLog& log :
         {RecordedLog(), RecordedLog().OsVersion("2013-03-01T06:00:00Z")}) {
        for (const char* reportSwitch : {"/s", "/a"}) {
            EXPECT_EQ(Report(SystemOf(log, "2013-03-04T06:00:00Z"), {reportSwitch}),
                      UptimeLine("SRV01", 3600) +
                          "\r\nNo events are available: the System log holds none of the events "
                          "this report is made of.\r\n");
        }
    }
}

TEST(ReportShortLogs, AShutdownWithoutABootBeforeItLeavesAGap) {
    // Up a day and a day, down an hour; the hour between the shutdowns is unknown.
    const auto log = RecordedLog()
                         .Boot("2013-03-01T06:00:00Z")
                         .Shutdown("2013-03-02T06:00:00Z")
                         .Shutdown("2013-03-02T07:00:00Z")
                         .Boot("2013-03-02T08:00:00Z");
    Expect(Report(SystemOf(log, "2013-03-03T08:00:00Z")),
           {"02/03/2013    07:00:00  Shutdown             Prior uptime: not known (no boot "
            "logged before it)",
            "Total Uptime: 2d 0h:0m:0s\r\nTotal Downtime: 0d 1h:0m:0s",
            "Unaccounted Time: 0d 1h:0m:0s (the log does not show whether the system was up)"});
}

TEST(ReportShortLogs, AClearedSystemLogIsARow) {
    const auto log = RecordedLog()
                         .LogCleared("2013-03-01T05:59:00Z", "System")
                         .LogCleared("2013-03-01T05:59:30Z", "Windows PowerShell")
                         .Boot("2013-03-01T06:00:00Z");
    Expect(Report(SystemOf(log, "2013-03-02T06:00:00Z")),
           {"01/03/2013    05:59:00  Log cleared          System log, by CONTOSO\\admin; older "
            "events are gone"},
           {"05:59:30"});
}

TEST(ReportShortLogs, UnreadableRecordsAreCountedNotGuessed) {
    const auto log = RecordedLog()
                         .Boot("2013-03-01T06:00:00Z")
                         .Raw("<Event><System><EventID>6006</EventID>")
                         .Raw("");
    Expect(Report(SystemOf(log, "2013-03-02T06:00:00Z")),
           {"2 event record(s) could not be read and are left out.", "Total Uptime: 1d 0h:0m:0s"});
}

TEST(ReportApplicationFailures, ListedAndCountedWithSlashAOnly) {
    RecordedSystem system =
        SystemOf(RecordedLog().Boot("2013-03-01T06:00:00Z"), "2013-03-02T06:00:00Z");
    system.logs["Application"].records =
        RecordedLog()
            .ApplicationError("2013-03-01T09:15:00Z", "notepad.exe")
            .ApplicationHang("2013-03-01T10:20:00Z", "EXCEL.EXE")
            .records();
    Expect(Report(system, {"/a"}), {"01/03/2013    09:15:00  Application failure  notepad.exe",
                                    "01/03/2013    10:20:00  Application hang     EXCEL.EXE",
                                    "Total Application Failures: 2"});
    Expect(Report(system, {"/s"}), {}, {"Application"});

    system.logs["Application"] = {LogStatus::Failed, {}, {}, "The handle is invalid, error 6"};
    Expect(Report(system, {"/a"}), {"The Application log could not be read (The handle is invalid, "
                                    "error 6): its failures are missing.",
                                    "Total Application Failures: not known"});
    system.logs["Application"].status = LogStatus::AccessDenied;
    EXPECT_EQ(RunTool({"/a"}, kMachine, system).exitCode, kAccessDenied);
}

}  // namespace
}  // namespace uptime::test
