// Exported logs read with /l:, above all the real System log of a Windows 10 machine
// (testdata/events/desktop-system.xml, 1,160 records). Its report is worked out by hand below
// from the records; every form of export must give that same report.
#include <gtest/gtest.h>

#include "platform/process_files.h"
#include "support/test_support.h"
#include "uptime/log_file.h"
#include "uptime/recorded_system.h"
#include "uptime/tool.h"

namespace uptime {
namespace {

constexpr char kPath[] = "C:\\Logs\\desktop-system.xml";

std::string SamplePath() {
    const char sep = ombrix::platform::kPathSeparator;
    return ombrix::platform::ProgramDirectory() + sep + "testdata" + sep + "events" + sep +
           "desktop-system.xml";
}

const std::string& Sample() {
    static const std::string bytes = ombrix::test::ReadFile(SamplePath());
    return bytes;
}

// The records of an export, each with what follows it up to the next one (the line end).
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> records;
    for (std::size_t pos = 0; pos < text.size();) {
        auto next = text.find("\r\n<Event ", pos);
        next = next == std::string::npos ? text.size() : next + 2;
        records.push_back(text.substr(pos, next - pos));
        pos = next;
    }
    return records;
}

std::string Joined(const std::vector<std::string>& records) {
    std::string text;
    for (const std::string& record : records) {
        text += record;
    }
    return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto pos = text.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    return pos == std::string::npos ? text : text.replace(pos, from.size(), to);
}

// UTF-16 with its byte order mark, from UTF-8 of the Basic Multilingual Plane.
std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    bytes.reserve(utf8.size() * 2 + 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        unsigned unit = c;
        std::size_t length = 1;
        if (c >= 0xE0) {
            unit = (c & 0x0Fu) << 12 | (utf8[i + 1] & 0x3Fu) << 6 | (utf8[i + 2] & 0x3Fu);
            length = 3;
        } else if (c >= 0xC0) {
            unit = (c & 0x1Fu) << 6 | (utf8[i + 1] & 0x3Fu);
            length = 2;
        }
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        i += length;
    }
    return bytes;
}

// What uptime prints for `args` with `file` at kPath, showing UTC.
ToolResult ReadLog(const std::string& file, std::vector<std::string> args,
                   std::size_t pieceSize = 1 << 16) {
    test::RecordedSystem system(0, {}, [](UtcSeconds) { return std::int64_t{0}; });
    system.AddFile(kPath, file, pieceSize);
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
const std::string kSampleReport =
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

TEST(SampleLog, EveryRealRecordIsRead) {
    const std::vector<std::string> records = Lines(Sample());
    ASSERT_EQ(records.size(), 1160u);
    std::vector<EventRecord> read;
    for (const std::string& xml : records) {
        auto record = ParseEventXml(xml.substr(0, xml.rfind('>') + 1));
        ASSERT_TRUE(record) << xml;
        EXPECT_EQ(record->computer, "DESKTOP-1N4R894");
        EXPECT_EQ(record->channel, "System");
        read.push_back(std::move(*record));
    }
    // Record 3, the first boot: its Binary (base64 here) is the boot's SYSTEMTIME, 2018-07-06.
    EXPECT_EQ(read[2].eventId, 6005u);
    EXPECT_EQ(read[2].binary.size(), 24u);
    EXPECT_EQ(read[2].binary[0] | read[2].binary[1] << 8, 2018);
    // Record 43: a classic source with Guid and EventSourceName, a value with line breaks.
    EXPECT_EQ(read[42].sourceName, "Service Control Manager");
    EXPECT_EQ(read[42].Field("param1"), "\r\nCSC\r\ndam");
    // Record 45: UserData, with entity references in a value.
    EXPECT_EQ(read[44].Field("DeviceInstanceID"),
              "PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00\\3&13C0B0C5&0&18");
    // Record 68: a daily uptime record, unnamed Data, some of it empty.
    EXPECT_EQ(read[67].eventId, 6013u);
    EXPECT_EQ(read[67].FieldAt(0), "13");
    EXPECT_EQ(read[67].FieldAt(1), "");
    // Record 58: the restart request, logged two seconds before its shutdown (record 59).
    EXPECT_EQ(read[57].Field("param5"), "restart");
    EXPECT_EQ(read[58].timeCreated - read[57].timeCreated, 2);
}

TEST(SampleLog, ReportMatchesTheRecords) {
    const ToolResult result = ReadLog(Sample(), {"/s"});
    EXPECT_EQ(result.exitCode, kSuccess);
    EXPECT_EQ(result.output, kSampleReport);
}

TEST(SampleLog, EveryFormOfExportGivesTheSameReport) {
    // The later records renamed, as a machine renamed during set-up writes them, and in
    // letters beyond ASCII: the report names the machine of the newest record.
    std::vector<std::string> records = Lines(Sample());
    for (std::size_t i = 1100; i < records.size(); ++i) {
        records[i] = Replaced(records[i], "<Computer>DESKTOP-1N4R894</Computer>",
                              "<Computer>SRV-M\xC3\x9CNCHEN</Computer>");
    }
    const std::string renamed = Joined(records);
    const std::string wrapped = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Events>\r\n" +
                                renamed + "<!-- exported by Event Viewer -->\r\n</Events>\r\n";
    const std::string expected =
        Replaced(kSampleReport, "\\\\DESKTOP-1N4R894", "\\\\SRV-M\xC3\x9CNCHEN");
    const std::pair<std::string, const char*> forms[] = {
        {renamed, "UTF-8"},
        {"\xEF\xBB\xBF" + renamed, "UTF-8 with a byte order mark"},
        {Utf16(renamed, false), "UTF-16 little-endian (PowerShell's >)"},
        {Utf16(renamed, true), "UTF-16 big-endian"},
        {wrapped, "in an <Events> root"},
        {Utf16(wrapped, false), "UTF-16 in an <Events> root"},
    };
    for (const auto& [bytes, form] : forms) {
        // Pieces of an odd size, so that records and characters fall across them.
        const ToolResult result = ReadLog(bytes, {"/s"}, 4093);
        EXPECT_EQ(result.exitCode, kSuccess) << form;
        EXPECT_EQ(result.output, expected) << form;
    }
}

TEST(SampleLog, BrokenRecordsAreCountedAndTheRestIsReported) {
    const std::vector<std::string> records = Lines(Sample());
    const std::string counted = "1 event record(s) could not be read and are left out.\r\n";
    const std::string lastRow = "Prior downtime:0d 0h:0m:21s\r\n";

    // A record in the middle that is not well-formed, and one cut short: each is skipped and
    // counted, and the report is otherwise the same.
    std::vector<std::string> broken = records;
    broken[500] = Replaced(broken[500], "</System>", "</Sys>");
    std::vector<std::string> cut = records;
    cut[600] = cut[600].substr(0, 280) + "\r\n";
    for (const auto& file : {Joined(broken), Joined(cut)}) {
        EXPECT_EQ(ReadLog(file, {"/s"}).output,
                  Replaced(kSampleReport, lastRow, lastRow + counted));
    }

    // Cut in the middle of its last record: the log then ends with the record before it,
    // 08/08 06:31:55, 29,528 s earlier: up 27d 5h 49m 56s since the last boot; the period is
    // 2,807,651 s with 43 s down: 99.99847%; 10.83 days between reboots.
    const std::string truncated = Sample().substr(0, Sample().size() - 200);
    std::string expected = Replaced(kSampleReport, "14:44:03 (the end", "06:31:55 (the end");
    expected = Replaced(expected, lastRow, lastRow + counted);
    expected = Replaced(expected, "27 day(s), 14 hour(s), 2 minute(s), 4 second(s)",
                        "27 day(s), 5 hour(s), 49 minute(s), 56 second(s)");
    expected = Replaced(expected, "32d 20h:5m:36s", "32d 11h:53m:28s");
    expected = Replaced(expected, "10.95 days", "10.83 days");
    EXPECT_EQ(ReadLog(truncated, {"/s"}).output, expected);
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
    // /d: takes the day the log's machine knew it (here UTC): from 12/07 00:00, the same rows.
    EXPECT_NE(
        ReadLog(Sample(), {"/s", "/d:7/12/2018"}).output.find("System Availability: 99.9991%"),
        std::string::npos);
}

TEST(SampleLog, ApplicationFailuresNeedTheApplicationLog) {
    // The sample holds System records only; a second file adds an Application log's records.
    const std::string report = ReadLog(Sample(), {"/a"}).output;
    EXPECT_NE(report.find("\r\nThe log file holds no Application records, so its application "
                          "failures are not known: export the Application log into it too.\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\nTotal Application Failures: not known\r\n"), std::string::npos);

    const std::string failure =
        "<Event><System><Provider Name='Application Error'/><EventID Qualifiers='0'>1000"
        "</EventID><TimeCreated SystemTime='2018-08-01T09:15:00.0000000Z'/>"
        "<Channel>Application</Channel><Computer>DESKTOP-1N4R894</Computer></System><EventData>"
        "<Data>notepad.exe</Data><Data>10.0.17134.1</Data></EventData></Event>\r\n";
    const std::string other = Replaced(failure, ">1000<", ">1001<");
    const std::string both = Sample() + failure + other;
    const std::string withFailures = ReadLog(both, {"/a"}).output;
    EXPECT_NE(withFailures.find("\r\n01/08/2018    09:15:00  Application failure  notepad.exe\r\n"),
              std::string::npos)
        << withFailures;
    EXPECT_NE(withFailures.find("\r\nTotal Application Failures: 1\r\n"), std::string::npos);
    EXPECT_EQ(ReadLog(both, {"/s"}).output, kSampleReport);  // /s leaves them out
}

TEST(LogDigest, TheNewestRecordEndsTheLogAndNamesTheMachine) {
    const auto record = [](const char* time, const char* computer, const char* channel) {
        return std::string(
                   "<Event><System><Provider Name='EventLog'/><EventID>6005</EventID>"
                   "<TimeCreated SystemTime='") +
               time + "'/><Channel>" + channel + "</Channel><Computer>" + computer +
               "</Computer></System></Event>";
    };
    struct Case {
        std::vector<std::string> records;
        const char* end;
        const char* computer;
    };
    const Case cases[] = {
        // Record order is not time order: the newest counts wherever it stands.
        {{record("2018-08-02T00:00:00Z", "NEW", "System"),
          record("2018-08-01T00:00:00Z", "OLD", "System")},
         "2018-08-02T00:00:00Z",
         "NEW"},
        // Among records of the same time, the later one in the file.
        {{record("2018-08-02T00:00:00Z", "FIRST", "System"),
          record("2018-08-02T00:00:00Z", "SECOND", "System")},
         "2018-08-02T00:00:00Z",
         "SECOND"},
        // Any log's records count; unreadable ones do not.
        {{record("2018-08-01T00:00:00Z", "SYS", "System"),
          record("2018-08-03T00:00:00Z", "APP", "Application"),
          record("2018-08-04T00:00:00Z", "BROKEN", "System").substr(0, 150)},
         "2018-08-03T00:00:00Z",
         "APP"},
    };
    for (const Case& c : cases) {
        LogDigester digester;
        for (const std::string& xml : c.records) {
            digester.Take(xml);
        }
        EXPECT_EQ(digester.Digest().end, ParseSystemTime(c.end)) << c.computer;
        EXPECT_EQ(digester.Digest().computer, c.computer);
    }
}

TEST(LogFileFaults, EachIsRefusedWithItsReason) {
    const std::string good = Lines(Sample())[2];
    const std::pair<std::string, const char*> files[] = {
        {"", "It is empty."},
        {"Level,Date and Time,Source,Event ID,Task Category\r\n", "does not begin with XML"},
        {"<?xml version='1.0'?><Events></Events>", "holds no event records"},
        {"<Event><System></Event>\r\n<Event/>", "None of its 2 event records could be read"},
        {std::string("ElfFile\0\1\0\0", 11), "no event log service here"},
    };
    for (const auto& [bytes, reason] : files) {
        const ToolResult result = ReadLog(bytes, {"/s"});
        EXPECT_EQ(result.exitCode, kLogFileUnreadable) << reason;
        EXPECT_EQ(
            result.output.rfind(
                std::string("No report can be made from the log file ") + kPath + ".\r\n\r\n", 0),
            0u)
            << result.output;
        EXPECT_NE(result.output.find(reason), std::string::npos) << result.output;
    }
    test::RecordedSystem none(0, {}, [](UtcSeconds) { return std::int64_t{0}; });
    const ToolResult missing = RunTool({"/l:C:\\Logs\\gone.xml"}, {"DESK", 1, "", ""}, none);
    EXPECT_EQ(missing.exitCode, kLogFileUnreadable);
    EXPECT_NE(missing.output.find("gone.xml.\r\n\r\nThe system cannot find the file specified"),
              std::string::npos);
    const ToolResult both = RunTool({"SRV01", "/l:x.xml"}, {"DESK", 1, "", ""}, none);
    EXPECT_EQ(both.exitCode, kUsageError);
    EXPECT_EQ(both.output.rfind("Give a machine or a log file with /l:, not both", 0), 0u);
    // A log of only other events still gives the uptime, and says there is no report.
    const ToolResult onlyOthers = ReadLog(Lines(Sample())[0], {"/s"});
    EXPECT_EQ(onlyOthers.exitCode, kSuccess);
    EXPECT_NE(onlyOthers.output.find("No events are available: the log file holds none of the "
                                     "System events this report is made of."),
              std::string::npos)
        << onlyOthers.output;
}

}  // namespace
}  // namespace uptime
