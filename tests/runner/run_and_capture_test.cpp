// RunAndCapture with real child processes.
#include "runner/run_and_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

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

TEST_F(RunAndCaptureTest, OutputArrivesByteForByteInPlaceOfTheOldFile) {
    test::WriteFile(output, std::string(5000, 'o'));
    const RunOutcome outcome = Run(" --hex 00ff0d0a410a0d1a7f80 --stderr Lost!");
    ASSERT_EQ(outcome.kind, Kind::Finished) << outcome.reason;
    EXPECT_TRUE(launchActive) << "set until the output has been dismissed";
    EXPECT_EQ(Output(), std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80", 10));

    ASSERT_EQ(Run(" --fill 3000000").kind, Kind::Finished);
    const std::string large = Output();
    ASSERT_EQ(large.size(), 3000000u);
    EXPECT_EQ(large.substr(2999992), "01234567");
}

TEST_F(RunAndCaptureTest, ExitCodesPassThroughWhole) {
#ifdef _WIN32
    const int codes[] = {3, 255, 259, -1};  // 259 is also the value of STILL_ACTIVE
#else
    const int codes[] = {3, 255};
#endif
    for (int code : codes) {
        const RunOutcome outcome = Run(" --exit " + std::to_string(code));
        ASSERT_EQ(outcome.kind, Kind::Finished) << "a tool's " << code << " is not a refusal";
        EXPECT_EQ(outcome.exitCode, code);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RunAndCaptureTest, ASecondRunIsRefusedAndCreatesNothing) {
    launchActive = true;
    EXPECT_EQ(RunAndCapture({output, "", ""}, launchActive, messages).kind, Kind::Refused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You cannot launch two copies of UPTIME.EXE at once.");
    EXPECT_TRUE(launchActive) << "the earlier run's output still waits to be dismissed";
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(RunAndCaptureTest, WhatCannotStartOrIsCancelledLeavesNothing) {
    const std::string textFile = dir.File("uptime.exe");
    test::WriteFile(textFile, "This is a text file, not a program.\r\n");
    fs::permissions(textFile, fs::perms::owner_all, fs::perm_options::add);
    CancelAfter cancel;
    for (const std::string& program : {dir.File("no such tool.exe"), textFile, std::string()}) {
        waiter = program.empty() ? &cancel : nullptr;
        const auto start = std::chrono::steady_clock::now();
        const RunOutcome outcome =
            program.empty() ? Run(" --hex 41 --sleep 30000") : Run(" /s", program);
        EXPECT_EQ(outcome.kind, program.empty() ? Kind::Cancelled : Kind::NotStarted) << program;
        EXPECT_EQ(outcome.reason.empty(), program.empty()) << "the system's reason";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
        EXPECT_FALSE(launchActive);
        EXPECT_FALSE(fs::exists(output));
    }
    EXPECT_TRUE(messages.shown.empty()) << "the launch tells the user, not the runner";
}

#ifndef _WIN32
TEST_F(RunAndCaptureTest, OutputIsPrivateAndPlantedLinksAreNeverFollowed) {
    test::WriteFile(output, "");
    ::chmod(output.c_str(), 0644);
    ASSERT_EQ(Run(" --hex 41").kind, Kind::Finished);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read | fs::perms::owner_write)
        << "even an existing file is made private";
    fs::remove(output);

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
