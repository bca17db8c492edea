// Stands in for the web browser that another program starts: writes "arg=<argument>" a line into
// the file that OMBRIX_RECORD names. The record appears whole: written beside, then moved there.
#include <windows.h>

#include <cstdlib>
#include <fstream>
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
    // Closed at the end of the statement, before the move.
    const bool wrote = static_cast<bool>(std::ofstream(part, std::ios::binary) << record);
    return wrote && ::MoveFileExA(part.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
