// The system's words for an error code, and what kind of failure the code stands for.
#include <windows.h>

#include "platform/process_files.h"

namespace ombrix::platform {

std::string SystemErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length != 0 ? std::string(text, length) : std::string();
    ::LocalFree(text);
    while (!result.empty() &&
           (result.back() == '\r' || result.back() == '\n' || result.back() == ' ')) {
        result.pop_back();
    }
    if (result.empty()) {
        result = "System error " + std::to_string(code) + ".";
    }
    return result;
}

base::FailureKind SystemErrorKind(unsigned long code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_LOGON_FAILURE:
        case ERROR_PRIVILEGE_NOT_HELD:
            return base::FailureKind::AccessDenied;
        case RPC_S_SERVER_UNAVAILABLE:
        case RPC_S_SERVER_TOO_BUSY:
        case RPC_S_CALL_FAILED:
        case RPC_S_CALL_FAILED_DNE:
        case EPT_S_NOT_REGISTERED:
        case ERROR_BAD_NETPATH:
        case ERROR_HOST_UNREACHABLE:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_BAD_NET_NAME:
            return base::FailureKind::Unreachable;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return base::FailureKind::NotFound;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return base::FailureKind::OutOfMemory;
        default:
            return base::FailureKind::Failed;
    }
}

}  // namespace ombrix::platform
