// uptime: reports how long this computer has been running.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/system_info.h"
#include "uptime/tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const uptime::LocalMachine machine{ombrix::platform::ComputerName(),
                                       ombrix::platform::SecondsSinceBoot()};
    const uptime::ToolResult result = uptime::RunTool(args, machine);
#ifdef _WIN32
    // The text carries its own CR LF: write it as bytes, so nothing is translated.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool written = std::fwrite(result.output.data(), 1, result.output.size(), stdout) ==
                             result.output.size() &&
                         std::fflush(stdout) == 0;
    return written ? result.exitCode : uptime::kUsageError;
}
