// What only Windows (here Wine) can show: the program path is never cut at a blank, and the
// output is readable at once even when the child had a console host of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/unique_handle.h"
#include "runner/run_and_capture.h"
#include "support/test_support.h"

namespace ombrix::runner {
namespace {

namespace fs = std::filesystem;

// Runs a command line the way a program that forgets the quotes would.
void RunUnquoted(std::string commandLine, DWORD flags = 0) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                         nullptr, &startup, &info)) {
        platform::win32::UniqueHandle process(info.hProcess);
        platform::win32::UniqueHandle thread(info.hThread);
        ::WaitForSingleObject(process.get(), 10'000);
    }
}

TEST(ProgramPathTrap, OnlyTheNamedFileRuns) {
    const fs::path trap = "C:\\Program.exe";
    const fs::path mark = "C:\\Program.exe.ran";
    const fs::path tool = "C:\\Program Files\\Ombrix Trap Test\\uptime.exe";
    std::error_code error;
    if (fs::exists(trap) || !fs::copy_file(test::HelperProgram("trap_program"), trap, error)) {
        GTEST_SKIP() << "cannot place a trap at " << trap << ": " << error.message();
    }
    fs::create_directories(tool.parent_path());
    fs::copy_file(test::HelperProgram("child_probe"), tool, fs::copy_options::overwrite_existing);
    RunUnquoted(tool.string() + " /s");
    const bool caught = fs::remove(mark, error);

    test::ScratchDir dir;
    const std::string output = dir.File("TRAPTEST.TMP");
    RunState state;
    const base::Result<RunEnd> run = RunAndCapture({output, tool.string(), " /s --args"}, state);
    fs::remove(mark, error);
    fs::remove(trap, error);
    fs::remove_all(tool.parent_path(), error);
    ASSERT_TRUE(caught) << "the trap did not catch the unquoted path";
    ASSERT_TRUE(run) << run.Reason();
    // Had C:\Program.exe run in the tool's place, it would have printed nothing.
    EXPECT_EQ(test::ReadFile(output), "[/s]\n[--args]\n") << "the tool gets its switches alone";
}

TEST(ConsoleHostRace, OutputIsReadableAtOnceFromAWindowedProgram) {
    test::ScratchDir dir;
    for (int round = 0; round < 5; ++round) {
        std::string command;
        for (const std::string& part :
             {test::HelperProgram("gui_capture_probe"),
              dir.File("OUT" + std::to_string(round) + ".TMP"), test::HelperProgram("child_probe"),
              std::string(" --fill 5000"), dir.File("report.txt")}) {
            command.append(" \"").append(part).append("\"");
        }
        // Detached, as Ombrix is when started from the desktop: no console of its own, so the
        // console child gets a console host that holds the output file for a moment.
        RunUnquoted(command.substr(1), DETACHED_PROCESS);
        EXPECT_EQ(test::ReadFile(dir.File("report.txt")), "read 5000") << "round " << round;
    }
}

}  // namespace
}  // namespace ombrix::runner
