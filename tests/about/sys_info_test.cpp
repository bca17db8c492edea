// SysInfo: the registry reader's rules and the launcher's order of locations, over a fake
// registry, a fake file test and a fake program start.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "about/sys_info.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kRegExpandSz = 2;
constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct FakeValue {
    std::uint32_t type;
    std::string bytes;
};

// Behaves as the system does: only HKLM answers, and a value that does not fit fails.
class FakeRegistry final : public platform::Registry {
  public:
    std::unique_ptr<platform::RegistryKey> OpenKey(std::uint32_t root, const std::string& keyName,
                                                   std::uint32_t) override {
        opened.insert(keyName);
        if (throwOnOpen) {
            throw std::runtime_error("registry failure");
        }
        const auto key = keys.find(keyName);
        if (root != platform::kLocalMachine || key == keys.end() || refused.contains(keyName)) {
            return nullptr;
        }
        return std::make_unique<Key>(key->second);
    }

    std::map<std::string, std::map<std::string, FakeValue>> keys;
    std::set<std::string> refused;
    std::set<std::string> opened;
    bool throwOnOpen = false;

  private:
    struct Key final : platform::RegistryKey {
        explicit Key(const std::map<std::string, FakeValue>& v) : values(v) {}
        bool QueryValue(const std::string& name, std::uint32_t& type, std::span<char> buffer,
                        std::uint32_t& size) override {
            const auto value = values.find(name);
            if (value == values.end() || value->second.bytes.size() > size ||
                value->second.bytes.size() > buffer.size()) {
                return false;
            }
            std::copy(value->second.bytes.begin(), value->second.bytes.end(), buffer.begin());
            type = value->second.type;
            size = static_cast<std::uint32_t>(value->second.bytes.size());
            return true;
        }
        const std::map<std::string, FakeValue>& values;
    };
};

TEST(GetKeyValue, ReadsTextUpToTheReturnedSizeDwordsAsNumbersAndLeavesOtherTypes) {
    const std::pair<FakeValue, std::string> cases[] = {
        {{platform::kRegSz, "C:\\Tools\\msinfo32.exe\0"s}, "C:\\Tools\\msinfo32.exe"},
        {{platform::kRegSz, "no terminator"}, "no terminator"},
        {{platform::kRegSz, "\0"s}, ""},
        {{platform::kRegSz, "two\0\0"s}, "two\0"s},  // only the last NUL goes
        {{platform::kRegSz, std::string(1023, 'x') + '\0'}, std::string(1023, 'x')},
        {{platform::kRegSz, std::string(1024, 'y')}, std::string(1024, 'y')},
        {{platform::kRegDword, "\x78\x56\x34\x12"}, "305419896"},
        {{platform::kRegDword, "\xFF\xFF\xFF\xFF"}, "4294967295"},
        {{platform::kRegDword, "\0\0\0\0"s}, "0"},
        {{kRegExpandSz, "%SystemRoot%\\msinfo32.exe\0"s}, "as passed"},
        {{3, "\x01\x02"}, "as passed"},   // REG_BINARY
        {{7, "a\0b\0\0"s}, "as passed"},  // REG_MULTI_SZ
    };
    for (const auto& [value, expected] : cases) {
        FakeRegistry registry;
        registry.keys["K"]["V"] = value;
        std::string result = "as passed";
        EXPECT_TRUE(GetKeyValue(registry, platform::kLocalMachine, "K", "V", result));
        EXPECT_EQ(result, expected) << value.bytes.size() << " bytes of type " << value.type;
    }
}

TEST(GetKeyValue, FailuresEmptyTheResult) {
    FakeRegistry registry;
    registry.keys["Refused"]["V"] = {platform::kRegSz, "x\0"s};
    registry.refused.insert("Refused");
    registry.keys["K"]["Long"] = {platform::kRegSz, std::string(1024, 'z') + '\0'};
    registry.keys["K"]["Empty"] = {platform::kRegSz, ""};
    registry.keys["K"]["EmptyDword"] = {platform::kRegDword, ""};
    for (const auto& [key, value] : {std::pair{"Missing", "V"},
                                     {"Refused", "V"},
                                     {"K", "Missing"},
                                     {"K", "Long"},
                                     {"K", "Empty"},
                                     {"K", "EmptyDword"}}) {
        std::string result = "stale";
        EXPECT_FALSE(GetKeyValue(registry, platform::kLocalMachine, key, value, result)) << value;
        EXPECT_EQ(result, "") << key << "\\" << value;
    }
}

// A start that behaves as the system's: only the programs that exist start, an empty path never.
class SysInfoTest : public ::testing::Test {
  protected:
    void SetPath(const FakeValue& value) { registry.keys[kPathKey]["PATH"] = value; }
    void SetFolder(const std::string& folder) {
        registry.keys[kFolderKey]["MSINFO"] = {platform::kRegSz, folder + '\0'};
    }
    void Run() {
        StartSysInfo({registry,
                      [this](const std::string& path) {
                          tested.push_back(path);
                          return files.contains(path);
                      },
                      [this](const std::string& path) {
                          attempted.push_back(path);
                          if (throwOnStart) {
                              throw std::runtime_error("start failure");
                          }
                          return !path.empty() && programs.contains(path);
                      },
                      messages});
    }
    void ExpectOnlyTheMessage() {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "System Information Is Unavailable At This Time");
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkOnly);
        messages.shown.clear();
    }

    FakeRegistry registry;
    std::set<std::string> files;
    std::set<std::string> programs;
    bool throwOnStart = false;
    std::vector<std::string> tested;
    std::vector<std::string> attempted;
    test::RecordingMessages messages;
};

TEST_F(SysInfoTest, Location1StartsItsPathUnchangedWithoutReadingLocation2) {
    const std::string tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\info.exe";
    SetPath({platform::kRegSz, tool + '\0'});
    SetFolder("C:\\Other");
    files = programs = {tool, "C:\\Other\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(attempted, std::vector<std::string>{tool});
    EXPECT_TRUE(tested.empty()) << "location 1 is not tested before the start";
    EXPECT_FALSE(registry.opened.contains(kFolderKey));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SysInfoTest, Location1ThatStartsNothingShowsTheMessageWithoutTryingLocation2) {
    SetFolder("C:\\Tools");
    files = programs = {"C:\\Tools\\MSINFO32.EXE"};
    // Another text type counts as read, leaving the path empty.
    for (const FakeValue& path : {FakeValue{platform::kRegSz, "C:\\Gone\\msinfo32.exe\0"s},
                                  FakeValue{kRegExpandSz, "%ProgramFiles%\\msinfo32.exe\0"s}}) {
        attempted.clear();
        SetPath(path);
        Run();
        EXPECT_EQ(attempted, std::vector<std::string>{
                                 path.type == kRegExpandSz ? "" : "C:\\Gone\\msinfo32.exe"});
        EXPECT_FALSE(registry.opened.contains(kFolderKey));
        ExpectOnlyTheMessage();
    }
}

TEST_F(SysInfoTest, Location2FolderHoldingTheToolStartsIt) {
    SetFolder("D:\\My Tools");
    files = programs = {"D:\\My Tools\\MSINFO32.EXE"};
    // Location 1 missing, empty or longer than the buffer.
    for (const auto& path :
         {std::optional<FakeValue>(), std::optional(FakeValue{platform::kRegSz, ""}),
          std::optional(FakeValue{platform::kRegSz, std::string(1500, 'p')})}) {
        attempted.clear();
        tested.clear();
        registry.keys[kPathKey].clear();  // the key exists, as in a fresh system
        if (path) {
            SetPath(*path);
        }
        Run();
        EXPECT_EQ(tested, std::vector<std::string>{"D:\\My Tools\\MSINFO32.EXE"});
        EXPECT_EQ(attempted, std::vector<std::string>{"D:\\My Tools\\MSINFO32.EXE"});
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(SysInfoTest, EveryFailureOnTheWayEndsInTheMessage) {
    Run();
    EXPECT_TRUE(attempted.empty()) << "both locations missing";
    EXPECT_TRUE(registry.opened.contains(kPathKey));
    EXPECT_TRUE(registry.opened.contains(kFolderKey));
    ExpectOnlyTheMessage();

    SetFolder("D:\\Tools");
    files = {"D:\\Tools\\msinfo.exe"};
    Run();
    EXPECT_EQ(tested.back(), "D:\\Tools\\MSINFO32.EXE");
    EXPECT_TRUE(attempted.empty()) << "a folder without the tool";
    ExpectOnlyTheMessage();

    files = {"D:\\Tools\\MSINFO32.EXE"};
    Run();  // the start fails
    ExpectOnlyTheMessage();
    programs = files;
    throwOnStart = true;
    Run();
    ExpectOnlyTheMessage();
    registry.throwOnOpen = true;
    Run();
    ExpectOnlyTheMessage();
}

}  // namespace
}  // namespace ombrix::about
