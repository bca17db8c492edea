// SysInfo on the real system: values written to the registry, a stand-in tool where they point,
// the real program start and the real message box.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "about/sys_info.h"
#include "about/win32_about_support.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using namespace std::string_literals;
using namespace std::chrono_literals;
using abouttest::RegistryValueGuard;

constexpr const char* kTestKey = "SOFTWARE\\Ombrix Registry Reader Test";

TEST(GetKeyValueOnWindows, ReadsTheValuesTheSystemHolds) {
    struct Case {
        const char* value;
        DWORD type;
        std::string bytes;
        bool found;
        std::string result;
    };
    const std::string longest(1023, 'L');
    const std::vector<Case> cases = {
        {"Text", REG_SZ, "C:\\Tools\\info.exe\0"s, true, "C:\\Tools\\info.exe"},
        {"Unterminated", REG_SZ, "abc", true, "abc"},
        {"Longest", REG_SZ, longest + '\0', true, longest},
        {"TooLong", REG_SZ, longest + "L\0"s, false, ""},
        {"Number", REG_DWORD, "\x78\x56\x34\x12", true, "305419896"},
        {"Expandable", REG_EXPAND_SZ, "%SystemRoot%\\x.exe\0"s, true, "as passed"},
        {"Empty", REG_BINARY, "", false, ""},
    };
    RegistryValueGuard key(kTestKey, "unused");  // made for this test, removed after it
    std::vector<std::unique_ptr<RegistryValueGuard>> values;
    for (const Case& c : cases) {
        values.push_back(std::make_unique<RegistryValueGuard>(kTestKey, c.value));
        values.back()->Set(c.type, c.bytes);
    }
    platform::win32::Win32Registry registry;
    for (const Case& c : cases) {
        std::string result = "as passed";
        EXPECT_EQ(GetKeyValue(registry, platform::kLocalMachine, kTestKey, c.value, result),
                  c.found)
            << c.value;
        EXPECT_EQ(result, c.result) << c.value;
    }
    std::string result = "as passed";
    EXPECT_FALSE(GetKeyValue(registry, platform::kLocalMachine, kTestKey, "Missing", result));
    EXPECT_EQ(result, "");
    result = "as passed";
    EXPECT_FALSE(GetKeyValue(registry, platform::kLocalMachine,
                             "SOFTWARE\\Ombrix Registry Reader Test\\No Such Key", "Text", result));
    EXPECT_EQ(result, "");
}

TEST(StartProgramOnWindows, StartsOnlyWhatIsAProgram) {
    test::ScratchDir scratch;
    const std::string notAProgram = scratch.File("notes.exe");
    test::WriteFile(notAProgram, "not a program");
    EXPECT_FALSE(platform::win32::StartProgram(""));
    EXPECT_FALSE(platform::win32::StartProgram(scratch.File("missing.exe")));
    EXPECT_FALSE(platform::win32::StartProgram(notAProgram));
    EXPECT_FALSE(platform::win32::StartProgram(scratch.path().string()));
}

// Both registry locations under the test's control, the record file named for the stand-in.
class SysInfoOnWindows : public ::testing::Test {
  protected:
    void SetUp() override { ::SetEnvironmentVariableA("OMBRIX_RECORD", record.c_str()); }
    void TearDown() override { ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr); }

    void Start() {
        platform::win32::Win32Registry registry;
        platform::win32::Win32MessageBoxes boxes;
        StartSysInfo({registry, &shared::FileExists, &platform::win32::StartProgram, boxes});
    }
    // The message of every failure, and no program started.
    void ExpectOnlyTheMessage() {
        ASSERT_EQ(watcher.shown.size(), 1u);
        EXPECT_EQ(watcher.shown[0].text, "System Information Is Unavailable At This Time");
        EXPECT_EQ(watcher.shown[0].title, "Ombrix");
        EXPECT_FALSE(watcher.shown[0].icon);
        EXPECT_EQ(watcher.shown[0].buttons, 1);
        EXPECT_FALSE(abouttest::WaitForRecord(record, 1s)) << "a program was started";
    }

    RegistryValueGuard path{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"};
    RegistryValueGuard folder{"SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO"};
    test::ScratchDir scratch;
    const std::string record = scratch.File("record.txt");
    // A folder that holds a stand-in tool under the name the second location needs.
    const std::string toolFolder = scratch.File("Microsoft Shared\\MSInfo");
    abouttest::MessageBoxWatcher watcher;
};

TEST_F(SysInfoOnWindows, Location1StartsTheToolInANormalWindow) {
    const std::string tool = scratch.File("Common Files\\info tool.exe");
    abouttest::InstallRecorder(tool);
    abouttest::InstallRecorder(toolFolder + "\\MSINFO32.EXE");
    path.SetText(tool);
    folder.SetText(toolFolder);
    Start();
    const auto started = abouttest::WaitForRecord(record);
    ASSERT_TRUE(started);
    EXPECT_TRUE(abouttest::SamePath(started->program, tool)) << started->program;
    EXPECT_EQ(started->show, "1");
    EXPECT_TRUE(started->args.empty());
    EXPECT_TRUE(watcher.shown.empty());
}

TEST_F(SysInfoOnWindows, Location2FolderHoldingTheToolStartsIt) {
    abouttest::InstallRecorder(toolFolder + "\\MSINFO32.EXE");
    path.Remove();
    folder.SetText(toolFolder);
    Start();
    const auto started = abouttest::WaitForRecord(record);
    ASSERT_TRUE(started);
    EXPECT_TRUE(abouttest::SamePath(started->program, toolFolder + "\\MSINFO32.EXE"))
        << started->program;
    EXPECT_EQ(started->show, "1");
    EXPECT_TRUE(watcher.shown.empty());
}

TEST_F(SysInfoOnWindows, BothLocationsMissingShowsTheMessage) {
    path.Remove();
    folder.Remove();
    Start();
    ExpectOnlyTheMessage();
}

TEST_F(SysInfoOnWindows, Location2FolderWithoutTheToolShowsTheMessage) {
    abouttest::InstallRecorder(toolFolder + "\\msinfo.exe");
    path.Remove();
    folder.SetText(toolFolder);
    Start();
    ExpectOnlyTheMessage();
}

TEST_F(SysInfoOnWindows, Location1ThatStartsNothingShowsTheMessageWithoutTryingLocation2) {
    abouttest::InstallRecorder(toolFolder + "\\MSINFO32.EXE");
    folder.SetText(toolFolder);
    const std::string notAProgram = scratch.File("readme.exe");
    test::WriteFile(notAProgram, "text");
    struct Case {
        const char* why;
        DWORD type;
        std::string bytes;
    };
    for (const Case& c : {
             Case{"a path that leads nowhere", REG_SZ, scratch.File("gone.exe") + '\0'},
             Case{"a file that is no program", REG_SZ, notAProgram + '\0'},
             Case{"another text type", REG_EXPAND_SZ, toolFolder + "\\MSINFO32.EXE" + '\0'},
         }) {
        SCOPED_TRACE(c.why);
        watcher.shown.clear();
        path.Set(c.type, c.bytes);
        Start();
        ExpectOnlyTheMessage();
    }
}

}  // namespace
}  // namespace ombrix::about
