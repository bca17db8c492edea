// RunAndCapture with real child processes.
#include "runner/run_and_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix::runner {
namespace {

namespace fs = std::filesystem;

// Stops the tool when it has not ended within 200 ms.
struct CancelAfter final : ExitWaiter {
    bool WaitForExit(platform::CapturedProcess& child) override {
        return child.WaitForExit(std::chrono::milliseconds(200));
    }
};

class RunAndCaptureTest : public ::testing::Test {
  protected:
    // A run, kept as long as the result lives.
    base::Result<RunEnd> Run(const std::string& tail,
                             const std::string& program = test::HelperProgram("child_probe")) {
        return RunAndCapture({output, program, tail}, state, waiter);
    }

    test::ScratchDir dir;
    std::string output = shared::JoinPath(dir.path().string(), "KQZTXDMR.TMP");
    RunState state;
    ExitWaiter* waiter = nullptr;
};

// The bytes as they come, the run's state and the file's end are the launch's test's to see.
TEST_F(RunAndCaptureTest, OutputArrivesWholeInPlaceOfALongerOldFile) {
    test::WriteFile(output, std::string(4'000'000, 'o'));
    const auto run = Run(" --fill 3000000");
    ASSERT_TRUE(run && !run->cancelled) << run.Reason();
    const std::string large = test::ReadFile(output);
    ASSERT_EQ(large.size(), 3000000u);
    EXPECT_EQ(large.substr(2999992), "01234567");
}

TEST_F(RunAndCaptureTest, WhatIsTooLongCannotStartOrIsCancelledLeavesNothing) {
    // A path of 259 characters is tried (there is no such file); one of 260 is refused unseen.
    const auto path = [folder = dir.File(std::string(300, 'p'))](std::size_t length) {
        return folder.substr(0, length - 11) + platform::kPathSeparator + "uptime.exe";
    };
    EXPECT_EQ(Run("", path(260)).Reason(),
              "Ombrix cannot start UPTIME.EXE: its path is 260 characters long, and Windows "
              "starts programs only from paths of at most 259 characters.\r\n\r\nMove "
              "UPTIME.EXE to a folder with a shorter path, and locate it there through Program "
              "Location.");

    // The command line is the quoted path and the switches: 32,766 characters run, 32,767 not.
    const std::string program = test::HelperProgram("child_probe");
    const std::size_t room = 32766 - program.size() - 2 - std::string(" --hex 41 ").size();
    ASSERT_EQ(Run(" --hex 41 " + std::string(room, 'x'), program).Reason(), "") << "it ran";
    EXPECT_EQ(Run(" --hex 41 " + std::string(room + 1, 'x'), program).Reason(),
              "Ombrix cannot start UPTIME.EXE: its command line would be 32767 characters long, "
              "and Windows takes command lines of at most 32766 characters.\r\n\r\nUse a "
              "shorter remote machine name.");

    const std::string textFile = dir.File("uptime.exe");
    test::WriteFile(textFile, "This is a text file, not a program.\r\n");
    fs::permissions(textFile, fs::perms::owner_all, fs::perm_options::add);
    for (const std::string& tool : {path(259), dir.File("no such tool.exe"), textFile}) {
        const std::string reason = Run(" /s", tool).Reason();
        const std::string said = "Ombrix could not start " + tool + ".\r\n\r\n";
        EXPECT_EQ(reason.rfind(said, 0), 0u) << reason;
        EXPECT_GT(reason.size(), said.size()) << "the system's reason follows";
        EXPECT_FALSE(state.LaunchActive());
        EXPECT_FALSE(fs::exists(output));
    }
    CancelAfter cancel;
    waiter = &cancel;
    const auto start = std::chrono::steady_clock::now();
    const base::Result<RunEnd> run = Run(" --hex 41 --sleep 30000");
    ASSERT_TRUE(run && run->cancelled) << run.Reason();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15)) << "not ended";
    EXPECT_FALSE(state.LaunchActive());
    EXPECT_FALSE(fs::exists(output));
}

}  // namespace
}  // namespace ombrix::runner
