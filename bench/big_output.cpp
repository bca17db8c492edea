// A stand-in tool for the large-report measures: writes N bytes of report lines to its standard
// output, N its last argument (Ombrix passes it as the "machine name"), then notes the moment it
// finished writing (QueryPerformanceCounter) in "<its own path>.end". A window program, so that
// no console host holds its output after it ends: what follows is Ombrix's own work.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/unique_handle.h"

namespace {

bool WriteAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string arguments = commandLine;
    const std::size_t last = arguments.find_last_of(' ');
    const long long size =
        std::atoll(arguments.c_str() + (last == std::string::npos ? 0 : last + 1));
    const std::string line =
        "\\\\BENCH has been up for: 12 day(s), 18 hour(s), 48 minute(s), 33 second(s)......\r\n";
    std::string block;
    while (block.size() < (1u << 20)) {
        block += line;
    }
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    for (long long left = size; left > 0;) {
        const auto chunk = static_cast<std::size_t>(
            std::min<long long>(left, static_cast<long long>(block.size())));
        if (!WriteAll(output, block.data(), chunk)) {
            return 1;
        }
        left -= static_cast<long long>(chunk);
    }
    LARGE_INTEGER end{};
    ::QueryPerformanceCounter(&end);
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const ombrix::platform::win32::UniqueHandle stamp(
        ::CreateFileA((std::string(self) + ".end").c_str(), GENERIC_WRITE, 0, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return stamp && ::WriteFile(stamp.get(), &end, sizeof(end), &written, nullptr) ? 0 : 1;
}
