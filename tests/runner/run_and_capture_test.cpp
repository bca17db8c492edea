// RunAndCapture with real child processes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "runner/run_and_capture.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ombrix::runner {
namespace {

using Kind = RunOutcome::Kind;
namespace fs = std::filesystem;

// Stops the tool when it has not ended within 200 ms.
class CancelAfter final : public ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess& child) override {
        return child.WaitForExit(std::chrono::milliseconds(200));
    }
};

class RunAndCaptureTest : public ::testing::Test {
  protected:
    // A run after the previous one's output has been dismissed.
    RunOutcome Run(const std::string& tail,
                   const std::string& program = test::HelperProgram("child_probe")) {
        launchActive = false;
        return RunAndCapture({output, program, tail}, launchActive, messages, waiter);
    }
    std::string Output() const { return test::ReadFile(output); }

    test::ScratchDir dir;
    std::string output = shared::JoinPath(dir.path().string(), "KQZTXDMR.TMP");
    bool launchActive = false;
    test::RecordingMessages messages;
    ExitWaiter* waiter = nullptr;
};

// The bytes themselves, the lost error stream and the empty input are shown by the launch's
// tests; here what only the runner sees.
TEST_F(RunAndCaptureTest, LargeOutputArrivesWholeAndTheFlagStaysSet) {
    const RunOutcome outcome = Run(" --fill 3000000");
    ASSERT_EQ(outcome.kind, Kind::Finished) << outcome.reason;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(launchActive) << "set until the output has been dismissed";
    const std::string large = Output();
    ASSERT_EQ(large.size(), 3000000u);
    EXPECT_EQ(large.substr(2999992), "01234567");
}

TEST_F(RunAndCaptureTest, AnExistingFileIsCutToTheNewOutput) {
    test::WriteFile(output, std::string(5000, 'o'));
    ASSERT_EQ(Run(" --hex 78").kind, Kind::Finished);
    EXPECT_EQ(Output(), "x");
    ASSERT_EQ(Run("").kind, Kind::Finished);
    EXPECT_EQ(Output(), "") << "no output leaves an empty file";
}

TEST_F(RunAndCaptureTest, ExitCodesPassThroughWhole) {
#ifdef _WIN32
    const int codes[] = {3, 255, 259};  // 259 is also the value of STILL_ACTIVE
#else
    const int codes[] = {3, 255};
#endif
    for (int code : codes) {
        const RunOutcome outcome = Run(" --exit " + std::to_string(code));
        ASSERT_EQ(outcome.kind, Kind::Finished);
        EXPECT_EQ(outcome.exitCode, code);
    }
    const RunOutcome minusOne = Run(" --hex 41 --exit -1");
    ASSERT_EQ(minusOne.kind, Kind::Finished) << "a tool's -1 is not a refusal";
#ifdef _WIN32
    EXPECT_EQ(minusOne.exitCode, -1);
#else
    EXPECT_EQ(minusOne.exitCode, 255) << "POSIX keeps the low eight bits";
#endif
    EXPECT_EQ(Output(), "A");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RunAndCaptureTest, WhatCannotStartLeavesNoFileAndClearsTheFlag) {
    const std::string textFile = dir.File("uptime.exe");
    test::WriteFile(textFile, "This is a text file, not a program.\r\n");
    fs::permissions(textFile, fs::perms::owner_all, fs::perm_options::add);
    for (const std::string& program : {dir.File("no such tool.exe"), textFile}) {
        const RunOutcome outcome = Run(" /s", program);
        EXPECT_EQ(outcome.kind, Kind::NotStarted) << program;
        EXPECT_FALSE(outcome.reason.empty());
        EXPECT_FALSE(launchActive);
        EXPECT_FALSE(fs::exists(output));
    }
    output = shared::JoinPath(dir.File("missing folder"), "KQZTXDMR.TMP");
    const RunOutcome outcome = Run(" --hex 41");
    EXPECT_EQ(outcome.kind, Kind::OutputNotCreated);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(launchActive);
    EXPECT_TRUE(messages.shown.empty()) << "the launch tells the user, not the runner";
}

TEST_F(RunAndCaptureTest, CancelEndsTheToolAndLeavesNothing) {
    CancelAfter cancel;
    waiter = &cancel;
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome outcome = Run(" --hex 41 --sleep 30000");
    EXPECT_EQ(outcome.kind, Kind::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_FALSE(launchActive);
    EXPECT_FALSE(fs::exists(output));
}

#ifndef _WIN32
TEST_F(RunAndCaptureTest, OutputIsPrivateToItsUser) {
    test::WriteFile(output, "");
    ::chmod(output.c_str(), 0644);
    ASSERT_EQ(Run(" --hex 41").kind, Kind::Finished);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read | fs::perms::owner_write)
        << "an existing file of ours is made private too";
    fs::remove(output);
    ASSERT_EQ(Run(" --hex 41").kind, Kind::Finished);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(RunAndCaptureTest, PlantedLinksAreNeverFollowed) {
    const std::string victim = dir.File("victim.txt");
    test::WriteFile(victim, "precious");
    ASSERT_EQ(::symlink(victim.c_str(), output.c_str()), 0);
    EXPECT_EQ(Run(" --hex 41").kind, Kind::OutputNotCreated);
    EXPECT_FALSE(launchActive);
    ASSERT_EQ(::unlink(output.c_str()), 0);
    ASSERT_EQ(::link(victim.c_str(), output.c_str()), 0);
    EXPECT_EQ(Run(" --hex 41").kind, Kind::OutputNotCreated) << "nor hard links";
    EXPECT_EQ(test::ReadFile(victim), "precious");
}
#endif

}  // namespace
}  // namespace ombrix::runner
