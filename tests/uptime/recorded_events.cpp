#include "uptime/recorded_events.h"

#include <stdexcept>

namespace uptime::test {
namespace {

std::string Escape(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Data(const std::string& name, const std::string& value) {
    return (name.empty() ? "<Data>" : "<Data Name='" + name + "'>") + Escape(value) + "</Data>";
}

// 1970-01-01 was a Thursday.
int DayOfWeek(UtcSeconds instant) {
    const std::int64_t days = (instant >= 0 ? instant : instant - 86399) / 86400;
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

// 01:00 UTC on the last Sunday of the month.
UtcSeconds LastSundayOneOClock(int year, int month) {
    const int lastDay = ombrix::shared::DaysInMonth(year, month);
    const UtcSeconds last = ToSeconds({{year, month, lastDay}, 1, 0, 0});
    return last - DayOfWeek(last) * 86400;
}

}  // namespace

UtcSeconds Utc(const std::string& text) {
    const auto seconds = ParseSystemTime(text);
    if (!seconds) {
        throw std::invalid_argument("not a UTC time: " + text);
    }
    return *seconds;
}

std::int64_t LondonOffset(UtcSeconds instant) {
    const int year = ToCivil(instant).date.year;
    const bool summer =
        instant >= LastSundayOneOClock(year, 3) && instant < LastSundayOneOClock(year, 10);
    return summer ? 3600 : 0;
}

std::string SystemTimeHex(UtcSeconds instant) {
    const CivilTime time = ToCivil(instant);
    const int words[] = {time.date.year, time.date.month, DayOfWeek(instant), time.date.day,
                         time.hour,      time.minute,     time.second,        500};
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex;
    for (const int word : words) {
        for (const int byte : {word & 0xFF, word >> 8}) {
            hex += kHex[byte >> 4];
            hex += kHex[byte & 0xF];
        }
    }
    return hex;
}

RecordedLog& RecordedLog::Add(const std::string& provider, unsigned id,
                              const std::string& qualifiers, const std::string& utc,
                              const std::string& channel, const std::string& eventData) {
    // SystemTime as EvtRender writes it: nine fraction digits.
    const std::string systemTime = utc.substr(0, 19) + ".500000000Z";
    records_.push_back(
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>" + provider +
        "<EventID" + (qualifiers.empty() ? "" : " Qualifiers='" + qualifiers + "'") + ">" +
        std::to_string(id) +
        "</EventID><Level>4</Level><Task>0</Task><Keywords>0x80000000000000</Keywords>"
        "<TimeCreated SystemTime='" +
        systemTime + "'/><EventRecordID>" + std::to_string(nextRecordId_++) +
        "</EventRecordID><Channel>" + channel + "</Channel><Computer>" + computer_ +
        "</Computer><Security/></System>" + eventData + "</Event>");
    return *this;
}

RecordedLog& RecordedLog::Boot(const std::string& utc) {
    return Add("<Provider Name='EventLog'/>", 6005, "32768", utc, "System",
               "<EventData><Data></Data><Binary>" + SystemTimeHex(Utc(utc)) + std::string(32, '0') +
                   "</Binary></EventData>");
}

RecordedLog& RecordedLog::Shutdown(const std::string& utc) {
    return Add("<Provider Name='EventLog'/>", 6006, "32768", utc, "System",
               "<EventData><Data></Data><Binary>" + SystemTimeHex(Utc(utc)) + std::string(32, '0') +
                   "</Binary></EventData>");
}

RecordedLog& RecordedLog::OsVersion(const std::string& utc) {
    return Add("<Provider Name='EventLog'/>", 6009, "32768", utc, "System",
               "<EventData>" + Data("", "6.01.") + Data("", "7601") + Data("", "Service Pack 1") +
                   Data("", "Multiprocessor Free") + Data("", "17514") + "</EventData>");
}

RecordedLog& RecordedLog::UnexpectedShutdown(const std::string& loggedUtc,
                                             const std::string& lastRunningUtc,
                                             int localOffsetHours) {
    const UtcSeconds utc = Utc(lastRunningUtc);
    const UtcSeconds local = utc + localOffsetHours * 3600;
    const CivilTime shown = ToCivil(local);
    // The strings are the machine's own formats, with left-to-right marks in the date.
    const std::string lrm = "\xE2\x80\x8E";
    const std::string timeText = std::to_string(shown.hour) + ":" + (shown.minute < 10 ? "0" : "") +
                                 std::to_string(shown.minute) + ":" +
                                 (shown.second < 10 ? "0" : "") + std::to_string(shown.second);
    const std::string dateText = lrm + std::to_string(shown.date.day) + "/" + lrm +
                                 std::to_string(shown.date.month) + "/" + lrm +
                                 std::to_string(shown.date.year);
    return Add("<Provider Name='EventLog'/>", 6008, "32768", loggedUtc, "System",
               "<EventData>" + Data("", timeText) + Data("", dateText) + Data("", "") +
                   Data("", "") + Data("", "1617") + Data("", "") + Data("", "") + "<Binary>" +
                   SystemTimeHex(local) + SystemTimeHex(utc) + "</Binary></EventData>");
}

RecordedLog& RecordedLog::RestartRequest(const std::string& utc, const std::string& process,
                                         const std::string& reason, const std::string& user) {
    return Add(
        "<Provider Name='User32' Guid='{b0aa8734-56f7-41cc-b2f4-de228e98b946}' "
        "EventSourceName='User32'/>",
        1074, "32768", utc, "System",
        "<EventData>" + Data("param1", process) + Data("param2", computer_) +
            Data("param3", reason) + Data("param4", "0x80020010") + Data("param5", "restart") +
            Data("param6", "") + Data("param7", user) + "</EventData>");
}

RecordedLog& RecordedLog::PowerLoss(const std::string& utc, unsigned bugcheckCode) {
    return Add(
        "<Provider Name='Microsoft-Windows-Kernel-Power' "
        "Guid='{331C3B3A-2005-44C2-AC5E-77220C37D6B4}'/>",
        41, "", utc, "System",
        "<EventData>" + Data("BugcheckCode", std::to_string(bugcheckCode)) +
            Data("BugcheckParameter1", "0x0") + Data("BugcheckParameter2", "0x0") +
            Data("BugcheckParameter3", "0x0") + Data("BugcheckParameter4", "0x0") +
            Data("SleepInProgress", "false") + Data("PowerButtonTimestamp", "0") + "</EventData>");
}

RecordedLog& RecordedLog::Bluescreen(const std::string& utc, const std::string& stopCode) {
    return Add(
        "<Provider Name='Microsoft-Windows-WER-SystemErrorReporting' "
        "Guid='{ABCE23E7-DE45-4366-8631-84FA6C525952}' EventSourceName='BugCheck'/>",
        1001, "16384", utc, "System",
        "<EventData>" +
            Data("param1", stopCode +
                               " (0x0000000000000003, 0xfffffa8004b6e060, 0xfffff80000b9c518, "
                               "0xfffffa800a97e010)") +
            Data("param2", "C:\\Windows\\MEMORY.DMP") + Data("param3", "081113-20966-01") +
            "</EventData>");
}

RecordedLog& RecordedLog::LogCleared(const std::string& utc, const std::string& channel) {
    return Add(
        "<Provider Name='Microsoft-Windows-Eventlog' "
        "Guid='{fc65ddd8-d6ef-4962-83d5-6e5cfe9ce148}'/>",
        104, "", utc, "System",
        "<UserData><LogFileCleared "
        "xmlns='http://manifests.microsoft.com/win/2004/08/windows/eventlog'>"
        "<SubjectUserName>admin</SubjectUserName><SubjectDomainName>CONTOSO</SubjectDomainName>"
        "<Channel>" +
            channel + "</Channel><BackupPath></BackupPath></LogFileCleared></UserData>");
}

RecordedLog& RecordedLog::ApplicationError(const std::string& utc, const std::string& program) {
    return Add("<Provider Name='Application Error'/>", 1000, "0", utc, "Application",
               "<EventData>" + Data("", program) + Data("", "6.1.7600.16385") +
                   Data("", "4a5bc9b0") + Data("", "ntdll.dll") + Data("", "6.1.7601.17725") +
                   Data("", "4ec4aa8e") + Data("", "c0000374") + Data("", "00000000000c40f2") +
                   "</EventData>");
}

RecordedLog& RecordedLog::ApplicationHang(const std::string& utc, const std::string& program) {
    return Add("<Provider Name='Application Hang'/>", 1002, "0", utc, "Application",
               "<EventData>" + Data("", program) + Data("", "6.1.7600.16385") + Data("", "1a2c") +
                   Data("", "01ce9a3bd5e7c8a2") + Data("", "4294967295") + "</EventData>");
}

RecordedLog& RecordedLog::Raw(std::string xml) {
    records_.push_back(std::move(xml));
    return *this;
}

namespace {

class RecordedReader final : public EventLogReader {
  public:
    explicit RecordedReader(const RecordedSystem& system) : system_(system) {}
    LogReading Read(const LogQuery& query) override {
        system_.queried.push_back(query.channel);
        const auto found = system_.logs.find(query.channel);
        return found == system_.logs.end() ? LogReading{} : found->second;
    }

  private:
    const RecordedSystem& system_;
};

}  // namespace

std::unique_ptr<EventLogReader> RecordedSystem::OpenEventLog(
    const std::string& remoteMachine) const {
    opened.push_back(remoteMachine);
    return std::make_unique<RecordedReader>(*this);
}

}  // namespace uptime::test
