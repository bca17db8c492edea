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

class RunAndCaptureTest : public ::testing::Test {
  protected:
    RunOutcome Run(const std::string& tail,
                   const std::string& program = test::HelperProgram("child_probe")) {
        return RunAndCapture({output, program, tail}, launchActive, messages);
    }
    std::string Output() const { return test::ReadFile(output); }

    test::ScratchDir dir;
    std::string output = shared::JoinPath(dir.path().string(), "KQZTXDMR.TMP");
    bool launchActive = false;
    test::RecordingMessages messages;
};

TEST_F(RunAndCaptureTest, CapturesStandardOutputByteForByte) {
    const RunOutcome outcome = Run(" --hex 00ff0d0a410a0d1a7f80");
    ASSERT_EQ(outcome.kind, Kind::Finished) << outcome.reason;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(Output(), std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80", 10));
    EXPECT_TRUE(launchActive) << "set until the output has been dismissed";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RunAndCaptureTest, EmptyOutputLeavesAnEmptyFile) {
    ASSERT_EQ(Run("").kind, Kind::Finished);
    EXPECT_TRUE(fs::exists(output));
    EXPECT_EQ(fs::file_size(output), 0u);
}

TEST_F(RunAndCaptureTest, LargeOutputArrivesWhole) {
    ASSERT_EQ(Run(" --fill 3000000").kind, Kind::Finished);
    const std::string bytes = Output();
    ASSERT_EQ(bytes.size(), 3000000u);
    EXPECT_EQ(bytes.substr(2999992), "01234567");
}

TEST_F(RunAndCaptureTest, ErrorStreamIsLost) {
    ASSERT_EQ(Run(" --stderr Failure! --hex 4f4b --stderr more").kind, Kind::Finished);
    EXPECT_EQ(Output(), "OK");
}

TEST_F(RunAndCaptureTest, StandardInputGivesNothing) {
    ASSERT_EQ(Run(" --stdin").kind, Kind::Finished);
    EXPECT_EQ(Output(), "stdin:0");
}

TEST_F(RunAndCaptureTest, ExitCodesPassThroughWhole) {
#ifdef _WIN32
    const int codes[] = {0, 3, 255, 259};  // 259 is also the value of STILL_ACTIVE
#else
    const int codes[] = {0, 3, 255};
#endif
    for (int code : codes) {
        launchActive = false;
        const RunOutcome outcome = Run(" --exit " + std::to_string(code));
        ASSERT_EQ(outcome.kind, Kind::Finished);
        EXPECT_EQ(outcome.exitCode, code);
    }
    launchActive = false;
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

TEST_F(RunAndCaptureTest, ExistingFileIsCutToLengthZero) {
    test::WriteFile(output, std::string(5000, 'o'));
    ASSERT_EQ(Run(" --hex 78").kind, Kind::Finished);
    EXPECT_EQ(Output(), "x");
    launchActive = false;
    ASSERT_EQ(Run("").kind, Kind::Finished);
    EXPECT_EQ(fs::file_size(output), 0u);
}

TEST_F(RunAndCaptureTest, SecondRunIsRefusedWithItsMessageAndNoFile) {
    launchActive = true;
    const RunOutcome outcome = Run(" --hex 41");
    EXPECT_EQ(outcome.kind, Kind::Refused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You cannot launch two copies of UPTIME.EXE at once.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(launchActive);
}

TEST_F(RunAndCaptureTest, MissingProgramIsAFailedStartWithTheReason) {
    const RunOutcome outcome = Run(" /s", dir.File("no such tool.exe"));
    EXPECT_EQ(outcome.kind, Kind::NotStarted);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(launchActive);
    EXPECT_FALSE(fs::exists(output)) << "no temporary file left behind";
    EXPECT_TRUE(messages.shown.empty()) << "the launch tells the user, not the runner";
}

TEST_F(RunAndCaptureTest, FileThatIsNoProgramIsAFailedStart) {
    const std::string fake = dir.File("uptime.exe");
    test::WriteFile(fake, "This is a text file, not a program.\r\n");
#ifndef _WIN32
    ::chmod(fake.c_str(), 0700);
#endif
    const RunOutcome outcome = Run("", fake);
    EXPECT_EQ(outcome.kind, Kind::NotStarted);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(launchActive);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(RunAndCaptureTest, UncreatableOutputIsReportedAndNothingRuns) {
    output = shared::JoinPath(dir.File("missing folder"), "KQZTXDMR.TMP");
    const RunOutcome outcome = Run(" --hex 41");
    EXPECT_EQ(outcome.kind, Kind::OutputNotCreated);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(launchActive);
}

TEST_F(RunAndCaptureTest, ProgramPathWithBlanksRunsThatFileWithTheSwitches) {
    fs::create_directories(dir.path() / "Program Files" / "Tools");
    const std::string program =
        (dir.path() / "Program Files" / "Tools" / "uptime probe.exe").string();
    fs::copy_file(test::HelperProgram("child_probe"), program);
    const RunOutcome outcome = Run(" SRV 01 /s --args", program);
    ASSERT_EQ(outcome.kind, Kind::Finished) << outcome.reason;
    EXPECT_EQ(Output(), "[SRV]\n[01]\n[/s]\n[--args]\n");
}

class CancelAfter final : public ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess& child) override {
        return child.WaitForExit(std::chrono::milliseconds(200));
    }
};

TEST_F(RunAndCaptureTest, CancelEndsTheToolAndLeavesNothing) {
    CancelAfter cancel;
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome outcome =
        RunAndCapture({output, test::HelperProgram("child_probe"), " --hex 41 --sleep 30000"},
                      launchActive, messages, &cancel);
    EXPECT_EQ(outcome.kind, Kind::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_FALSE(launchActive);
    EXPECT_FALSE(fs::exists(output));
}

#ifndef _WIN32
TEST_F(RunAndCaptureTest, OutputIsPrivateToItsUser) {
    ASSERT_EQ(Run(" --hex 41").kind, Kind::Finished);
    struct stat info {};
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    launchActive = false;
    ::chmod(output.c_str(), 0644);
    ASSERT_EQ(Run(" --hex 42").kind, Kind::Finished);
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "an existing file of ours is made private too";
}

TEST_F(RunAndCaptureTest, PlantedLinksAreNeverFollowed) {
    const std::string victim = dir.File("victim.txt");
    test::WriteFile(victim, "precious");
    ASSERT_EQ(::symlink(victim.c_str(), output.c_str()), 0);
    EXPECT_EQ(Run(" --hex 41").kind, Kind::OutputNotCreated);
    EXPECT_EQ(test::ReadFile(victim), "precious");
    EXPECT_FALSE(launchActive);

    ASSERT_EQ(::unlink(output.c_str()), 0);
    ASSERT_EQ(::link(victim.c_str(), output.c_str()), 0);
    EXPECT_EQ(Run(" --hex 41").kind, Kind::OutputNotCreated) << "nor hard links";
    EXPECT_EQ(test::ReadFile(victim), "precious");
}
#endif

}  // namespace
}  // namespace ombrix::runner
