// Stands for an Ombrix killed in the middle of saving TARGET: writes the new file that a save of
// TARGET makes beside it, under this process's id, then waits to be ended.
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/process_files.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
#ifdef _WIN32
    const auto self = static_cast<unsigned long>(::_getpid());
#else
    const auto self = static_cast<unsigned long>(::getpid());
#endif
    std::ofstream(ombrix::platform::ReplacementPath(argv[1], self, 0, 0)) << "half a save";
    std::this_thread::sleep_for(std::chrono::minutes(2));
    return 0;
}
