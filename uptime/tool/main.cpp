// uptime: reports how long a computer has been running and, with /s or /a, its system events.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/system_info.h"
#include "uptime/tool/system.h"
#include "uptime/tool/tool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(uptime::SystemTextToUtf8(argv[i]));
    }
    const uptime::LocalMachine machine{uptime::SystemTextToUtf8(ombrix::platform::ComputerName()),
                                       ombrix::platform::SecondsSinceBoot(),
                                       uptime::OperatingSystemName(), uptime::TimeZoneName()};
    const auto system = uptime::OpenToolSystem();
    const uptime::ToolResult result = uptime::RunTool(args, machine, *system);
    const std::string output = uptime::Utf8ToSystemText(result.output);
#ifdef _WIN32
    // The text carries its own CR LF: write it as bytes, so nothing is translated.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool written = std::fwrite(output.data(), 1, output.size(), stdout) == output.size() &&
                         std::fflush(stdout) == 0;
    return written ? result.exitCode : uptime::kUsageError;
}
