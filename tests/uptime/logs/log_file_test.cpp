// Exported logs read with /l:, above all the real System log of a Windows 10 machine
// (testdata/events/desktop-system.xml, 1,160 records). Its report is worked out by hand below
// from the records; every form of export must give that same report.
#include <gtest/gtest.h>

#include <tuple>

#include "uptime/logs/log_file.h"
#include "uptime/recorded_system.h"
#include "uptime/tool/tool.h"

namespace uptime {
namespace {

using test::Sample;
using test::Utf16;

constexpr char kPath[] = "C:\\Logs\\desktop-system.xml";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto pos = text.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    return pos == std::string::npos ? text : text.replace(pos, from.size(), to);
}

// What uptime prints for `args` with `file` at kPath, showing UTC.
ToolResult ReadLog(const std::string& file, std::vector<std::string> args) {
    test::RecordedSystem system(0, {}, [](UtcSeconds) { return std::int64_t{0}; });
    system.files[kPath] = file;
    args.insert(args.begin(), std::string("/l:") + kPath);
    return RunTool(args, {"DESK", 3600, "Windows 7", "Coordinated Universal Time"}, system);
}

// The /s report of the sample, every row and figure worked out from its records (UTC):
//  - the log's first record (Kernel-General 12, "the operating system started") is at
//    06/07 18:37:44, 54 s before the boot event it belongs to: the log starts with a boot, so
//    that boot has no prior downtime and the 54 s count as uptime;
//  - boot 06/07 18:38:38; upgrade restart requested 18:40:13; shutdown 18:40:15: up 97 s;
//  - boot 18:40:37: down 22 s; service pack restart requested 12/07 00:41:00; shutdown
//    00:41:38: up 5d 6h 1m 1s (453,661 s); boot 00:41:59: down 21 s;
//  - the last record (Volsnap 33) is at 08/08 14:44:03: up 27d 14h 2m 4s (2,383,324 s) since
//    the last boot; no shutdown after it.
//  - period 06/07 18:37:44 to 08/08 14:44:03 = 2,837,179 s; down 43 s; up 54 + 97 + 453,661 +
//    2,383,324 = 2,837,136 s = 32d 20h 5m 36s. Availability 2,837,136 / 2,837,179 = 99.99848%;
//    3 boots; 2,837,179 s / 86,400 / 3 = 10.946 days between reboots.
//  - the daily uptime records (6013) agree with the clock (2,139,489 s counted at 05/08 19:00:00,
//    8 s more than since the boot event): the machine did not sleep, so no sleep is shown.
//  - its strip: each mark stands for 13 hours, and the system was up for most of every one.
const std::string kSampleFigures =
    "Uptime Report for: \\\\DESKTOP-1N4R894\r\n"
    "Log File: C:\\Logs\\desktop-system.xml\r\n"
    "\r\n"
    "Current OS: Windows 10.00 build 17134 Multiprocessor Free.\r\n"
    "Time Zone: Coordinated Universal Time (this computer's: the times below are shown in it)\r\n"
    "\r\n"
    "System Events as of 08/08/2018 14:44:03 (the end of the log):\r\n"
    "\r\n"
    "Date:      Time:        Event:               Comment:\r\n"
    "---------- -----------  -------------------  ----------------------------------\r\n"
    "\r\n"
    "06/07/2018    18:38:38  Boot\r\n"
    "06/07/2018    18:40:13  Restart requested    by NT AUTHORITY\\SYSTEM via "
    "C:\\WINDOWS\\system32\\winlogon.exe (DESKTOP-1N4R894): Operating System: Upgrade "
    "(Planned)\r\n"
    "06/07/2018    18:40:15  Shutdown             Prior uptime:0d 0h:1m:37s\r\n"
    "06/07/2018    18:40:37  Boot                 Prior downtime:0d 0h:0m:22s\r\n"
    "12/07/2018    00:41:00  Restart requested    by NT AUTHORITY\\SYSTEM via "
    "c:\\windows\\system32\\svchost.exe (DESKTOP-1N4R894): Operating System: Service pack "
    "(Planned)\r\n"
    "12/07/2018    00:41:38  Shutdown             Prior uptime:5d 6h:1m:1s\r\n"
    "12/07/2018    00:41:59  Boot                 Prior downtime:0d 0h:0m:21s\r\n"
    "\r\n"
    "System Uptime at the Log's End: 27 day(s), 14 hour(s), 2 minute(s), 4 second(s) (from the "
    "last boot to the last record)\r\n"
    "-------------------------------------------------------------------------------\r\n"
    "Since 06/07/2018:\r\n"
    "\r\n"
    "System Availability: 99.9985%\r\n"
    "Total Uptime: 32d 20h:5m:36s\r\n"
    "Total Downtime: 0d 0h:0m:43s\r\n"
    "Total Reboots: 3\r\n"
    "Mean Time Between Reboots: 10.95 days\r\n"
    "Total Bluescreens: 0\r\n";
const std::string kSampleStrip =
    "\r\n"
    "06/07/2018                                        08/08/2018\r\n"
    "############################################################\r\n"
    "# up  - down (clean shutdown)  X down (unexpected shutdown)  . not known\r\n";
const std::string kSampleReport = kSampleFigures + kSampleStrip;

TEST(SampleLog, EveryFormGivesTheReportOfItsRecords) {
    // Every record under a name in letters beyond ASCII: the report names that machine. (A
    // record that cannot be read is counted in the hostile records' runs of the real program.)
    std::string utf8;
    for (const std::string& record : test::SampleRecords()) {
        utf8 += Replaced(record, "<Computer>DESKTOP-1N4R894</Computer>",
                         "<Computer>SRV-M\xC3\x9CNCHEN</Computer>");
    }
    const std::string renamedReport =
        Replaced(kSampleReport, "\\\\DESKTOP-1N4R894", "\\\\SRV-M\xC3\x9CNCHEN");
    const std::string lastRow = "Prior downtime:0d 0h:0m:21s\r\n";
    // With /a, the Application log's records are needed: first none, then a failure.
    const std::string withFailure =
        Sample() +
        "<Event><System><Provider Name='Application Error'/><EventID Qualifiers='0'>1000"
        "</EventID><TimeCreated SystemTime='2018-08-01T09:15:00.0000000Z'/>"
        "<Channel>Application</Channel><Computer>DESKTOP-1N4R894</Computer></System><EventData>"
        "<Data>notepad.exe</Data><Data>10.0.17134.1</Data></EventData></Event>\r\n";
    const std::string noApplicationLog =
        Replaced(kSampleFigures, lastRow,
                 lastRow +
                     "The log file holds no Application records, so its application failures "
                     "are not known: export the Application log into it too.\r\n") +
        "Total Application Failures: not known\r\n" + kSampleStrip;
    const std::string oneFailure =
        Replaced(kSampleFigures, lastRow,
                 lastRow + "01/08/2018    09:15:00  Application failure  notepad.exe\r\n") +
        "Total Application Failures: 1\r\n" + kSampleStrip;
    const std::tuple<std::string, const char*, std::string, const char*> files[] = {
        {Sample(), "/s", kSampleReport, "as wevtutil qe wrote it"},
        {utf8, "/s", renamedReport, "renamed"},
        {Utf16(utf8, false), "/s", renamedReport, "UTF-16 (PowerShell's >)"},
        {Sample(), "/a", noApplicationLog, "/a without Application records"},
        {withFailure, "/a", oneFailure, "/a with an application failure"},
        {withFailure, "/s", kSampleReport, "/s, which leaves it out"},
    };
    for (const auto& [bytes, switches, expected, form] : files) {
        const ToolResult result = ReadLog(bytes, {switches});
        EXPECT_EQ(result.exitCode, kSuccess) << form;
        EXPECT_EQ(result.output, expected) << form;
    }
}

TEST(SampleLog, UptimeAloneAndWithPeriods) {
    EXPECT_EQ(ReadLog(Sample(), {}).output,
              "\\\\DESKTOP-1N4R894 has been up for: 27 day(s), 14 hour(s), 2 minute(s), 4 "
              "second(s)\r\n(counted from its last boot to the log's end, 08/08/2018 "
              "14:44:03)\r\n");
    // /p:28 counts back from the log's end to 11/07 14:44:03: the service pack restart only.
    // The request shows the system up from 00:41:00: 38 s before its shutdown, then 21 s down
    // and 2,383,324 s up to the end. 2,383,362 / 2,383,383 = 99.99912%; one reboot,
    // 2,383,383 s = 27.59 days.
    const std::string report = ReadLog(Sample(), {"/s", "/p:28"}).output;
    for (const char* line :
         {"12/07/2018    00:41:38  Shutdown             Prior uptime:at least 0d 0h:0m:38s "
          "(its boot is before this period)\r\n",
          "Since 12/07/2018:\r\n\r\nSystem Availability: 99.9991%\r\nTotal Uptime: 27d "
          "14h:2m:42s\r\nTotal Downtime: 0d 0h:0m:21s\r\nTotal Reboots: 1\r\nMean Time Between "
          "Reboots: 27.59 days\r\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n in:\n" << report;
    }
    EXPECT_EQ(report.find("06/07/2018"), std::string::npos) << report;
    // A log without a boot, or any event of the report, still says what it can.
    EXPECT_EQ(
        ReadLog(test::SampleRecords()[0], {"/s"}).output,
        "\\\\DESKTOP-1N4R894: no boot after its last shutdown is in the log, so how long it "
        "had been up at the log's end (06/07/2018 18:37:44) is not known.\r\nNo events are "
        "available: the log file holds none of the System events this report is made of.\r\n");
}

TEST(LogDigest, TheNewestRecordOfAnyLogEndsTheLogAndNamesTheMachine) {
    const auto boot = [](char day, const char* computer, const char* channel) {
        return std::string(
                   "<Event><System><Provider Name='EventLog'/><EventID>6005</EventID>"
                   "<TimeCreated SystemTime='2018-08-0") +
               day + "T00:00:00Z'/><Channel>" + channel + "</Channel><Computer>" + computer +
               "</Computer></System></Event>";
    };
    // Record order is not time order.
    LogDigester digester;
    for (const std::string& xml : {boot('1', "SYS", "System"), boot('3', "APP", "Application"),
                                   boot('2', "OLD", "System")}) {
        digester.Take(xml);
    }
    EXPECT_EQ(digester.Digest().end, ParseSystemTime("2018-08-03T00:00:00Z"));
    EXPECT_EQ(digester.Digest().computer, "APP");
}

}  // namespace
}  // namespace uptime
