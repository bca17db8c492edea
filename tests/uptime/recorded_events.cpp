#include "uptime/recorded_events.h"

#include <stdexcept>

namespace uptime::test {
namespace {

std::string Data(const std::string& name, const std::string& value) {
    return (name.empty() ? "<Data>" : "<Data Name='" + name + "'>") + value + "</Data>";
}

std::string Unnamed(const std::vector<std::string>& values, const std::string& tail = "") {
    std::string data;
    for (const std::string& value : values) {
        data += Data("", value);
    }
    return "<EventData>" + data + tail + "</EventData>";
}

// 6005 and 6006 carry the time they were logged.
std::string Stamp(const std::string& utc) {
    return Unnamed({""}, "<Binary>" + SystemTimeHex(Utc(utc)) + std::string(32, '0') + "</Binary>");
}

// 1970-01-01 was a Thursday.
int DayOfWeek(UtcSeconds instant) {
    const std::int64_t days = (instant >= 0 ? instant : instant - 86399) / 86400;
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

// 01:00 UTC on the last Sunday of the month.
UtcSeconds LastSundayOneOClock(int year, int month) {
    const UtcSeconds last =
        ToSeconds({{year, month, ombrix::shared::DaysInMonth(year, month)}, 1, 0, 0});
    return last - DayOfWeek(last) * 86400;
}

std::string Two(int number) {
    return (number < 10 ? "0" : "") + std::to_string(number);
}

const std::string kEventLog = "<Provider Name='EventLog'/>";

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

UtcSeconds Utc(const std::string& text) {
    const auto seconds = ParseSystemTime(text);
    if (!seconds) {
        throw std::invalid_argument("not a UTC time: " + text);
    }
    return *seconds;
}

std::int64_t LondonOffset(UtcSeconds instant) {
    const int year = ToCivil(instant).date.year;
    return instant >= LastSundayOneOClock(year, 3) && instant < LastSundayOneOClock(year, 10) ? 3600
                                                                                              : 0;
}

std::string SystemTimeHex(UtcSeconds instant) {
    const CivilTime time = ToCivil(instant);
    std::string hex;
    for (const int word : {time.date.year, time.date.month, DayOfWeek(instant), time.date.day,
                           time.hour, time.minute, time.second, 500}) {
        for (const int byte : {word & 0xFF, word >> 8}) {
            hex += "0123456789ABCDEF"[byte >> 4];
            hex += "0123456789ABCDEF"[byte & 0xF];
        }
    }
    return hex;
}

RecordedLog& RecordedLog::Add(const std::string& provider, unsigned id,
                              const std::string& qualifiers, const std::string& utc,
                              const std::string& channel, const std::string& data) {
    // SystemTime as EvtRender writes it: nine fraction digits.
    records_.push_back(
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>" + provider +
        "<EventID" + (qualifiers.empty() ? "" : " Qualifiers='" + qualifiers + "'") + ">" +
        std::to_string(id) + "</EventID><TimeCreated SystemTime='" + utc.substr(0, 19) +
        ".500000000Z'/><Channel>" + channel + "</Channel></System>" + data + "</Event>");
    return *this;
}

RecordedLog& RecordedLog::Boot(const std::string& utc) {
    return Add(kEventLog, 6005, "32768", utc, "System", Stamp(utc));
}

RecordedLog& RecordedLog::Shutdown(const std::string& utc) {
    return Add(kEventLog, 6006, "32768", utc, "System", Stamp(utc));
}

RecordedLog& RecordedLog::OsVersion(const std::string& utc) {
    return Add(kEventLog, 6009, "32768", utc, "System",
               Unnamed({"6.01.", "7601", "Service Pack 1", "Multiprocessor Free", "17514"}));
}

RecordedLog& RecordedLog::UnexpectedShutdown(const std::string& loggedUtc,
                                             const std::string& lastRunningUtc,
                                             int localOffsetHours) {
    const UtcSeconds utc = Utc(lastRunningUtc);
    const UtcSeconds local = utc + localOffsetHours * 3600;
    const CivilTime shown = ToCivil(local);
    // The machine's own formats, with left-to-right marks in the date.
    const std::string time =
        std::to_string(shown.hour) + ":" + Two(shown.minute) + ":" + Two(shown.second);
    const std::string date = "\u200E" + std::to_string(shown.date.day) + "/\u200E" +
                             std::to_string(shown.date.month) + "/\u200E" +
                             std::to_string(shown.date.year);
    return Add(kEventLog, 6008, "32768", loggedUtc, "System",
               Unnamed({time, date, "", "", "1617", "", ""},
                       "<Binary>" + SystemTimeHex(local) + SystemTimeHex(utc) + "</Binary>"));
}

RecordedLog& RecordedLog::RestartRequest(const std::string& utc, const std::string& process,
                                         const std::string& reason, const std::string& user) {
    return Add(
        "<Provider Name='User32' Guid='{b0aa8734-56f7-41cc-b2f4-de228e98b946}' "
        "EventSourceName='User32'/>",
        1074, "32768", utc, "System",
        "<EventData>" + Data("param1", process) + Data("param2", "SRV01") + Data("param3", reason) +
            Data("param4", "0x80020010") + Data("param5", "restart") + Data("param6", "") +
            Data("param7", user) + "</EventData>");
}

RecordedLog& RecordedLog::PowerLoss(const std::string& utc, unsigned bugcheckCode) {
    return Add(
        "<Provider Name='Microsoft-Windows-Kernel-Power' "
        "Guid='{331C3B3A-2005-44C2-AC5E-77220C37D6B4}'/>",
        41, "", utc, "System",
        "<EventData>" + Data("BugcheckCode", std::to_string(bugcheckCode)) +
            Data("BugcheckParameter1", "0x0") + Data("SleepInProgress", "false") + "</EventData>");
}

RecordedLog& RecordedLog::Bluescreen(const std::string& utc, const std::string& stopCode) {
    return Add(
        "<Provider Name='Microsoft-Windows-WER-SystemErrorReporting' "
        "Guid='{ABCE23E7-DE45-4366-8631-84FA6C525952}' EventSourceName='BugCheck'/>",
        1001, "16384", utc, "System",
        "<EventData>" +
            Data("param1", stopCode + " (0x0000000000000003, 0xfffffa8004b6e060, "
                                      "0xfffff80000b9c518, 0xfffffa800a97e010)") +
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
        "<SubjectUserName>admin</SubjectUserName><SubjectDomainName>CONTOSO"
        "</SubjectDomainName><Channel>" +
            channel + "</Channel><BackupPath></BackupPath></LogFileCleared></UserData>");
}

RecordedLog& RecordedLog::ApplicationError(const std::string& utc, const std::string& program) {
    return Add("<Provider Name='Application Error'/>", 1000, "0", utc, "Application",
               Unnamed({program, "6.1.7600.16385", "4a5bc9b0", "ntdll.dll", "6.1.7601.17725",
                        "4ec4aa8e", "c0000374", "00000000000c40f2"}));
}

RecordedLog& RecordedLog::ApplicationHang(const std::string& utc, const std::string& program) {
    return Add("<Provider Name='Application Hang'/>", 1002, "0", utc, "Application",
               Unnamed({program, "6.1.7600.16385", "1a2c", "01ce9a3bd5e7c8a2", "4294967295"}));
}

RecordedLog& RecordedLog::Raw(std::string xml) {
    records_.push_back(std::move(xml));
    return *this;
}

std::unique_ptr<EventLogReader> RecordedSystem::OpenEventLog(
    const std::string& remoteMachine) const {
    opened.push_back(remoteMachine);
    return std::make_unique<RecordedReader>(*this);
}

}  // namespace uptime::test
