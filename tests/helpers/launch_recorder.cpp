// Stands in for the web browser that another program starts: writes "arg=<argument>" a line into
// the file that OMBRIX_RECORD names. The record appears whole: written beside, then moved there.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char target[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("OMBRIX_RECORD", target, MAX_PATH) == 0) {
        return 2;
    }
    std::string record;
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
    return wrote && ::MoveFileExA(part.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
