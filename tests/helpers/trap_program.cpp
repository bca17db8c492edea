// Stands at C:\Program.exe in a test: if Windows ever runs it for a path with blanks, it
// leaves a mark beside itself.
#include <windows.h>

#include <fstream>
#include <string>

int main() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::ofstream(std::string(self) + ".ran");
    return 0;
}
