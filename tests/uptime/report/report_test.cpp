// The report from records as EvtRender gives them: the published sample exactly, then histories
// administrators meet, figured by hand. Times are UTC; the table shows London time.
#include <gtest/gtest.h>

#include <tuple>

#include "uptime/recorded_system.h"
#include "uptime/report/availability_strip.h"
#include "uptime/report/csv_report.h"
#include "uptime/tool/tool.h"

namespace uptime {
namespace {

using Log = std::vector<std::string>;
using ombrix::base::FailureKind;

UtcSeconds Utc(const std::string& text) {
    return ParseSystemTime(text).value();
}

// GMT, and BST (UTC+1) in the summer of 2013, the only one the histories cross.
std::int64_t LondonOffset(UtcSeconds instant) {
    return instant >= Utc("2013-03-31T01:00:00Z") && instant < Utc("2013-10-27T01:00:00Z") ? 3600
                                                                                           : 0;
}

std::string Data(const std::string& name, const std::string& value) {
    return (name.empty() ? "<Data>" : "<Data Name='" + name + "'>") + value + "</Data>";
}

const std::string kEventLog = "<Provider Name='EventLog'/>";

std::string Event(const std::string& provider, unsigned id, const std::string& utc,
                  const std::string& data) {
    return "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>" +
           provider + "<EventID Qualifiers='32768'>" + std::to_string(id) +
           "</EventID><TimeCreated SystemTime='" + utc.substr(0, 19) +
           ".500000000Z'/><Channel>System</Channel></System><EventData>" + data +
           "</EventData></Event>";
}

std::string Boot(const std::string& utc) {
    return Event(kEventLog, 6005, utc, "<Data></Data>");
}

std::string Shutdown(const std::string& utc) {
    return Event(kEventLog, 6006, utc, "<Data></Data>");
}

// Logged after the next boot; names the last time the system ran in SYSTEMTIMEs, local time
// (an hour ahead) and UTC. 1970-01-01 was a Thursday.
std::string Unexpected(const std::string& utc, const std::string& lastRunning) {
    std::string hex;
    for (const UtcSeconds instant : {Utc(lastRunning) + 3600, Utc(lastRunning)}) {
        const CivilTime time = ToCivil(instant);
        for (const int word :
             {time.date.year, time.date.month, static_cast<int>((instant / 86400 + 4) % 7),
              time.date.day, time.hour, time.minute, time.second, 500}) {
            for (const int byte : {word & 0xFF, word >> 8}) {
                hex += "0123456789ABCDEF"[byte >> 4];
                hex += "0123456789ABCDEF"[byte & 0xF];
            }
        }
    }
    return Event(kEventLog, 6008, utc, "<Binary>" + hex + "</Binary>");
}

std::string OsVersion(const std::string& utc) {
    return Event(kEventLog, 6009, utc,
                 Data("", "6.01.") + Data("", "7601") + Data("", "Service Pack 1") +
                     Data("", "Multiprocessor Free"));
}

std::string PowerLoss(const std::string& utc) {
    return Event("<Provider Name='Microsoft-Windows-Kernel-Power'/>", 41, utc,
                 Data("BugcheckCode", "0") + Data("SleepInProgress", "false"));
}

std::string Bluescreen(const std::string& utc, const std::string& stopCode) {
    return Event(
        "<Provider Name='Microsoft-Windows-WER-SystemErrorReporting' "
        "EventSourceName='BugCheck'/>",
        1001, utc,
        Data("param1", stopCode + " (0x0000000000000003, 0xfffffa8004b6e060)") +
            Data("param2", "C:\\Windows\\MEMORY.DMP"));
}

// The daily uptime record as Windows writes it: four empty values, then the seconds the system
// counted since it started.
std::string UptimeRecord(const std::string& utc, std::int64_t seconds) {
    return Event(kEventLog, 6013, utc,
                 "<Data></Data><Data></Data><Data></Data><Data></Data>" +
                     Data("", std::to_string(seconds)) + Data("", "60") +
                     Data("", "0 GMT Standard Time"));
}

std::string RestartRequest(const std::string& utc, const std::string& program,
                           const std::string& reason, const std::string& user,
                           const std::string& comment) {
    return Event("<Provider Name='User32' EventSourceName='User32'/>", 1074, utc,
                 Data("param1", program) + Data("param2", "SRV01") + Data("param3", reason) +
                     Data("param4", "0x80000000") + Data("param5", "restart") +
                     Data("param6", comment) + Data("param7", user));
}

// The published sample of the classic report (an /a run, dates day first), rebuilt from an
// event history that agrees with every row and figure it shows. British time: GMT in December,
// BST from 31 March 2013. The period (10/12/2012 16:02:14 to "now", 12/09/2013 11:00:23) is
// 23,824,689 s; the published totals split it into 275d 17h:42m:17s up and 952 s down. The
// elided rows therefore add three reboots with 591 s of downtime (185 + 201 + 205) and prior
// uptimes summing to 91d 16h:45m:27s. One shutdown is announced by a restart request, one is
// unexpected (a 6008 with Kernel-Power's 41); they change no figure. Availability 23,823,737 /
// 23,824,689 = 99.9960%; 275.7487 days / 5 boots = 55.15. The current uptime is the system's own
// count, 22 s more than since the boot event. The strip after the figures shows it up all along:
// each of its 60 marks stands for 4.6 days, and no outage lasts four minutes.
TEST(ReportGolden, ThePublishedSampleComesOutExactly) {
    const LocalMachine machine{"computer_name", 12 * 86400 + 18 * 3600 + 48 * 60 + 33,
                               "Windows Server 2008 R2 Enterprise Multiprocessor Free",
                               "@tzres.dll,-261"};
    const Log log = {
        Shutdown("2012-12-10T16:02:14Z"),
        Boot("2012-12-10T16:05:07Z"),
        OsVersion("2012-12-10T16:05:07Z"),
        Shutdown("2013-05-30T22:13:46Z"),
        Boot("2013-05-30T22:16:51Z"),
        RestartRequest("2013-07-14T02:02:11Z", "C:\\Windows\\system32\\wuauclt.exe (SRV01)",
                       "Operating System: Service pack (Planned)", "NT AUTHORITY\\SYSTEM", ""),
        Shutdown("2013-07-14T02:02:40Z"),
        Boot("2013-07-14T02:06:01Z"),
        PowerLoss("2013-08-11T00:33:29Z"),
        Boot("2013-08-11T00:33:42Z"),
        Unexpected("2013-08-11T00:33:42Z", "2013-08-11T00:30:17Z"),
        Shutdown("2013-08-30T15:09:04Z"),
        Boot("2013-08-30T15:12:12Z"),
    };
    // The sample's lines, with the rows it elides ("...") in their places.
    const test::RecordedSystem system(Utc("2013-09-12T10:00:23Z"), log, LondonOffset);
    EXPECT_EQ(RunTool({"/a"}, machine, system).output,
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
              "Total Application Failures: 0\r\n"
              "\r\n"
              "10/12/2012                                        12/09/2013\r\n"
              "############################################################\r\n"
              "# up  - down (clean shutdown)  X down (unexpected shutdown)  . not known\r\n");
}

// Histories read from another machine, whose own uptime count the report does not have, each
// figured by hand.
TEST(ReportCases, HistoriesAdministratorsMeet) {
    struct Case {
        const char* now;
        Log log;
        std::vector<std::string> lines;  // whole lines of the report, runs of them in order
        std::vector<std::string> absent = {};
        const char* period = "/s";     // or a /d: switch
        const char* firstRecord = "";  // the time of the log's oldest record, if before the events
    };
    const std::string shutdown =
        RestartRequest("2013-05-02T07:00:00Z", "C:\\Windows\\system32\\shutdown.exe (SRV01)",
                       "Other (Planned)", "SRV01\\admin", "new disk,\r\n\tsee ticket 4711\r\n");
    const Case cases[] = {
        // Each bluescreen is a row and counted.
        {"2013-06-05T10:00:00Z",
         {Boot("2013-06-01T07:00:00Z"), Boot("2013-06-03T10:01:00Z"),
          Bluescreen("2013-06-03T10:01:40Z", "0x0000009f"),
          Unexpected("2013-06-03T10:01:05Z", "2013-06-03T09:58:00Z"), Boot("2013-06-04T10:00:00Z"),
          Bluescreen("2013-06-04T10:00:50Z", "0x000000d1"),
          Unexpected("2013-06-04T10:00:10Z", "2013-06-04T09:57:30Z")},
         {"03/06/2013    11:01:40  Bluescreen           Stop 0x0000009f, dump "
          "C:\\Windows\\MEMORY.DMP",
          "Total Bluescreens: 2"}},
        // A comment on several lines stays in its row.
        {"2013-05-02T08:00:00Z",
         {Boot("2013-05-01T07:00:00Z"), shutdown, Shutdown("2013-05-02T07:00:05Z")},
         {"02/05/2013    08:00:00  Restart requested    by SRV01\\admin via "
          "C:\\Windows\\system32\\shutdown.exe (SRV01): Other (Planned) (new disk, see ticket "
          "4711)"}},
        // /d: counts from the local midnight.
        {"2013-08-20T23:00:00Z",
         {Boot("2013-07-20T09:00:00Z"), Shutdown("2013-07-31T22:59:59Z"),  // 23:59:59 local
          Boot("2013-07-31T23:00:00Z"), Shutdown("2013-08-10T10:00:00Z"),
          Boot("2013-08-10T10:02:00Z")},
         {"01/08/2013    00:00:00  Boot", "Since 01/08/2013:"},
         {"31/07/2013"},
         "/d:8/1/2013"},
        // Up 72 h from the first boot; at 52 h the system had counted only 28 h: a day asleep.
        // Down 5 min; up two days from the second boot; at 27h 55m it had counted 25h 55m: 2 h
        // asleep.
        {"2013-02-06T08:05:00Z",
         {Boot("2013-02-01T08:00:00Z"),
          UptimeRecord("2013-02-01T08:00:00Z", 12),  // the kernel started 12 s before the event
          UptimeRecord("2013-02-03T12:00:00Z", 28 * 3600), Shutdown("2013-02-04T08:00:00Z"),
          Boot("2013-02-04T08:05:00Z"), UptimeRecord("2013-02-05T12:00:00Z", 25 * 3600 + 55 * 60)},
         {"04/02/2013    08:00:00  Shutdown             Prior uptime:3d 0h:0m:0s, asleep at "
          "least 1d 0h:0m:0s",
          "Current System Uptime: 2 day(s), 0 hour(s), 0 minute(s), 0 second(s)\r\n(of it "
          "asleep or hibernating at least 0 day(s), 2 hour(s), 0 minute(s), 0 second(s), by the "
          "system's own uptime count)",
          "Total Uptime: 5d 0h:0m:0s\r\nTotal Downtime: 0d 0h:5m:0s\r\nTime Asleep or "
          "Hibernating: at least 1d 2h:0m:0s, "
          "counted in the uptime\r\nTotal Reboots: 2"}},
        // Nine minutes short is a clock set right, not sleep.
        {"2013-02-03T08:00:00Z",
         {Boot("2013-02-01T08:00:00Z"), UptimeRecord("2013-02-02T08:00:00Z", 85860)},
         {"Total Uptime: 2d 0h:0m:0s"},
         {"sleep", "asleep"}},
        // The log began days before a boot with no shutdown logged: what came between is not
        // known.
        {"2013-04-02T07:05:00Z",
         {Boot("2013-04-01T07:00:00Z"), Shutdown("2013-04-02T07:00:00Z"),
          Boot("2013-04-02T07:05:00Z")},
         {"01/04/2013    08:00:00  Boot                 Prior downtime: not known (no shutdown "
          "logged before it)",
          "Unaccounted Time: 3d 0h:0m:0s (the log does not show whether the system was up)"},
         {},
         "/s",
         "2013-03-29T07:00:00Z"},
        // Before a first shutdown the system was up, at least since the log began.
        {"2013-04-02T07:05:00Z",
         {Shutdown("2013-04-01T07:00:00Z"), Boot("2013-04-01T07:05:00Z")},
         {"01/04/2013    08:00:00  Shutdown             Prior uptime:at least 2d 0h:0m:0s (the "
          "log begins after its boot)",
          "Since 30/03/2013:"},
         {"Unaccounted"},
         "/s",
         "2013-03-30T07:00:00Z"},
        // Sixty hours from the log's first record, one mark an hour: 10 not known before the
        // first boot, 24 up, 3 down after a shutdown, 11 up, 2 down after a crash, 10 up.
        // 45 h up, 5 h down: 90%.
        {"2013-01-12T12:00:00Z",
         {Boot("2013-01-10T10:00:00Z"), Shutdown("2013-01-11T10:00:00Z"),
          Boot("2013-01-11T13:00:00Z"), Boot("2013-01-12T02:00:00Z"),
          Unexpected("2013-01-12T02:00:05Z", "2013-01-12T00:00:00Z")},
         {"System Availability: 90.0000% (of the accounted time)",
          "10/01/2013                                        12/01/2013\r\n" +
              std::string(10, '.') + std::string(24, '#') + std::string(3, '-') +
              std::string(11, '#') + std::string(2, 'X') + std::string(10, '#') +
              "\r\n# up  - down (clean shutdown)  X down (unexpected shutdown)  . not known"},
         {},
         "/s",
         "2013-01-10T00:00:00Z"},
    };
    for (const Case& c : cases) {
        test::RecordedSystem system(Utc(c.now), c.log, LondonOffset);
        if (*c.firstRecord != '\0') {
            system.SetOldestRecord(Event("<Provider Name='Microsoft-Windows-Kernel-General'/>", 12,
                                         c.firstRecord, ""));
        }
        const std::string report =
            RunTool({"\\\\FAR", "/s", c.period}, {"SRV01", 3600, "", "GMT Standard Time"}, system)
                .output;
        for (const std::string& line : c.lines) {
            EXPECT_NE(("\r\n" + report).find("\r\n" + line + "\r\n"), std::string::npos)
                << line << "\n in:\n"
                << report;
        }
        for (const std::string& text : c.absent) {
            EXPECT_EQ(report.find(text), std::string::npos) << text << "\n in:\n" << report;
        }
    }
}

// Machines whose periods differ, drawn over the period they share: every mark stands for the
// same 18 minutes in each row. One is up from midnight to its log's end at noon, the other from
// its first boot at 06:00 to 18:00. The scale's dates are in the report's clock.
TEST(AvailabilityStrip, StripsOfOnePeriodLineUp) {
    const UtcSeconds midnight = Utc("2013-01-10T00:00:00Z");
    ReportInput early;
    early.now = midnight + 12 * 3600;
    early.events = {{EventKind::Boot, midnight, ""}};
    ReportInput late;
    late.now = midnight + 18 * 3600;
    late.events = {{EventKind::Boot, midnight + 6 * 3600, ""}};
    EXPECT_EQ(StripLine(early, midnight, late.now), std::string(40, '#') + std::string(20, '.'));
    EXPECT_EQ(StripLine(late, midnight, late.now), std::string(20, '.') + std::string(40, '#'));
    const FixedFormatClock london(LondonOffset);
    EXPECT_EQ(StripScale(london, Utc("2013-03-30T23:30:00Z"), Utc("2013-05-31T23:30:00Z")),
              "30/03/2013" + std::string(40, ' ') + "01/06/2013");
}

// What the tool says, and its exit code, when a System log gives no report.
TEST(ToolFaults, EachLogWithoutAReportSaysWhy) {
    const std::string noEvents =
        "\r\nNo events are available: the System log holds none of the events this report is "
        "made of.\r\n";
    const std::string version = OsVersion("2013-03-01T06:00:00Z");
    // The machine, how its System log is read, the one record it holds if any, and the answer.
    const std::tuple<const char*, std::optional<FailureKind>, std::string, int, std::string>
        cases[] = {
            {"SRV02", FailureKind::AccessDenied, "", kAccessDenied,
             "Access to the System log of \\\\SRV02 was denied. Reading another machine's event "
             "logs takes an account that is a member of that machine's Event Log Readers group"},
            {"SRV02", FailureKind::Unreachable, "", kMachineUnreachable,
             "\\\\SRV02 cannot be reached. Check the name, the network, and that the machine "
             "allows remote event log management"},
            {"SRV02", FailureKind::Failed, "", kEventLogUnreadable,
             "The System log of \\\\SRV02 could not be read."},
            {"localhost", FailureKind::AccessDenied, "", kAccessDenied,
             UptimeLine("SRV01", 3600) +
                 "\r\nAccess to this computer's System log was denied: the report needs an account "
                 "that may read it"},
            // A log that holds only the system's version is no better than an empty one.
            {"SRV01", std::nullopt, version, kSuccess, UptimeLine("SRV01", 3600) + noEvents},
        };
    for (const auto& [machine, failure, record, exitCode, begins] : cases) {
        test::RecordedSystem system(Utc("2013-05-02T08:00:00Z"),
                                    record.empty() ? Log{} : Log{record}, LondonOffset);
        if (failure) {
            system.FailLogs(*failure, "Access is denied, error 5");
        }
        const ToolResult result = RunTool({machine, "/s"}, {"SRV01", 3600, "", ""}, system);
        EXPECT_EQ(result.exitCode, exitCode) << result.output;
        EXPECT_EQ(result.output.rfind(begins, 0), 0u) << result.output;
        EXPECT_TRUE(!failure || result.output.ends_with("\r\n\r\nAccess is denied, error 5\r\n"))
            << result.output;
    }
}

// A log's texts in CSV cells: quoted for a comma, formulas kept as text. (The real tool's faces
// tests read back quotes, line breaks, NUL and bytes that are not UTF-8.)
TEST(CsvTextCell, QuotesACommaAndKeepsFormulasAsText) {
    const std::pair<std::string, std::string> cases[] = {
        {"a,b", "\"a,b\""},
        {"+1", "'+1"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
    };
    for (const auto& [text, cell] : cases) {
        EXPECT_EQ(CsvTextCell(text), cell) << text;
    }
}

}  // namespace
}  // namespace uptime
