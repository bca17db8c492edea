#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::platform::win32 {

bool StartProgram(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    // The program's name, quoted, is the whole command line, so that its own first argument is
    // right even when the path holds blanks.
    const std::string commandLine = "\"" + path + "\"";
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(path.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
        return false;
    }
    // Not waited for: the handles go at once.
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    return true;
}

bool OpenSiteLink(const std::string& address) {
    // The shell is loaded the first time a link is opened; without it no link opens.
    static SystemLibrary shell("shell32.dll");
    const auto execute = shell.Find<decltype(::ShellExecuteA)>("ShellExecuteA");
    if (!execute) {
        return false;
    }
    // Values up to 32 are the shell's error codes.
    const auto result = reinterpret_cast<INT_PTR>(
        (*execute)(::GetActiveWindow(), "Open", address.c_str(), "", nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace ombrix::platform::win32
