// The options file: its bytes, the files it refuses, and saving and loading it through the window.
#include "options/options_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "options/fake_option_view.h"
#include "options/launch_sequence.h"
#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

// SRV01 with key system events, dates from 7 March 2005 on, command line hidden.
const std::string kSample =
    "Ombrix_OptsN\r\n255\r\nC:\\Tools\\uptime.exe\r\nTrue\r\nTrue\r\nSRV01\r\nTrue\r\nFalse\r\n"
    "True\r\n7\r\n3\r\n2005\r\n5\r\nFalse\r\n";

// The sample with lines (numbered from 1) replaced, every line ended with `end`.
std::string Sample(const std::map<std::size_t, std::string>& changes,
                   const std::string& end = "\r\n") {
    std::string bytes;
    for (std::size_t start = 0, number = 1; start < kSample.size(); ++number) {
        const std::size_t stop = kSample.find("\r\n", start);
        const auto changed = changes.find(number);
        bytes += changed != changes.end() ? changed->second : kSample.substr(start, stop - start);
        bytes += end;
        start = stop + 2;
    }
    return bytes;
}

// The read-only mark: on Windows the file's attribute, on POSIX no write permission at all.
void SetReadOnly(const std::string& path, bool readOnly) {
    constexpr auto kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, readOnly ? kWrite : fs::perms::owner_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

class NoResults final : public ResultsDisplay {
  public:
    void ShowModal(std::string) override { ADD_FAILURE() << "nothing should run"; }
};

std::ptrdiff_t Count(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class OptionsFileTest : public ::testing::Test {
  protected:
    // As at start-up: the caller holds IsLoading while the file is read.
    void Load() {
        form.SetLoading(true);
        LoadOptions(path, form, view, uptimePath, {2011, 7, 19}, messages);
        form.SetLoading(false);
    }
    bool Save() { return SaveOptions(path, form.ReadState(), uptimePath, messages); }

    // Server, /s, /a, DoDates, the two option buttons and the menu's check mark, then texts.
    std::string Shown() const {
        std::string shown;
        for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                          Control::DateSwitch, Control::PSwitch, Control::Menu_Settings_Cmdlin}) {
            shown += std::to_string(view.Value(c));
        }
        for (Control c : {Control::NameIPAddress, Control::DD, Control::MM, Control::YYYY,
                          Control::pd, Control::CmdLine}) {
            shown += "|" + view.Text(c);
        }
        return shown;
    }

    // Exactly one message, which begins with `prefix`.
    void ExpectOneMessage(const std::string& prefix) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind(prefix, 0), 0u) << messages.shown[0].text;
        messages.shown.clear();
    }

    test::ScratchDir dir;
    std::string path = dir.File(kOptionsFileName);
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath;
    test::RecordingMessages messages;
};

TEST_F(OptionsFileTest, TheSampleLoadsIntoTheWindowAndSavesInPlaceOfALongerFile) {
    test::WriteFile(path, kSample + std::string(2000, 'x'));
    Load();
    EXPECT_EQ(uptimePath, "C:\\Tools\\uptime.exe");
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Shown(), "1101100|SRV01|07|03|2005|5|uptime SRV01 /s /d:03/07/2005");

    EXPECT_TRUE(Save());
    EXPECT_EQ(test::ReadFile(path), kSample) << "replaced whole, nothing trailing";
    EXPECT_EQ(Count(dir.path()), 1) << "no temporary file is left beside it";
}

TEST_F(OptionsFileTest, ARejectedFileAppliesNothing) {
    const std::string untouched = Shown();
    // An empty line 14 is no Boolean; CR alone does not end a line.
    const std::string thirteen = kSample.substr(0, kSample.size() - 7);
    std::vector<std::string> rejected = {"", thirteen, thirteen + "\r\n", Sample({}, "\r")};
    const std::map<std::size_t, const char*> badLines = {
        {1, "ombrix_optsn"}, {2, "2.5"}, {4, "Yes"},  {5, "0x1"}, {9, "True1"},
        {10, "1 0"},         {11, "+"},  {12, "1.0"}, {13, ""},   {14, "T"}};
    rejected.push_back(Sample({{1, "\xEF\xBB\xBFOmbrix_OptsN"}}));
    rejected.push_back(Sample({{1, "Ombrix_OptsN "}}));
    for (const auto& [line, text] : badLines) {
        rejected.push_back(Sample({{line, text}}));
    }
    for (const std::string& bytes : rejected) {
        test::WriteFile(path, bytes);
        Load();
        EXPECT_EQ(Shown(), untouched) << '"' << bytes << '"';
        EXPECT_EQ(uptimePath, "");
        ExpectOneMessage("Options file cannot be loaded! Assuming default values.");
        EXPECT_EQ(test::ReadFile(path), bytes) << "the file stays as it is";
    }
}

// Each line's form, read as the format allows; the other lines stay as in the sample.
TEST(ParseOptionsFile, ReadsEachLineAsItsFormAllows) {
    const auto parsed = [](std::size_t line, const std::string& text) {
        return ParseOptionsFile(Sample({{line, text}}), kOptionsSignature);
    };
    const struct {
        const char* text;
        std::optional<bool> boolean;  // as line 5 (Server); nothing: the file is rejected
        std::optional<int> number;    // as line 13 (pd)
    } rows[] = {
        {"True", true, std::nullopt},
        {"TRUE", true, std::nullopt},  // a word is never a number
        {"fAlSe", false, std::nullopt},
        {" True\t", true, std::nullopt},   // blanks around a value count for nothing...
        {"False\r", false, std::nullopt},  // ...and so does a CR left of a cut line end
        {"-1", true, -1},                  // True as older versions wrote it
        {"0", false, 0},
        {"-0", false, 0},  // a signed zero is still zero
        {"-32768", true, -32768},
        {"32767", true, 32767},
        {"32768", true, std::nullopt},  // any number is a Boolean; a number line holds 16 bits
        {"99999999999999999999", true, std::nullopt},
        {"+5", true, 5},  // signs and blanks are read as a classic numeric conversion reads them
        {" 7", true, 7},
        {"007", true, 7},
        {"0x10", std::nullopt, std::nullopt},  // no decimal number at all
        {"", std::nullopt, std::nullopt},
        {"- 5", std::nullopt, std::nullopt},  // the sign must stand right before the digits
        {"Yes", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        const auto asBoolean = parsed(5, row.text);
        EXPECT_EQ(asBoolean ? std::optional(asBoolean->server) : std::nullopt, row.boolean)
            << '"' << row.text << '"';
        const auto asNumber = parsed(13, row.text);
        EXPECT_EQ(asNumber ? std::optional(asNumber->pd) : std::nullopt, row.number)
            << '"' << row.text << '"';
    }
    // Line 2's value never mattered: any whole number will do.
    for (const char* line2 : {"-5", "0", "+255", "99999999999999999999999", " 255 "}) {
        EXPECT_TRUE(parsed(2, line2)) << line2;
    }
    for (const char* line2 : {"", "x", "2.5"}) {
        EXPECT_FALSE(parsed(2, line2)) << line2;
    }
}

TEST_F(OptionsFileTest, AFileOfAnOlderVersionLoadsWhole) {
    // Booleans written as numbers, True as -1, and a negative line 2.
    test::WriteFile(
        path, Sample({{2, "-5"}, {4, "-1"}, {5, "-1"}, {7, "-1"}, {8, "0"}, {9, "-1"}, {14, "0"}}));
    Load();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(uptimePath, "C:\\Tools\\uptime.exe");
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Shown(), "1101100|SRV01|07|03|2005|5|uptime SRV01 /s /d:03/07/2005");
}

TEST_F(OptionsFileTest, ValuesTheBoxesNeverHeldShowAsTheyAreAndTheLaunchRefusesThem) {
    const struct {
        const char* dd;
        const char* mm;
        const char* yyyy;
        const char* shown;  // DD|MM|YYYY
    } rows[] = {
        {"-3", "3", "2005", "-3|03|2005"},  // not "0-3"
        {"7", "13", "2005", "07|13|2005"},
        {"7", "0", "2005", "07|00|2005"},
        {"7", "-1", "-5", "07|-1|-5"},
        {"31", "4", "2005", "31|04|2005"},  // a day April does not have
        {"32767", "-32768", "32767", "32767|-32768|32767"},
    };
    for (const auto& row : rows) {
        test::WriteFile(path, Sample({{10, row.dd}, {11, row.mm}, {12, row.yyyy}, {13, "-7"}}));
        Load();
        EXPECT_EQ(
            view.Text(Control::DD) + "|" + view.Text(Control::MM) + "|" + view.Text(Control::YYYY),
            row.shown);
        EXPECT_EQ(view.Text(Control::pd), "-7");

        const OptionState state = form.ReadState();
        runner::RunState runState;
        NoResults results;
        LaunchEnvironment launch{state,   uptimePath, runState,    messages,
                                 results, nullptr,    {2026, 1, 1}};
        LaunchUptime(launch);
        ExpectOneMessage("You need to enter a valid date in the past.");
    }
}

TEST_F(OptionsFileTest, AFailedSaveSaysWhereTheOptionsLiveAndHowToFixIt) {
    // Something else holds the name: a folder, with a file of its own inside.
    const std::string inside = (fs::path(path) / "inside.txt").string();
    fs::create_directory(path);
    test::WriteFile(inside, "kept");
    EXPECT_FALSE(Save());
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& said = messages.shown[0].text;
    EXPECT_EQ(said.rfind("Ombrix could not save its options to " + path + ".\r\n\r\n", 0), 0u)
        << said;
    EXPECT_NE(said.find("move the Ombrix folder"), std::string::npos) << said;
    EXPECT_GT(said.size(), said.rfind("\r\n\r\n") + 4) << "the system's reason comes last";
    messages.shown.clear();
    EXPECT_EQ(test::ReadFile(inside), "kept");
    EXPECT_EQ(Count(dir.path()), 1) << "no temporary file is left behind";
#ifdef _WIN32
    fs::remove_all(path);
    test::WriteFile(path, kSample);
    {
        std::ifstream holder(path, std::ios::binary);  // shares no deleting or renaming
        EXPECT_FALSE(Save());
        ExpectOneMessage("Ombrix could not save its options to " + path + ".\r\n\r\n");
    }
    EXPECT_EQ(test::ReadFile(path), kSample);
    EXPECT_EQ(Count(dir.path()), 1);
#else
    // A folder nobody may write in, as C:\Program Files is to a standard user; root included.
    fs::remove_all(path);
    test::WriteFile(path, kSample);
    if (std::system(("chattr +i '" + dir.path().string() + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "chattr cannot make the folder unwritable here";
    }
    const bool saved = Save();
    std::system(("chattr -i '" + dir.path().string() + "'").c_str());
    EXPECT_FALSE(saved);
    ExpectOneMessage("Ombrix could not save its options to " + path + ".\r\n\r\n");
    EXPECT_EQ(test::ReadFile(path), kSample);
    EXPECT_EQ(Count(dir.path()), 1);
#endif
}

TEST_F(OptionsFileTest, AReadOnlyFileIsKeptAsItIsOnEveryPlatform) {
    test::WriteFile(path, kSample);
    SetReadOnly(path, true);
    view.Click(form, Control::ASwitch);
    EXPECT_FALSE(Save());
    ExpectOneMessage("Ombrix has not saved its options: " + path + " is read-only");
    // Save Report replaces its file the same way, and meets the same refusal.
    const base::Result<> replaced = platform::ReplaceFileContent(path, "other");
    EXPECT_FALSE(replaced);
    EXPECT_EQ(replaced.Reason(), "The file is read-only.");
    EXPECT_TRUE(platform::IsReadOnlyFile(path)) << "the mark stays";
    SetReadOnly(path, false);
    EXPECT_EQ(test::ReadFile(path), kSample);
    EXPECT_EQ(Count(dir.path()), 1);
    EXPECT_TRUE(Save()) << "without the mark the save goes through";
}

// Stands for an Ombrix killed mid-save: the helper writes the file a save of the options makes
// beside them, under its own process id, and waits to be ended.
class SaveInProgress {
  public:
    SaveInProgress(const fs::path& folder, const std::string& target) {
        static int started = 0;
        const std::string before = Find(folder, "");
        const std::string outputPath = (folder / ("helper" + std::to_string(++started))).string();
        auto output = platform::OutputFile::Create(outputPath);
        auto child = platform::CapturedProcess::Start(std::move(*output),
                                                      test::HelperProgram("save_leftover"),
                                                      " \"" + (folder / target).string() + "\"");
        if (!child) {
            throw std::runtime_error(child.Reason());
        }
        child_ = std::move(*child);
        for (int i = 0; i < 1000 && (name_ = Find(folder, before)).empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (name_.empty()) {
            throw std::runtime_error("the helper wrote nothing");
        }
    }
    // The leftover's name, without its folder.
    const std::string& Name() const { return name_; }
    void Kill() {
        child_->Terminate();
        static_cast<void>(child_->Finish());
    }

  private:
    // A leftover of a save of the options file other than `except`.
    static std::string Find(const fs::path& folder, const std::string& except) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name != except && platform::ReplacementOwner(kOptionsFileName, name)) {
                return name;
            }
        }
        return "";
    }

    std::unique_ptr<platform::CapturedProcess> child_;
    std::string name_;
};

TEST_F(OptionsFileTest, StartAndSaveClearAwayLeftoversOfKilledSavesAndOnlyThose) {
    const std::string name = kOptionsFileName;
    // One at a time: a child started while another's output file is open would inherit it.
    SaveInProgress first(dir.path(), name);
    first.Kill();
    SaveInProgress second(dir.path(), name);
    const std::string firstName = first.Name();
    const std::string secondName = second.Name();
    const std::string dead = std::to_string(*platform::ReplacementOwner(name, firstName));

    // Names that are not a leftover of this file's saves, though close: all of them stay.
    const std::vector<std::string> others = {
        name + ".~" + dead + "-1-2.tmp.bak", "other.cfg.~" + dead + "-1-2.tmp",
        name + ".~" + dead + "-1.tmp",       name + ".~x" + dead + "-1-2.tmp",
        name + ".~" + dead + "-1-2.TMP0",    name + "~" + dead + "-1-2.tmp"};
    for (const std::string& other : others) {
        test::WriteFile(dir.File(other), "not ours");
    }
    const std::string folder = name + ".~" + dead + "-3-4.tmp";  // a leftover's name, no file
    fs::create_directory(dir.File(folder));
    Load();  // start-up, with no options file yet
    EXPECT_FALSE(fs::exists(dir.File(firstName))) << "the killed save's file is gone";
    EXPECT_TRUE(fs::exists(dir.File(secondName))) << "a running save's file stays";
    EXPECT_TRUE(fs::is_directory(dir.File(folder)));
    for (const std::string& other : others) {
        EXPECT_TRUE(fs::exists(dir.File(other))) << other;
    }
    second.Kill();
    EXPECT_TRUE(Save());
    EXPECT_FALSE(fs::exists(dir.File(secondName))) << "the next save clears it away";
    for (const std::string& other : others) {
        EXPECT_TRUE(fs::exists(dir.File(other))) << other;
    }
}

}  // namespace
}  // namespace ombrix::options
