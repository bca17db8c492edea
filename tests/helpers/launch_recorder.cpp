// Stands in for a program that another one starts (the system information tool, the web
// browser) and records how it was started, into the file that OMBRIX_RECORD names:
//   program=<its own path>
//   show=<the show state it was given, or "none">
//   arg=<each argument, one a line>
// The record appears whole: it is written beside its place and then moved there.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char target[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("OMBRIX_RECORD", target, MAX_PATH) == 0) {
        return 2;
    }
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoA(&startup);

    std::string record = std::string("program=") + self + "\n";
    record += "show=" +
              ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? std::to_string(startup.wShowWindow)
                                                             : std::string("none")) +
              "\n";
    for (int i = 1; i < __argc; ++i) {
        record += std::string("arg=") + __argv[i] + "\n";
    }

    const std::string part = std::string(target) + ".part";
    HANDLE file = ::CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const BOOL wrote =
        ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!wrote || !::MoveFileExA(part.c_str(), target, MOVEFILE_REPLACE_EXISTING)) {
        return 1;
    }
    return 0;
}
