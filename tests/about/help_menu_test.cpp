// The Help menu without the system. SysInfo over a fake registry, file test and program start:
// the registry reader's rules and the order in which the two locations of the system information
// tool are tried. Help, Index: the file beside the program, shown through a viewer that records
// what it is asked, or a message saying why not.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "about/html_help.h"
#include "about/sys_info.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using namespace std::string_literals;

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct FakeValue {
    std::uint32_t type;
    std::string bytes;
};

// Write rights on a key: set value, create sub-key, create link, delete, write DAC, write owner,
// generic write and generic all.
constexpr std::uint32_t kWriteRights =
    0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000 | 0x40000000 | 0x10000000;
// Rights that let a value be read: query value, generic read, generic all.
constexpr std::uint32_t kQueryRights = 0x1 | 0x80000000 | 0x10000000;

// Behaves as the system does for a standard user: only HKLM answers, it refuses any opening that
// asks for a write right, a key opened without the right to query gives no value, and a value
// that does not fit fails.
class FakeRegistry final : public platform::Registry {
  public:
    std::unique_ptr<platform::RegistryKey> OpenKey(std::uint32_t root, const std::string& keyName,
                                                   std::uint32_t access) override {
        const auto key = keys.find(keyName);
        if (root != platform::kLocalMachine || key == keys.end() || (access & kWriteRights) != 0) {
            return nullptr;
        }
        return std::make_unique<Key>(key->second, (access & kQueryRights) != 0);
    }

    std::map<std::string, std::map<std::string, FakeValue>> keys;

  private:
    struct Key final : platform::RegistryKey {
        Key(const std::map<std::string, FakeValue>& v, bool query) : values(v), mayQuery(query) {}
        bool QueryValue(const std::string& name, std::uint32_t& type, std::span<char> buffer,
                        std::uint32_t& size) override {
            const auto value = values.find(name);
            if (!mayQuery || value == values.end() || value->second.bytes.size() > buffer.size()) {
                return false;
            }
            std::copy(value->second.bytes.begin(), value->second.bytes.end(), buffer.begin());
            type = value->second.type;
            size = static_cast<std::uint32_t>(value->second.bytes.size());
            return true;
        }
        const std::map<std::string, FakeValue>& values;
        bool mayQuery;
    };
};

FakeValue Sz(const std::string& text) {
    return {platform::kRegSz, text + '\0'};
}

TEST(GetKeyValue, ReadsTextAndNumbersLeavesOtherTypesAndEmptiesTheResultOnFailure) {
    const std::string longest(1023, 'x');
    const std::tuple<std::optional<FakeValue>, bool, std::string> cases[] = {
        {FakeValue{platform::kRegSz, "no terminator"}, true, "no terminator"},
        {Sz(longest), true, longest},
        {Sz(longest + 'x'), false, ""},
        {FakeValue{platform::kRegSz, ""}, false, ""},
        {FakeValue{platform::kRegDword, "\xF8\x56\x34\xF2"}, true, "4063516408"},
        {FakeValue{2, "%SystemRoot%\\msinfo32.exe\0"s}, true, "as passed"},  // REG_EXPAND_SZ
        {std::nullopt, false, ""},                                           // no key
    };
    for (const auto& [value, found, expected] : cases) {
        FakeRegistry registry;
        if (value) {
            registry.keys["K"]["V"] = *value;
        }
        std::string result = "as passed";
        const bool read = GetKeyValue(registry, platform::kLocalMachine, "K", "V", result);
        EXPECT_EQ(std::pair(read, result), std::pair(found, expected))
            << (value ? value->bytes : "missing");
    }
}

TEST(StartSysInfo, StartsTheToolOfTheFirstLocationThatReadsOrShowsTheMessage) {
    // D:\Tools holds the tool, D:\Empty none.
    const std::string tool = "D:\\Tools\\MSINFO32.EXE";
    // Location 1, location 2, and the program started (none: nothing started).
    const std::tuple<std::optional<FakeValue>, const char*, std::optional<std::string>> cases[] = {
        {Sz("C:\\Gone.exe"), "D:\\Tools", "C:\\Gone.exe"},  // unchanged, untested
        {std::nullopt, "D:\\Tools", tool},
        {std::nullopt, nullptr, std::nullopt},
        {std::nullopt, "D:\\Empty", std::nullopt},
        {Sz("C:\\Throws.exe"), "D:\\Tools", "C:\\Throws.exe"},  // the start throws
    };
    for (const auto& [path, folder, expected] : cases) {
        FakeRegistry registry;
        if (path) {
            registry.keys[kPathKey]["PATH"] = *path;
        }
        if (folder != nullptr) {
            registry.keys[kFolderKey]["MSINFO"] = Sz(folder);
        }
        std::optional<std::string> started;
        test::RecordingMessages messages;
        StartSysInfo({registry, [&](const std::string& file) { return file == tool; },
                      [&](const std::string& program) {
                          started = program;
                          if (program == "C:\\Throws.exe") {
                              throw std::runtime_error("start failure");
                          }
                          return program == tool;
                      },
                      messages});
        const std::string name = path ? path->bytes : folder ? folder : "none";
        EXPECT_EQ(started, expected) << name;
        // Every way but the tool's own start ends in the one message.
        EXPECT_EQ(messages.shown.size(), started == tool ? 0u : 1u) << name;
        for (const test::ShownMessage& shown : messages.shown) {
            EXPECT_EQ(shown.text, "System Information Is Unavailable At This Time");
            EXPECT_EQ(shown.style, platform::MessageStyle::OkOnly);
        }
    }
}

using platform::HelpCommand;
constexpr std::uintptr_t kOwner = 0x1234;

struct RecordingViewer final : platform::HelpViewer {
    base::Result<std::uintptr_t> Show(std::uintptr_t owner, const std::string& path,
                                      HelpCommand command, std::uintptr_t data) override {
        EXPECT_EQ(std::tuple(owner, command, data),
                  std::tuple(kOwner, HelpCommand::DisplayTopic, std::uintptr_t{0}));
        paths.push_back(path);
        return answer;
    }
    std::vector<std::string> paths;
    base::Result<std::uintptr_t> answer = std::uintptr_t{0x5150};
};

// Found, not found (another file only), and found without a viewer to show it.
TEST(ShowHelpIndex, OpensTheFileBesideTheProgramOrSaysWhyNot) {
    // The file beside the program, the viewer's answer, the message.
    const std::tuple<std::string, base::Result<std::uintptr_t>, std::string> cases[] = {
        {"OmbrixHelp.chm", std::uintptr_t{0x5150}, ""},
        {"OtherHelp.chm", std::uintptr_t{0x5150}, "Help not available at this time."},
        {"OmbrixHelp.chm", base::Failure{"hhctrl.ocx: gone."},
         std::string(kHelpViewerMissingMessage) + "\r\n\r\nhhctrl.ocx: gone."},
    };
    for (const auto& [file, answer, message] : cases) {
        test::ScratchDir dir;
        test::WriteFile(dir.File(file), "ITSF");
        RecordingViewer viewer;
        viewer.answer = answer;
        test::RecordingMessages messages;
        ShowHelpIndex(kOwner, messages, viewer, dir.path().string());
        EXPECT_EQ(viewer.paths, file == "OmbrixHelp.chm" ? std::vector{dir.File(file)}
                                                         : std::vector<std::string>{});
        ASSERT_EQ(messages.shown.size(), message.empty() ? 0u : 1u) << file;
        if (!message.empty()) {
            EXPECT_EQ(messages.shown[0].text, message);
            EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        }
    }
}

}  // namespace
}  // namespace ombrix::about
