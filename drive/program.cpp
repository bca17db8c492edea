#include "drive/program.h"

#include <utility>

namespace ombrix::drive {

using platform::win32::UniqueHandle;

std::optional<Program> Program::Start(const std::string& path, const StartOptions& options) {
    std::string commandLine = "\"" + path + "\"" + options.arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (options.output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = options.output;
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(
            path.c_str(), commandLine.data(), nullptr, nullptr,
            options.output != nullptr ? TRUE : FALSE, options.detached ? DETACHED_PROCESS : 0,
            nullptr, options.folder.empty() ? nullptr : options.folder.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    const UniqueHandle thread(info.hThread);
    return Program(UniqueHandle(info.hProcess), info.dwProcessId);
}

bool Program::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(std::chrono::milliseconds timeout) const {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

void Program::End() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND Program::Find(const char* className) const {
    return FindWindowOf(id_, className);
}

HWND Program::WaitForWindow(const char* className, std::chrono::milliseconds timeout) const {
    return WaitForWindowOf(id_, className, timeout, process_.get());
}

HWND FindWindowOf(DWORD processId, const char* className) {
    for (HWND window = nullptr;
         (window = ::FindWindowExA(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && ::IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForWindowOf(DWORD processId, const char* className, std::chrono::milliseconds timeout,
                     HANDLE process) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (HWND found = FindWindowOf(processId, className)) {
            return found;
        }
        const bool ended = process != nullptr && ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
        if (ended || std::chrono::steady_clock::now() >= end) {
            return nullptr;
        }
        ::Sleep(1);
    }
}

bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (::IsWindow(window)) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        ::Sleep(1);
    }
    return true;
}

void PressButton(HWND window, UINT id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, static_cast<int>(id))));
}

}  // namespace ombrix::drive
