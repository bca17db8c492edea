// What each logged event means for the report, read from recorded records.
#include <gtest/gtest.h>

#include <cctype>

#include "uptime/event_xml.h"
#include "uptime/recorded_events.h"
#include "uptime/system_events.h"

namespace uptime {
namespace {

using test::RecordedLog;
using test::Utc;

// The one record a builder call appends, classified.
std::optional<SystemEvent> Only(const RecordedLog& log) {
    EXPECT_EQ(log.records().size(), 1u);
    const auto record = ParseEventXml(log.records().front());
    EXPECT_TRUE(record) << log.records().front();
    return record ? Classify(*record) : std::nullopt;
}

std::optional<SystemEvent> FromXml(const std::string& xml) {
    const auto record = ParseEventXml(xml);
    EXPECT_TRUE(record) << xml;
    return record ? Classify(*record) : std::nullopt;
}

std::string Record(const std::string& provider, unsigned id, const std::string& data) {
    return "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>" +
           provider + "<EventID>" + std::to_string(id) +
           "</EventID><TimeCreated SystemTime='2013-03-01T06:00:00.000Z'/></System><EventData>" +
           data + "</EventData></Event>";
}

TEST(EventClassification, BootsAndCleanShutdownsStandAtTheirOwnTime) {
    const auto boot = Only(RecordedLog().Boot("2013-03-01T06:00:00Z"));
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->kind, EventKind::Boot);
    EXPECT_EQ(boot->time, Utc("2013-03-01T06:00:00Z"));
    const auto shutdown = Only(RecordedLog().Shutdown("2013-03-01T05:58:00Z"));
    ASSERT_TRUE(shutdown);
    EXPECT_EQ(shutdown->kind, EventKind::Shutdown);
    EXPECT_EQ(shutdown->time, Utc("2013-03-01T05:58:00Z"));
}

TEST(EventClassification, AnUnexpectedShutdownStandsAtTheLastTimeTheSystemRan) {
    // Logged at boot; the data holds 01:30:17 local (UTC+1) and 00:30:17 UTC.
    const auto event =
        Only(RecordedLog().UnexpectedShutdown("2013-08-11T00:33:42Z", "2013-08-11T00:30:17Z", 1));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->kind, EventKind::UnexpectedShutdown);
    EXPECT_EQ(event->time, Utc("2013-08-11T00:30:17Z")) << "the UTC copy, not the local one";
}

TEST(EventClassification, AnUnexpectedShutdownWithoutItsTimesIsOnlyReported) {
    const std::string local = test::SystemTimeHex(Utc("2013-08-11T01:30:17Z"));
    // Only the local copy: it cannot be placed in UTC.
    const auto halfBinary = FromXml(Record("<Provider Name='EventLog'/>", 6008,
                                           "<Data>1:30:17</Data><Data>\xE2\x80\x8E"
                                           "11/\xE2\x80\x8E"
                                           "08/\xE2\x80\x8E"
                                           "2013</Data><Binary>" +
                                               local + "</Binary>"));
    ASSERT_TRUE(halfBinary);
    EXPECT_EQ(halfBinary->kind, EventKind::UndatedUnexpectedShutdown);
    EXPECT_EQ(halfBinary->time, Utc("2013-03-01T06:00:00Z")) << "where it was logged";
    EXPECT_EQ(halfBinary->detail, "last ran at 1:30:17 11/08/2013 by its own clock");

    // A month 13 in the UTC copy is no time.
    std::string badUtc = local + local;
    badUtc.replace(32 + 4, 2, "0D");
    const auto bad =
        FromXml(Record("<Provider Name='EventLog'/>", 6008, "<Binary>" + badUtc + "</Binary>"));
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->kind, EventKind::UndatedUnexpectedShutdown);
    EXPECT_EQ(bad->detail, "the last time the system ran is not recorded");
}

TEST(EventClassification, ShutdownRequestsNameWhoAndWhy) {
    const auto restart = Only(RecordedLog().RestartRequest(
        "2013-07-14T02:02:11Z", "C:\\Windows\\system32\\wuauclt.exe (SRV01)",
        "Operating System: Service pack (Planned)", "NT AUTHORITY\\SYSTEM"));
    ASSERT_TRUE(restart);
    EXPECT_EQ(restart->kind, EventKind::RestartRequest);
    EXPECT_EQ(restart->detail,
              "by NT AUTHORITY\\SYSTEM via C:\\Windows\\system32\\wuauclt.exe (SRV01): "
              "Operating System: Service pack (Planned)");

    // Windows Server 2003 rendered the source in capitals and the data without names.
    const auto powerOff = FromXml(
        Record("<Provider Name='USER32'/>", 1074,
               "<Data>winlogon.exe</Data><Data>SRV02</Data><Data>No title for this reason could be "
               "found</Data><Data>0x500ff</Data><Data>power off</Data><Data>moving racks</Data>"
               "<Data>CONTOSO\\jdoe</Data>"));
    ASSERT_TRUE(powerOff);
    EXPECT_EQ(powerOff->kind, EventKind::ShutdownRequest);
    EXPECT_EQ(powerOff->detail,
              "by CONTOSO\\jdoe via winlogon.exe: No title for this reason could be found "
              "(moving racks)");

    // A type in another language is kept, since it cannot be told apart.
    const auto localized = FromXml(
        Record("<Provider Name='User32'/>", 1074,
               "<Data>C:\\Windows\\system32\\shutdown.exe</Data><Data>SRV03</Data><Data>Andere "
               "(Geplant)</Data><Data>0x80000000</Data><Data>Neustart</Data><Data></Data>"
               "<Data>SRV03\\admin</Data>"));
    ASSERT_TRUE(localized);
    EXPECT_EQ(localized->kind, EventKind::ShutdownRequest);
    EXPECT_EQ(localized->detail,
              "Neustart by SRV03\\admin via C:\\Windows\\system32\\shutdown.exe: Andere "
              "(Geplant)");
}

TEST(EventClassification, CrashesAndPowerLosses) {
    const auto loss = Only(RecordedLog().PowerLoss("2013-02-05T09:00:05Z"));
    ASSERT_TRUE(loss);
    EXPECT_EQ(loss->kind, EventKind::PowerLoss);
    EXPECT_EQ(loss->detail, "rebooted without a clean shutdown");
    const auto crashed = Only(RecordedLog().PowerLoss("2013-02-05T09:00:05Z", 159));
    ASSERT_TRUE(crashed);
    EXPECT_EQ(crashed->detail, "rebooted without a clean shutdown, bugcheck 0x9f");

    const auto bluescreen = Only(RecordedLog().Bluescreen("2013-06-03T10:01:40Z", "0x0000009f"));
    ASSERT_TRUE(bluescreen);
    EXPECT_EQ(bluescreen->kind, EventKind::Bluescreen);
    EXPECT_EQ(bluescreen->detail, "Stop 0x0000009f, dump C:\\Windows\\MEMORY.DMP");

    // Windows XP's source for the same event.
    const auto saveDump =
        FromXml(Record("<Provider Name='Save Dump'/>", 1001,
                       "<Data>0x1000007e (0xc0000005, 0xf7a4a7c4, 0xf7ae3c54, 0xf7ae3950)</Data>"
                       "<Data>C:\\WINDOWS\\Minidump\\Mini081113-01.dmp</Data>"));
    ASSERT_TRUE(saveDump);
    EXPECT_EQ(saveDump->kind, EventKind::Bluescreen);
    EXPECT_EQ(saveDump->detail, "Stop 0x1000007e, dump C:\\WINDOWS\\Minidump\\Mini081113-01.dmp");
}

TEST(EventClassification, TheSystemsVersionAndClearedLogs) {
    const auto version = Only(RecordedLog().OsVersion("2013-03-01T06:00:00Z"));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->kind, EventKind::OsVersion);
    EXPECT_EQ(version->detail, "Windows 6.01 build 7601 Service Pack 1 Multiprocessor Free");

    const auto system = Only(RecordedLog().LogCleared("2013-03-01T05:59:00Z", "System"));
    ASSERT_TRUE(system);
    EXPECT_EQ(system->kind, EventKind::SystemLogCleared);
    EXPECT_EQ(system->detail, "by CONTOSO\\admin");
    const auto application = Only(RecordedLog().LogCleared("2013-03-01T05:59:00Z", "Application"));
    ASSERT_TRUE(application);
    EXPECT_EQ(application->kind, EventKind::ApplicationLogCleared);
    EXPECT_FALSE(Only(RecordedLog().LogCleared("2013-03-01T05:59:00Z", "Setup")));
}

TEST(EventClassification, ApplicationFailuresNameTheProgram) {
    const auto failure =
        Only(RecordedLog().ApplicationError("2013-03-01T09:15:00Z", "notepad.exe"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, EventKind::ApplicationFailure);
    EXPECT_EQ(failure->detail, "notepad.exe");
    const auto hang = Only(RecordedLog().ApplicationHang("2013-03-01T10:20:00Z", "EXCEL.EXE"));
    ASSERT_TRUE(hang);
    EXPECT_EQ(hang->kind, EventKind::ApplicationHang);
    EXPECT_EQ(hang->detail, "EXCEL.EXE");
}

TEST(EventClassification, SameNumbersFromOtherSourcesAreNotOurs) {
    const std::string others[] = {
        // Winlogon's 6005 and 6006 are about slow notification subscribers, not boots.
        Record("<Provider Name='Microsoft-Windows-Winlogon' "
               "Guid='{DBE9B383-7CF3-4331-91CC-A3CB16A3B538}'/>",
               6005, "<Data Name='SubscriberName'>GPClient</Data>"),
        Record("<Provider Name='Microsoft-Windows-Winlogon'/>", 6006,
               "<Data Name='SubscriberName'>GPClient</Data>"),
        Record("<Provider Name='Microsoft-Windows-Kernel-Boot'/>", 1001, "<Data>0x0000009f</Data>"),
        Record("<Provider Name='Microsoft-Windows-Kernel-Power'/>", 42,
               "<Data Name='TargetState'>4</Data>"),
        Record("<Provider Name='Windows Error Reporting'/>", 1001, "<Data>1234</Data>"),
        Record("<Provider Name='EventLog'/>", 6013, "<Data>60</Data>"),
    };
    for (const std::string& xml : others) {
        EXPECT_FALSE(FromXml(xml)) << xml;
    }
}

TEST(EventClassification, TheQueriesAskForEveryNumberClassified) {
    // A number the filter leaves out would never reach the report.
    const auto asks = [](const std::string& xpath, const std::string& id) {
        const std::string term = "EventID=" + id;
        const std::size_t at = xpath.find(term);
        return at != std::string::npos &&
               (at + term.size() == xpath.size() ||
                !std::isdigit(static_cast<unsigned char>(xpath[at + term.size()])));
    };
    const std::string system = SystemLogQuery().xpath;
    for (const char* id : {"41", "104", "1001", "1074", "6005", "6006", "6008", "6009"}) {
        EXPECT_TRUE(asks(system, id)) << id;
    }
    EXPECT_FALSE(asks(system, "600")) << "the check itself must tell numbers apart";
    EXPECT_EQ(SystemLogQuery().channel, "System");
    const std::string application = ApplicationLogQuery().xpath;
    EXPECT_TRUE(asks(application, "1000"));
    EXPECT_TRUE(asks(application, "1002"));
    EXPECT_EQ(ApplicationLogQuery().channel, "Application");
}

}  // namespace
}  // namespace uptime
