// SysInfo on the real system: values written to the registry, a stand-in tool where they point,
// the real program start and the real message box.
#include <gtest/gtest.h>

#include <filesystem>

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
using abouttest::InstallRecorder;
using abouttest::RegistryValueGuard;

TEST(GetKeyValueOnWindows, ReadsTheValuesTheSystemHolds) {
    constexpr const char* kKey = "SOFTWARE\\Ombrix Registry Reader Test";
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
        {"Missing", REG_NONE, "", false, ""},
    };
    RegistryValueGuard key(kKey, "unused");  // made for this test, removed after it
    std::vector<std::unique_ptr<RegistryValueGuard>> values;
    for (const Case& c : cases) {
        values.push_back(std::make_unique<RegistryValueGuard>(kKey, c.value));
        if (c.type != REG_NONE) {
            values.back()->Set(c.type, c.bytes);
        }
    }
    platform::win32::Win32Registry registry;
    for (const Case& c : cases) {
        std::string result = "as passed";
        EXPECT_EQ(GetKeyValue(registry, platform::kLocalMachine, kKey, c.value, result), c.found)
            << c.value;
        EXPECT_EQ(result, c.result) << c.value;
    }
    std::string result = "as passed";
    EXPECT_FALSE(
        GetKeyValue(registry, platform::kLocalMachine, kKey + "\\No Such Key"s, "Text", result));
    EXPECT_EQ(result, "");
}

TEST(StartProgramOnWindows, StartsOnlyWhatIsAProgram) {
    test::ScratchDir scratch;
    test::WriteFile(scratch.File("notes.exe"), "not a program");
    for (const std::string& path : {std::string(), scratch.File("missing.exe"),
                                    scratch.File("notes.exe"), scratch.path().string()}) {
        EXPECT_FALSE(platform::win32::StartProgram(path)) << path;
    }
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

    RegistryValueGuard path{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"};
    RegistryValueGuard folder{"SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO"};
    test::ScratchDir scratch;
    const std::string record = scratch.File("record.txt");
    // A folder that holds a stand-in tool under the name the second location needs.
    const std::string toolFolder = scratch.File("Microsoft Shared\\MSInfo");
    const std::string location2Tool = toolFolder + "\\MSINFO32.EXE";
    abouttest::MessageBoxWatcher watcher;
};

TEST_F(SysInfoOnWindows, TheFirstLocationThatNamesTheToolStartsItInANormalWindow) {
    const std::string location1Tool = scratch.File("Common Files\\info tool.exe");
    InstallRecorder(location1Tool);
    InstallRecorder(location2Tool);
    folder.SetText(toolFolder);
    for (const std::string& tool : {location1Tool, location2Tool}) {
        if (tool == location1Tool) {
            path.SetText(tool);
        } else {
            path.Remove();
        }
        Start();
        const auto started = abouttest::WaitForRecord(record);
        ASSERT_TRUE(started);
        EXPECT_TRUE(abouttest::SamePath(started->program, tool)) << started->program;
        EXPECT_EQ(started->show, "1") << "SW_SHOWNORMAL";
        EXPECT_TRUE(started->args.empty());
        EXPECT_TRUE(watcher.shown.empty());
        std::filesystem::remove(record);
    }
}

TEST_F(SysInfoOnWindows, WhenNothingStartsTheMessageShows) {
    const auto startShowsOnlyTheMessage = [&] {
        Start();
        ASSERT_EQ(watcher.shown.size(), 1u);
        EXPECT_EQ(watcher.shown[0].text, "System Information Is Unavailable At This Time");
        EXPECT_EQ(watcher.shown[0].title, "Ombrix");
        EXPECT_FALSE(watcher.shown[0].icon);
        EXPECT_EQ(watcher.shown[0].buttons, 1);
        EXPECT_FALSE(abouttest::WaitForRecord(record, 1s)) << "a program was started";
        watcher.shown.clear();
    };
    path.Remove();
    folder.Remove();
    startShowsOnlyTheMessage();
    // Location 1 is used as it is: when it leads nowhere, location 2 is not tried.
    InstallRecorder(location2Tool);
    folder.SetText(toolFolder);
    path.SetText(scratch.File("gone.exe"));
    startShowsOnlyTheMessage();
}

}  // namespace
}  // namespace ombrix::about
