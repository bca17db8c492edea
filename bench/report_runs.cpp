#include "report_runs.h"

#include <cstring>
#include <vector>

#include "bench_failure.h"
#include "drive/clock.h"
#include "drive/program.h"
#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::bench {

using platform::win32::UniqueHandle;

void RunToFile(const std::filesystem::path& program, const std::string& arguments,
               const std::filesystem::path& output) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const UniqueHandle file(::CreateFileA(output.string().c_str(), GENERIC_WRITE, 0, &inheritable,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    drive::StartOptions options;
    options.arguments = arguments;
    options.output = file.get();
    const auto started = drive::Program::Start(program.string(), options);
    if (!file || !started) {
        Fail("cannot run " + program.string() + " into " + output.string());
    }
    ::WaitForSingleObject(started->Process(), INFINITE);
}

double ReadAndFindLineEnds(const std::filesystem::path& path) {
    const LONGLONG start = drive::Now();
    const base::Result<std::string> content = platform::ReadWholeFile(path.string());
    if (!content) {
        Fail("cannot read " + path.string() + ": " + content.Reason());
    }
    std::vector<std::size_t> ends;
    const char* data = content->data();
    const std::size_t size = content->size();
    for (const char* at = data;
         (at = static_cast<const char*>(
              std::memchr(at, '\n', size - static_cast<std::size_t>(at - data)))) != nullptr;
         ++at) {
        ends.push_back(static_cast<std::size_t>(at - data));
    }
    const double elapsed = drive::Milliseconds(drive::Now() - start);
    if (ends.empty()) {
        Fail("no line ends in " + path.string());
    }
    return elapsed;
}

LONGLONG ToolEnd(const std::filesystem::path& tool) {
    LARGE_INTEGER end{};
    const UniqueHandle stamp(::CreateFileA((tool.string() + ".end").c_str(), GENERIC_READ, 0,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    if (!stamp || !::ReadFile(stamp.get(), &end, sizeof(end), &read, nullptr) ||
        read != sizeof(end)) {
        Fail("the tool left no end time");
    }
    return end.QuadPart;
}

}  // namespace ombrix::bench
