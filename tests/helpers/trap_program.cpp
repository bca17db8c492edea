// Stands at C:\Program.exe in a test: if Windows ever runs it for a path with blanks, it
// leaves a mark beside itself.
#include <windows.h>

#include <string>

int main() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string mark = std::string(self) + ".ran";
    HANDLE file = ::CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
    return 0;
}
