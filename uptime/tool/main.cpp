// uptime: reports how long a computer has been running and, with /s or /a, its system events.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/process_files.h"
#include "platform/system_info.h"
#include "uptime/tool/machine_report.h"
#include "uptime/tool/system.h"
#include "uptime/tool/tool.h"

namespace {

// Every failure the tool expects is a line of the report; running out of memory, as on a log
// far larger than the computer's memory, is the one that can come from anywhere.
uptime::ToolResult RunCatchingMemory(const std::vector<std::string>& args,
                                     const uptime::LocalMachine& machine,
                                     const uptime::ToolSystem& system) {
    try {
        return uptime::RunTool(args, machine, system);
    } catch (const std::bad_alloc&) {
        return {"There was not enough memory to make the report.\r\n",
                uptime::ExitCodeFor(ombrix::base::FailureKind::OutOfMemory)};
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(uptime::SystemTextToUtf8(argv[i]));
    }
    const uptime::LocalMachine machine{uptime::SystemTextToUtf8(ombrix::platform::ComputerName()),
                                       ombrix::platform::SecondsSinceBoot(),
                                       uptime::OperatingSystemName(), uptime::TimeZoneName()};
    const auto system = uptime::OpenToolSystem();
    const uptime::ToolResult result = RunCatchingMemory(args, machine, *system);
    std::string output = result.utf8 ? result.output : uptime::Utf8ToSystemText(result.output);
    int exitCode = result.exitCode;
    if (!result.outputFile.empty()) {
        // Written beside the file and swapped in: the old report stays whole if this one fails.
        const auto replaced = ombrix::platform::ReplaceFileContent(result.outputFile, output);
        output.clear();
        if (!replaced) {
            output =
                uptime::Utf8ToSystemText("The report cannot be written to " + result.outputFile +
                                         ": " + replaced.Reason() + "\r\n");
            exitCode = uptime::ExitCodeFor(replaced.Kind());
        }
    }
#ifdef _WIN32
    // The text carries its own CR LF: write it as bytes, so nothing is translated.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool written = std::fwrite(output.data(), 1, output.size(), stdout) == output.size() &&
                         std::fflush(stdout) == 0;
    return written ? exitCode : uptime::kUsageError;
}
