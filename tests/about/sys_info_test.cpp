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
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct FakeValue {
    std::uint32_t type = platform::kRegSz;
    std::string bytes;
    // What the system reports as the size, when it differs from the bytes written.
    std::optional<std::uint32_t> reportedSize;
};

// Behaves as the system does: a value that does not fit fails, and every open key counts until
// it is closed.
class FakeRegistry final : public platform::Registry {
  public:
    struct Opening {
        std::uint32_t root;
        std::string key;
        std::uint32_t access;
    };

    std::unique_ptr<platform::RegistryKey> OpenKey(std::uint32_t root, const std::string& keyName,
                                                   std::uint32_t access) override {
        openings.push_back({root, keyName, access});
        if (throwOnOpen) {
            throw std::runtime_error("registry failure");
        }
        const auto key = keys.find(keyName);
        if (key == keys.end() || refused.contains(keyName)) {
            return nullptr;
        }
        return std::make_unique<Key>(*this, key->second);
    }

    bool Opened(const std::string& keyName) const {
        for (const Opening& opening : openings) {
            if (opening.key == keyName) {
                return true;
            }
        }
        return false;
    }

    std::map<std::string, std::map<std::string, FakeValue>> keys;
    std::set<std::string> refused;
    bool throwOnOpen = false;
    std::vector<Opening> openings;
    int keysOpen = 0;
    std::vector<std::uint32_t> sizesOffered;
    bool buffersWereClean = true;

  private:
    class Key final : public platform::RegistryKey {
      public:
        Key(FakeRegistry& registry, const std::map<std::string, FakeValue>& values)
            : registry_(registry), values_(values) {
            ++registry_.keysOpen;
        }
        ~Key() override { --registry_.keysOpen; }

        bool QueryValue(const std::string& valueName, std::uint32_t& type, std::span<char> buffer,
                        std::uint32_t& size) override {
            registry_.sizesOffered.push_back(size);
            for (char c : buffer) {
                registry_.buffersWereClean = registry_.buffersWereClean && c == '\0';
            }
            const auto value = values_.find(valueName);
            if (value == values_.end() || value->second.bytes.size() > size ||
                value->second.bytes.size() > buffer.size()) {
                return false;
            }
            std::copy(value->second.bytes.begin(), value->second.bytes.end(), buffer.begin());
            type = value->second.type;
            size = value->second.reportedSize.value_or(
                static_cast<std::uint32_t>(value->second.bytes.size()));
            return true;
        }

      private:
        FakeRegistry& registry_;
        const std::map<std::string, FakeValue>& values_;
    };
};

struct Lookup {
    bool found;
    std::string result;
};

Lookup Read(FakeRegistry& registry, const FakeValue& value, std::string passedIn = "as passed") {
    registry.keys["K"]["V"] = value;
    const bool found = GetKeyValue(registry, platform::kLocalMachine, "K", "V", passedIn);
    return {found, passedIn};
}

TEST(GetKeyValue, ReadsTextUpToTheReturnedSize) {
    FakeRegistry registry;
    struct Case {
        std::string bytes;
        std::string expected;
    };
    for (const Case& c : {
             Case{"C:\\Tools\\msinfo32.exe\0"s, "C:\\Tools\\msinfo32.exe"},
             Case{"no terminator", "no terminator"},
             Case{"\0"s, ""},
             Case{"a\0b\0"s, "a\0b"s},
             Case{"two\0\0"s, "two\0"s},
             Case{std::string(1023, 'x') + '\0', std::string(1023, 'x')},
             Case{std::string(1024, 'y'), std::string(1024, 'y')},
         }) {
        const Lookup lookup = Read(registry, {platform::kRegSz, c.bytes, {}});
        EXPECT_TRUE(lookup.found) << c.bytes.size() << " bytes";
        EXPECT_EQ(lookup.result, c.expected) << c.bytes.size() << " bytes";
    }
    // Opened under the given root with the reader's access mask, read through a clean buffer of
    // the full size, and closed again.
    for (const FakeRegistry::Opening& opening : registry.openings) {
        EXPECT_EQ(opening.root, platform::kLocalMachine);
        EXPECT_EQ(opening.key, "K");
        EXPECT_EQ(opening.access, 0x2003Fu);
    }
    for (std::uint32_t offered : registry.sizesOffered) {
        EXPECT_EQ(offered, 1024u);
    }
    EXPECT_TRUE(registry.buffersWereClean);
    EXPECT_EQ(registry.keysOpen, 0);
}

TEST(GetKeyValue, ReadsADwordAsItsDecimalNumber) {
    FakeRegistry registry;
    EXPECT_EQ(Read(registry, {platform::kRegDword, "\x78\x56\x34\x12", {}}).result, "305419896");
    EXPECT_EQ(Read(registry, {platform::kRegDword, "\xFF\xFF\xFF\xFF", {}}).result, "4294967295");
    EXPECT_EQ(Read(registry, {platform::kRegDword, "\x01\x00\x00\x00"s, {}}).result, "1");
    EXPECT_EQ(Read(registry, {platform::kRegDword, "\x00\x00\x00\x00"s, {}}).result, "0");
    EXPECT_EQ(Read(registry, {platform::kRegDword, "\x00\x01\x00\x00"s, {}}).result, "256");
}

TEST(GetKeyValue, OtherTypesCountAsReadAndLeaveTheResultAsPassedIn) {
    FakeRegistry registry;
    for (const FakeValue& value : {
             FakeValue{kRegExpandSz, "%SystemRoot%\\msinfo32.exe\0"s, {}},
             FakeValue{kRegBinary, "\x01\x02"s, {}},
             FakeValue{kRegMultiSz, "a\0b\0\0"s, {}},
         }) {
        const Lookup lookup = Read(registry, value);
        EXPECT_TRUE(lookup.found) << "type " << value.type;
        EXPECT_EQ(lookup.result, "as passed") << "type " << value.type;
        EXPECT_EQ(Read(registry, value, "").result, "") << "type " << value.type;
    }
    EXPECT_EQ(registry.keysOpen, 0);
}

TEST(GetKeyValue, FailuresEmptyTheResultAndLeaveNoKeyOpen) {
    FakeRegistry registry;
    registry.keys["Refused"]["V"] = FakeValue{platform::kRegSz, "x\0"s, {}};
    registry.refused.insert("Refused");
    registry.keys["K"]["Long"] = FakeValue{platform::kRegSz, std::string(1024, 'z') + '\0', {}};
    registry.keys["K"]["Empty"] = FakeValue{platform::kRegSz, "", {}};
    registry.keys["K"]["EmptyDword"] = FakeValue{platform::kRegDword, "", {}};
    struct Case {
        const char* key;
        const char* value;
        const char* why;
    };
    for (const Case& c : {
             Case{"Missing", "V", "missing key"},
             Case{"Refused", "V", "key refused with the access mask"},
             Case{"K", "Missing", "missing value"},
             Case{"K", "Long", "more than 1024 bytes"},
             Case{"K", "Empty", "0 bytes returned"},
             Case{"K", "EmptyDword", "0 bytes returned"},
         }) {
        std::string result = "stale";
        EXPECT_FALSE(GetKeyValue(registry, platform::kLocalMachine, c.key, c.value, result))
            << c.why;
        EXPECT_EQ(result, "") << c.why;
    }
    EXPECT_EQ(registry.keysOpen, 0);
}

// A start that behaves as the system's: only the programs that exist start, an empty path never.
class SysInfoTest : public ::testing::Test {
  protected:
    void SetPath(const FakeValue& value) { registry.keys[kPathKey]["PATH"] = value; }
    void SetFolder(const std::string& folder) {
        registry.keys[kFolderKey]["MSINFO"] = {platform::kRegSz, folder + '\0', {}};
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
    SetPath({platform::kRegSz, tool + '\0', {}});
    SetFolder("C:\\Other");
    files = {"C:\\Other\\MSINFO32.EXE"};
    programs = {tool, "C:\\Other\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(attempted, std::vector<std::string>{tool});
    EXPECT_FALSE(registry.Opened(kFolderKey));
    EXPECT_TRUE(tested.empty()) << "location 1 is not tested before the start";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(registry.keysOpen, 0);
}

TEST_F(SysInfoTest, Location1LeadingNowhereShowsTheMessageWithoutTryingLocation2) {
    SetPath({platform::kRegSz, "C:\\Gone\\msinfo32.exe\0"s, {}});
    SetFolder("C:\\Tools");
    files = programs = {"C:\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(attempted, std::vector<std::string>{"C:\\Gone\\msinfo32.exe"});
    EXPECT_FALSE(registry.Opened(kFolderKey));
    ExpectOnlyTheMessage();
}

TEST_F(SysInfoTest, Location1OfAnotherTextTypeStartsAnEmptyPathAndShowsTheMessage) {
    SetPath({kRegExpandSz, "%ProgramFiles%\\msinfo32.exe\0"s, {}});
    SetFolder("C:\\Tools");
    files = programs = {"C:\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(attempted, std::vector<std::string>{""});
    EXPECT_FALSE(registry.Opened(kFolderKey));
    ExpectOnlyTheMessage();
}

TEST_F(SysInfoTest, Location2FolderHoldingTheToolStartsIt) {
    struct Case {
        const char* location1;
        std::optional<FakeValue> value;
    };
    for (const Case& c : {
             Case{"missing", std::nullopt},
             Case{"0 bytes", FakeValue{platform::kRegSz, "", {}}},
             Case{"longer than the buffer",
                  FakeValue{platform::kRegSz, std::string(1500, 'p'), {}}},
         }) {
        SCOPED_TRACE(std::string("location 1 ") + c.location1);
        registry = FakeRegistry();
        attempted.clear();
        tested.clear();
        registry.keys[kPathKey];  // the key exists, as in a fresh system
        if (c.value) {
            SetPath(*c.value);
        }
        SetFolder("D:\\My Tools");
        files = programs = {"D:\\My Tools\\MSINFO32.EXE"};
        Run();
        EXPECT_EQ(tested, std::vector<std::string>{"D:\\My Tools\\MSINFO32.EXE"});
        EXPECT_EQ(attempted, std::vector<std::string>{"D:\\My Tools\\MSINFO32.EXE"});
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(registry.keysOpen, 0);
    }
}

TEST_F(SysInfoTest, NoToolFoundShowsTheMessageAndStartsNothing) {
    SCOPED_TRACE("both locations missing");
    Run();
    EXPECT_TRUE(attempted.empty());
    ExpectOnlyTheMessage();
    EXPECT_TRUE(registry.Opened(kPathKey));
    EXPECT_TRUE(registry.Opened(kFolderKey));
}

TEST_F(SysInfoTest, Location2FolderWithoutTheToolShowsTheMessage) {
    SetFolder("D:\\Tools");
    files = {"D:\\Tools\\msinfo.exe"};
    Run();
    EXPECT_EQ(tested, std::vector<std::string>{"D:\\Tools\\MSINFO32.EXE"});
    EXPECT_TRUE(attempted.empty());
    ExpectOnlyTheMessage();
}

TEST_F(SysInfoTest, EveryFailureOnTheWayEndsInTheMessage) {
    {
        SCOPED_TRACE("the start fails for the tool found in location 2");
        SetFolder("D:\\Tools");
        files = {"D:\\Tools\\MSINFO32.EXE"};
        Run();
        ExpectOnlyTheMessage();
    }
    messages.shown.clear();
    {
        SCOPED_TRACE("the start raises an error");
        programs = files;
        throwOnStart = true;
        Run();
        ExpectOnlyTheMessage();
    }
    messages.shown.clear();
    {
        SCOPED_TRACE("the registry raises an error");
        registry.throwOnOpen = true;
        Run();
        ExpectOnlyTheMessage();
    }
}

}  // namespace
}  // namespace ombrix::about
