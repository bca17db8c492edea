#include <windows.h>

#include <winevt.h>

#include <atomic>
#include <iterator>
#include <mutex>
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

// Hands the events of `results` to `take`, each rendered as XML, while `take` wants more; a
// record that cannot be rendered is passed on empty, so that it is counted as unreadable rather
// than silently lost. Stops with ERROR_CANCELLED once `cancelled` says so. ERROR_SUCCESS once
// the results are read to their end, otherwise the error that stopped it.
template <typename Take, typename Cancelled>
DWORD ReadAll(EVT_HANDLE results, Take take, Cancelled cancelled) {
    for (;;) {
        if (cancelled()) {
            return ERROR_CANCELLED;
        }
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
            if (!take(Render(event.get()).value_or(std::string()))) {
                return ERROR_SUCCESS;
            }
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
        LogRecords reading;
        const DWORD error =
            Query(channel, Widen(query.xpath, CP_UTF8), [&reading](std::string xml) {
                reading.records.push_back(std::move(xml));
                return true;
            });
        if (error != ERROR_SUCCESS) {
            return LogFailure(error);
        }
        reading.oldestRecord = OldestRecord(channel);
        return reading;
    }

    // EvtCancel stops an EvtNext through the query's handle, and an EvtQuery (the connection
    // to a remote machine among it) only through the session's, which for this computer's log
    // is the default session, NULL. A query's handle is cancelled under the lock that Query
    // takes to forget it before closing it, so that none is closed under EvtCancel.
    void Cancel() override {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        if (results_ != nullptr) {
            ::EvtCancel(results_);
        }
        if (session_ || querying_) {
            ::EvtCancel(session_.get());
        }
    }

  private:
    // Runs a query of the channel and hands its records to `take` while it wants more.
    template <typename Take>
    DWORD Query(const std::wstring& channel, const std::wstring& xpath, Take take) {
        {
            const std::lock_guard lock(mutex_);
            if (cancelled_) {
                return ERROR_CANCELLED;
            }
            querying_ = true;
        }
        EvtHandle results(::EvtQuery(session_.get(), channel.c_str(), xpath.c_str(),
                                     EvtQueryChannelPath | EvtQueryForwardDirection));
        const DWORD queryError = results ? ERROR_SUCCESS : ::GetLastError();
        {
            const std::lock_guard lock(mutex_);
            querying_ = false;
            if (!results) {
                return cancelled_ ? ERROR_CANCELLED : queryError;
            }
            if (cancelled_) {
                return ERROR_CANCELLED;
            }
            results_ = results.get();
        }
        const DWORD error = ReadAll(results.get(), take, [this] { return cancelled_.load(); });
        {
            const std::lock_guard lock(mutex_);
            results_ = nullptr;
        }
        // Closed outside the lock (a remote close may take a while): Cancel no longer sees it.
        results.reset();
        return error;
    }

    // The XML of the channel's oldest record; empty when it cannot be had.
    std::string OldestRecord(const std::wstring& channel) {
        std::string oldest;
        const DWORD error = Query(channel, L"*", [&oldest](std::string xml) {
            oldest = std::move(xml);
            return false;
        });
        return error == ERROR_SUCCESS ? oldest : std::string();
    }

    EvtHandle session_;
    bool sessionFailed_ = false;
    DWORD sessionError_ = ERROR_SUCCESS;
    std::mutex mutex_;  // guards what follows against Cancel on another thread
    std::atomic<bool> cancelled_ = false;
    bool querying_ = false;         // inside EvtQuery
    EVT_HANDLE results_ = nullptr;  // the query whose records are being read
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
    const DWORD error = ReadAll(
        results.get(),
        [&sink](const std::string& xml) {
            sink.Take(xml);
            return true;
        },
        [] { return false; });
    if (error != ERROR_SUCCESS) {
        return ombrix::base::Failure{"The event log service stopped reading it: " +
                                     ErrorText(error)};
    }
    return {};
}

}  // namespace uptime::win32
