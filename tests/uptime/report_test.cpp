// The report's rows and figures for the histories administrators meet: clock changes, crashes,
// restricted periods, short or broken logs. Expected figures are worked out by hand beside
// each case; times are UTC, the table shows London time.
#include <gtest/gtest.h>

#include "uptime/recorded_events.h"
#include "uptime/tool.h"

namespace uptime::test {
namespace {

const LocalMachine kMachine{"SRV01", 3600, "Windows 7 Professional Multiprocessor Free",
                            "GMT Standard Time"};

std::string Report(const RecordedLog& log, const std::string& now,
                   const std::vector<std::string>& args = {"/s"}, std::string oldest = {}) {
    RecordedSystem system(Utc(now));
    LogReading reading;
    reading.records = log.records();
    reading.oldestRecord = std::move(oldest);
    system.logs["System"] = reading;
    const ToolResult result = RunTool(args, kMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess) << result.output;
    return result.output;
}

// The rest of the line that starts with `start`, or "(missing)".
std::string After(const std::string& report, const std::string& start) {
    const std::string text = "\r\n" + report;
    const std::size_t at = text.find("\r\n" + start);
    if (at == std::string::npos) {
        return "(missing)";
    }
    const std::size_t from = at + 2 + start.size();
    return text.substr(from, text.find("\r\n", from) - from);
}

bool HasLine(const std::string& report, const std::string& line) {
    return report.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST(ReportDaylightSaving, SpringForwardAddsNoHour) {
    // Boot at 12:00 GMT, shutdown two days later at 13:00 BST: two days up, not two days and
    // one hour.
    RecordedLog log;
    log.Boot("2013-03-30T12:00:00Z").Shutdown("2013-04-01T12:00:00Z").Boot("2013-04-01T12:05:00Z");
    const std::string report = Report(log, "2013-04-01T13:05:00Z");
    EXPECT_TRUE(HasLine(report, "30/03/2013    12:00:00  Boot")) << report;
    EXPECT_TRUE(HasLine(report,
                        "01/04/2013    13:00:00  Shutdown             "
                        "Prior uptime:2d 0h:0m:0s"))
        << report;
    EXPECT_TRUE(HasLine(report,
                        "01/04/2013    13:05:00  Boot                 "
                        "Prior downtime:0d 0h:5m:0s"))
        << report;
    // Two days plus the hour since the last boot.
    EXPECT_EQ(After(report, "Total Uptime: "), "2d 1h:0m:0s");
}

TEST(ReportDaylightSaving, FallBackRemovesNoHour) {
    // On 27 October 2013 the clock showed 01:30 twice: at 00:30 UTC (BST) and 01:30 UTC (GMT).
    RecordedLog log;
    log.Boot("2013-10-27T00:30:00Z").Shutdown("2013-10-27T01:30:00Z").Boot("2013-10-27T01:40:00Z");
    const std::string report = Report(log, "2013-10-27T02:40:00Z");
    EXPECT_TRUE(HasLine(report, "27/10/2013    01:30:00  Boot")) << report;
    EXPECT_TRUE(HasLine(report,
                        "27/10/2013    01:30:00  Shutdown             "
                        "Prior uptime:0d 1h:0m:0s"))
        << report;
    // Up 1 h + 1 h, down 10 min, over 2 h 10 min: 7200 / 7800 = 92.30769..%; two boots,
    // 7800 s / 86400 / 2 = 0.045 days.
    EXPECT_EQ(After(report, "Total Uptime: "), "0d 2h:0m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:10m:0s");
    EXPECT_EQ(After(report, "System Availability: "), "92.3077%");
    EXPECT_EQ(After(report, "Mean Time Between Reboots: "), "0.05 days");
}

TEST(ReportUnexpectedShutdowns, UptimeEndsAtTheLastTimeTheSystemRan) {
    // The 6008 is logged after the next boot but names 08:55:00 UTC, the last time the system
    // was known to run; Kernel-Power's 41 comes early in the boot.
    RecordedLog log;
    log.Boot("2013-02-01T08:00:00Z")
        .PowerLoss("2013-02-05T09:00:05Z")
        .Boot("2013-02-05T09:00:20Z")
        .UnexpectedShutdown("2013-02-05T09:00:30Z", "2013-02-05T08:55:00Z", 0);
    const std::string report = Report(log, "2013-02-06T09:00:20Z");
    const std::string rows =
        "01/02/2013    08:00:00  Boot\r\n"
        "05/02/2013    08:55:00  Unexpected shutdown  Prior uptime:4d 0h:55m:0s\r\n"
        "05/02/2013    09:00:05  Power loss           rebooted without a clean shutdown\r\n"
        "05/02/2013    09:00:20  Boot                 Prior downtime:0d 0h:5m:20s\r\n";
    EXPECT_NE(report.find(rows), std::string::npos) << report;
    // Up 4d 0h:55m plus the day since the boot; down 320 s; the period is 5d 1h:0m:20s
    // (435620 s): 435300 / 435620 = 99.92654..%, and 5.0419 days / 2 boots = 2.52.
    EXPECT_EQ(After(report, "Total Uptime: "), "5d 0h:55m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:5m:20s");
    EXPECT_EQ(After(report, "System Availability: "), "99.9265%");
    EXPECT_EQ(After(report, "Total Reboots: "), "2");
    EXPECT_EQ(After(report, "Mean Time Between Reboots: "), "2.52 days");
}

TEST(ReportUnexpectedShutdowns, WithoutItsLastRunningTimeTheGapIsNotCounted) {
    // A 6008 whose binary data is missing: it cannot be placed before the boot, so the time
    // between the two boots is neither up nor down.
    RecordedLog log;
    log.Boot("2013-02-01T08:00:00Z")
        .Boot("2013-02-05T09:00:20Z")
        .Raw(
            "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
            "<Provider Name='EventLog'/><EventID Qualifiers='32768'>6008</EventID>"
            "<TimeCreated SystemTime='2013-02-05T09:00:30.000000000Z'/>"
            "<Channel>System</Channel></System><EventData><Data>8:55:00</Data>"
            "<Data>\xE2\x80\x8E"
            "5/\xE2\x80\x8E"
            "2/\xE2\x80\x8E"
            "2013</Data></EventData></Event>");
    const std::string report = Report(log, "2013-02-06T09:00:20Z");
    EXPECT_TRUE(HasLine(report,
                        "05/02/2013    09:00:20  Boot                 "
                        "Prior downtime: not known (no shutdown logged before it)"))
        << report;
    EXPECT_TRUE(HasLine(report,
                        "05/02/2013    09:00:30  Unexpected shutdown  "
                        "last ran at 8:55:00 5/2/2013 by its own clock"))
        << report;
    // Only the day since the last boot is known to be up; 4d 1h:0m:20s is not accounted.
    EXPECT_EQ(After(report, "Total Uptime: "), "1d 0h:0m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:0m:0s");
    EXPECT_EQ(After(report, "Unaccounted Time: "),
              "4d 1h:0m:20s (the log does not show whether the system was up)");
    EXPECT_EQ(After(report, "System Availability: "), "100.0000% (of the accounted time)");
}

TEST(ReportBluescreens, EachBugcheckIsARowAndCounted) {
    RecordedLog log;
    log.Boot("2013-06-01T07:00:00Z")
        .Boot("2013-06-03T10:01:00Z")
        .Bluescreen("2013-06-03T10:01:40Z", "0x0000009f")
        .UnexpectedShutdown("2013-06-03T10:01:05Z", "2013-06-03T09:58:00Z", 1)
        .Boot("2013-06-04T10:00:00Z")
        .Bluescreen("2013-06-04T10:00:50Z", "0x000000d1")
        .UnexpectedShutdown("2013-06-04T10:00:10Z", "2013-06-04T09:57:30Z", 1);
    // A bugcheck from another source with the same event ID is no bluescreen.
    log.Raw(
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
        "<Provider Name='Microsoft-Windows-Kernel-Boot'/><EventID>1001</EventID>"
        "<TimeCreated SystemTime='2013-06-04T10:00:55.0000000Z'/><Channel>System</Channel>"
        "</System><EventData><Data Name='param1'>0x0000009f</Data></EventData></Event>");
    const std::string report = Report(log, "2013-06-05T10:00:00Z");
    EXPECT_TRUE(HasLine(report,
                        "03/06/2013    11:01:40  Bluescreen           "
                        "Stop 0x0000009f, dump C:\\Windows\\MEMORY.DMP"))
        << report;
    EXPECT_TRUE(HasLine(report,
                        "04/06/2013    11:00:50  Bluescreen           "
                        "Stop 0x000000d1, dump C:\\Windows\\MEMORY.DMP"))
        << report;
    EXPECT_EQ(After(report, "Total Bluescreens: "), "2");
    EXPECT_EQ(After(report, "Total Reboots: "), "3");
    // Downtimes 3m + 2m30s.
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:5m:30s");
}

RecordedLog AugustHistory() {
    RecordedLog log;
    log.Boot("2013-07-20T09:00:00Z")
        .Shutdown("2013-07-31T22:59:59Z")  // 31/07 23:59:59 in London
        .Boot("2013-07-31T23:00:00Z")      // 01/08 00:00:00 in London
        .Shutdown("2013-08-10T10:00:00Z")
        .Boot("2013-08-10T10:02:00Z");
    return log;
}

TEST(ReportWindows, DateSwitchStartsAtTheLocalMidnight) {
    const std::string report =
        Report(AugustHistory(), "2013-08-20T23:00:00Z", {"/s", "/d:8/1/2013"});
    EXPECT_EQ(report.find("31/07/2013"), std::string::npos) << report;
    EXPECT_TRUE(HasLine(report, "01/08/2013    00:00:00  Boot")) << "first row, no partner";
    EXPECT_EQ(After(report, "Since "), "01/08/2013:");
    // Twenty days exactly, two minutes of them down: 1727880 / 1728000 = 99.99305..%.
    EXPECT_EQ(After(report, "Total Uptime: "), "19d 23h:58m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:2m:0s");
    EXPECT_EQ(After(report, "System Availability: "), "99.9931%");
    EXPECT_EQ(After(report, "Total Reboots: "), "2");
    EXPECT_EQ(After(report, "Mean Time Between Reboots: "), "10.00 days");
}

TEST(ReportWindows, DaysSwitchCountsBackFromNow) {
    // 15 days back from 20/08 23:00 UTC is 05/08 23:00 UTC: only the August restart is in.
    const std::string report = Report(AugustHistory(), "2013-08-20T23:00:00Z", {"/s", "/p:15"});
    EXPECT_EQ(report.find("01/08/2013"), std::string::npos) << report;
    EXPECT_TRUE(HasLine(report, "10/08/2013    11:00:00  Shutdown")) << report;
    EXPECT_EQ(After(report, "Since "), "10/08/2013:");
    // From the shutdown to now, 10d 13h (910800 s), 120 s down: 99.98682..%; one boot.
    EXPECT_EQ(After(report, "Total Uptime: "), "10d 12h:58m:0s");
    EXPECT_EQ(After(report, "System Availability: "), "99.9868%");
    EXPECT_EQ(After(report, "Mean Time Between Reboots: "), "10.54 days");
}

TEST(ReportWindows, APeriodWithoutEventsGivesNoFigures) {
    const std::string report = Report(AugustHistory(), "2013-08-20T23:00:00Z", {"/s", "/p:10"});
    EXPECT_NE(report.find("No events of these kinds were logged in this period."),
              std::string::npos)
        << report;
    EXPECT_EQ(After(report, "Current System Uptime: "),
              "0 day(s), 1 hour(s), 0 minute(s), 0 second(s)");
    EXPECT_EQ(report.find("Since "), std::string::npos);
    EXPECT_EQ(report.find("Total "), std::string::npos);
}

TEST(ReportWindows, SaysWhenTheLogBeginsAfterThePeriodStarts) {
    const std::string oldest =
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
        "<Provider Name='EventLog'/><EventID Qualifiers='32768'>6005</EventID>"
        "<TimeCreated SystemTime='2013-07-20T09:00:00.0000000Z'/></System></Event>";
    const std::string early =
        Report(AugustHistory(), "2013-08-20T23:00:00Z", {"/s", "/d:7/1/2013"}, oldest);
    EXPECT_NE(early.find("\r\nThe System log begins at 20/07/2013 10:00:00: it holds no older "
                         "events.\r\n"),
              std::string::npos)
        << early;
    const std::string covered =
        Report(AugustHistory(), "2013-08-20T23:00:00Z", {"/s", "/d:8/1/2013"}, oldest);
    EXPECT_EQ(covered.find("The System log begins"), std::string::npos) << covered;
}

TEST(ReportShortLogs, TheFirstEventIsABoot) {
    RecordedLog log;
    log.OsVersion("2013-03-01T06:00:00Z").Boot("2013-03-01T06:00:00Z");
    const std::string report = Report(log, "2013-03-04T06:00:00Z");
    EXPECT_TRUE(HasLine(report, "01/03/2013    06:00:00  Boot")) << "nothing before it to tell";
    EXPECT_EQ(After(report, "Since "), "01/03/2013:");
    EXPECT_EQ(After(report, "System Availability: "), "100.0000%");
    EXPECT_EQ(After(report, "Total Uptime: "), "3d 0h:0m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 0h:0m:0s");
    EXPECT_EQ(After(report, "Total Reboots: "), "1");
    EXPECT_EQ(After(report, "Mean Time Between Reboots: "), "3.00 days");
    EXPECT_EQ(report.find("Unaccounted"), std::string::npos);
}

TEST(ReportShortLogs, AnEmptyLogStillGivesTheUptime) {
    // A log that holds only the system's version is no better than an empty one.
    RecordedLog versionOnly;
    versionOnly.OsVersion("2013-03-01T06:00:00Z");
    for (const std::vector<std::string>& records :
         {std::vector<std::string>{}, versionOnly.records()}) {
        for (const char* reportSwitch : {"/s", "/a"}) {
            RecordedSystem system(Utc("2013-03-04T06:00:00Z"));
            system.logs["System"].records = records;
            const ToolResult result = RunTool({reportSwitch}, kMachine, system);
            EXPECT_EQ(result.exitCode, kSuccess);
            EXPECT_EQ(result.output,
                      UptimeLine("SRV01", 3600) +
                          "\r\nNo events are available: the System log holds none of the "
                          "events this report is made of.\r\n");
        }
    }
}

TEST(ReportShortLogs, AShutdownWithoutABootBeforeItLeavesAGap) {
    RecordedLog log;
    log.Boot("2013-03-01T06:00:00Z")
        .Shutdown("2013-03-02T06:00:00Z")
        .Shutdown("2013-03-02T07:00:00Z")
        .Boot("2013-03-02T08:00:00Z");
    const std::string report = Report(log, "2013-03-03T08:00:00Z");
    EXPECT_TRUE(HasLine(report,
                        "02/03/2013    07:00:00  Shutdown             "
                        "Prior uptime: not known (no boot logged before it)"))
        << report;
    // Up 1 day + 1 day, down 1 hour, and the hour between the two shutdowns is unknown.
    EXPECT_EQ(After(report, "Total Uptime: "), "2d 0h:0m:0s");
    EXPECT_EQ(After(report, "Total Downtime: "), "0d 1h:0m:0s");
    EXPECT_EQ(After(report, "Unaccounted Time: "),
              "0d 1h:0m:0s (the log does not show whether the system was up)");
}

TEST(ReportShortLogs, AClearedLogIsARow) {
    RecordedLog log;
    log.LogCleared("2013-03-01T05:59:00Z", "System")
        .LogCleared("2013-03-01T05:59:30Z", "Windows PowerShell")
        .Boot("2013-03-01T06:00:00Z");
    const std::string report = Report(log, "2013-03-02T06:00:00Z");
    EXPECT_TRUE(HasLine(report,
                        "01/03/2013    05:59:00  Log cleared          "
                        "System log, by CONTOSO\\admin; older events are gone"))
        << report;
    EXPECT_EQ(report.find("05:59:30"), std::string::npos) << "another log's clearing";
}

TEST(ReportApplicationFailures, ListedAndCountedWithSlashAOnly) {
    RecordedLog system;
    system.Boot("2013-03-01T06:00:00Z");
    RecordedLog application;
    application.ApplicationError("2013-03-01T09:15:00Z", "notepad.exe")
        .ApplicationHang("2013-03-01T10:20:00Z", "EXCEL.EXE");
    RecordedSystem withFailures(Utc("2013-03-02T06:00:00Z"));
    withFailures.logs["System"].records = system.records();
    withFailures.logs["Application"].records = application.records();

    const std::string all = RunTool({"/a"}, kMachine, withFailures).output;
    EXPECT_TRUE(HasLine(all, "01/03/2013    09:15:00  Application failure  notepad.exe")) << all;
    EXPECT_TRUE(HasLine(all, "01/03/2013    10:20:00  Application hang     EXCEL.EXE")) << all;
    EXPECT_EQ(After(all, "Total Application Failures: "), "2");

    const std::string systemOnly = RunTool({"/s"}, kMachine, withFailures).output;
    EXPECT_EQ(systemOnly.find("Application"), std::string::npos) << systemOnly;
}

TEST(ReportApplicationFailures, AnUnreadableApplicationLogIsNamedNotCounted) {
    RecordedLog log;
    log.Boot("2013-03-01T06:00:00Z");
    RecordedSystem system(Utc("2013-03-02T06:00:00Z"));
    system.logs["System"].records = log.records();
    system.logs["Application"] = {LogStatus::Failed, {}, {}, "The handle is invalid, error 6"};
    const ToolResult result = RunTool({"/a"}, kMachine, system);
    EXPECT_EQ(result.exitCode, kSuccess);
    EXPECT_TRUE(HasLine(result.output,
                        "The Application log could not be read (The handle is "
                        "invalid, error 6): its failures are missing."))
        << result.output;
    EXPECT_EQ(After(result.output, "Total Application Failures: "), "not known");

    system.logs["Application"].status = LogStatus::AccessDenied;
    EXPECT_EQ(RunTool({"/a"}, kMachine, system).exitCode, kAccessDenied);
}

TEST(ReportShortLogs, UnreadableRecordsAreCountedNotGuessed) {
    RecordedLog log;
    log.Boot("2013-03-01T06:00:00Z").Raw("<Event><System><EventID>6006</EventID>").Raw("");
    const std::string report = Report(log, "2013-03-02T06:00:00Z");
    EXPECT_TRUE(HasLine(report, "2 event record(s) could not be read and are left out.")) << report;
    EXPECT_EQ(After(report, "Total Uptime: "), "1d 0h:0m:0s");
}

}  // namespace
}  // namespace uptime::test
