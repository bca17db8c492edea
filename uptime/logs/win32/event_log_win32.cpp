#include <windows.h>

#include <winevt.h>

#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/process_files.h"
#include "platform/win32/unique_owner.h"
#include "uptime/logs/win32/event_log_win32.h"
#include "uptime/logs/win32/wide_text.h"

namespace uptime::win32 {
namespace {

// Owner of an event log handle (session, query or event).
struct EvtTraits {
    static void Close(EVT_HANDLE handle) { ::EvtClose(handle); }
};
using EvtHandle = ombrix::platform::win32::UniqueOwner<EVT_HANDLE, EvtTraits>;

// The kind tells an access refused or a machine out of reach from other failures.
ombrix::base::Failure LogFailure(DWORD error) {
    return {ErrorText(error), ombrix::platform::SystemErrorKind(error)};
}

// The event's XML, converted to UTF-8; nothing when it cannot be rendered.
std::optional<std::string> Render(EVT_HANDLE event) {
    DWORD used = 0;
    DWORD properties = 0;
    if (!::EvtRender(nullptr, event, EvtRenderEventXml, 0, nullptr, &used, &properties) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(used / sizeof(wchar_t) + 1, L'\0');
    if (!::EvtRender(nullptr, event, EvtRenderEventXml,
                     static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), buffer.data(), &used,
                     &properties)) {
        return std::nullopt;
    }
    return Narrow(std::wstring(buffer.data()), CP_UTF8);
}

// Hands every event of `results` to `take`, each rendered as XML; a record that cannot be
// rendered is passed on empty, so that it is counted as unreadable rather than silently lost.
// ERROR_SUCCESS once the results are read to their end, otherwise the error that stopped it.
template <typename Take>
DWORD ReadAll(EVT_HANDLE results, Take take) {
    for (;;) {
        EVT_HANDLE batch[64] = {};
        DWORD returned = 0;
        if (!::EvtNext(results, static_cast<DWORD>(std::size(batch)), batch, INFINITE, 0,
                       &returned)) {
            const DWORD error = ::GetLastError();
            return error == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : error;
        }
        std::vector<EvtHandle> events;
        for (DWORD i = 0; i < returned; ++i) {
            events.emplace_back(batch[i]);
        }
        for (const EvtHandle& event : events) {
            take(Render(event.get()).value_or(std::string()));
        }
    }
}

class WindowsEventLog final : public EventLogReader {
  public:
    explicit WindowsEventLog(const std::string& remoteMachine) {
        if (remoteMachine.empty()) {
            return;
        }
        // The current user's credentials; the connection itself is made by the first query.
        std::wstring server = Widen(remoteMachine, CP_UTF8);
        EVT_RPC_LOGIN login{};
        login.Server = server.data();
        login.Flags = EvtRpcLoginAuthDefault;
        session_ = EvtHandle(::EvtOpenSession(EvtRpcLogin, &login, 0, 0));
        if (!session_) {
            sessionError_ = ::GetLastError();
            sessionFailed_ = true;
        }
    }

    ombrix::base::Result<LogRecords> Read(const LogQuery& query) override {
        if (sessionFailed_) {
            return LogFailure(sessionError_);
        }
        const std::wstring channel = Widen(query.channel, CP_UTF8);
        const EvtHandle results(::EvtQuery(session_.get(), channel.c_str(),
                                           Widen(query.xpath, CP_UTF8).c_str(),
                                           EvtQueryChannelPath | EvtQueryForwardDirection));
        if (!results) {
            return LogFailure(::GetLastError());
        }
        LogRecords reading;
        const DWORD error = ReadAll(results.get(), [&reading](std::string xml) {
            reading.records.push_back(std::move(xml));
        });
        if (error != ERROR_SUCCESS) {
            return LogFailure(error);
        }
        reading.oldestRecord = OldestRecord(channel);
        return reading;
    }

    void Cancel() override {
        if (session_) {
            ::EvtCancel(session_.get());
        }
    }

  private:
    std::string OldestRecord(const std::wstring& channel) const {
        const EvtHandle results(::EvtQuery(session_.get(), channel.c_str(), L"*",
                                           EvtQueryChannelPath | EvtQueryForwardDirection));
        EVT_HANDLE first = nullptr;
        DWORD returned = 0;
        if (!results || !::EvtNext(results.get(), 1, &first, INFINITE, 0, &returned) ||
            returned != 1) {
            return {};
        }
        const EvtHandle event(first);
        return Render(event.get()).value_or(std::string());
    }

    EvtHandle session_;
    bool sessionFailed_ = false;
    DWORD sessionError_ = ERROR_SUCCESS;
};

}  // namespace

std::unique_ptr<EventLogReader> OpenWindowsEventLog(const std::string& remoteMachine) {
    return std::make_unique<WindowsEventLog>(remoteMachine);
}

ombrix::base::Result<void> ReadEventLogFile(const std::string& path, RecordSink& sink) {
    // The event log service takes a log file by its full path.
    const std::wstring given = Widen(path, CP_UTF8);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()),
                                                full.data(), nullptr);
        if (length == 0) {
            full = given;
            break;
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.assign(length, L'\0');
    }
    const EvtHandle results(
        ::EvtQuery(nullptr, full.c_str(), L"*", EvtQueryFilePath | EvtQueryForwardDirection));
    if (!results) {
        return ombrix::base::Failure{"The event log service cannot read it as a log file: " +
                                     ErrorText(::GetLastError())};
    }
    const DWORD error = ReadAll(results.get(), [&sink](const std::string& xml) { sink.Take(xml); });
    if (error != ERROR_SUCCESS) {
        return ombrix::base::Failure{"The event log service stopped reading it: " +
                                     ErrorText(error)};
    }
    return {};
}

}  // namespace uptime::win32
