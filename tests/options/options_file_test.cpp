// The options file: its bytes, the files it refuses, and saving and loading it through the window.
#include "options/options_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "options/fake_option_view.h"
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

class OptionsFileTest : public ::testing::Test {
  protected:
    // As at start-up: the file's state is applied while IsLoading is held.
    void Load() {
        form.SetLoading(true);
        if (auto loaded = LoadOptions(path, {2011, 7, 19}, messages)) {
            form.Apply(loaded->state);
            uptimePath = loaded->uptimePath;
        }
        form.SetLoading(false);
    }
    base::Result<> Save() { return SaveOptions(path, form.ReadState(), uptimePath); }

    // The check boxes, the option buttons and the menu's check mark, then the texts.
    std::string Shown() const {
        std::string shown;
        for (Control c : {Control::RemoteMachine, Control::ShowEvents, Control::ShowAppFailures,
                          Control::RestrictPeriod, Control::SinceDate, Control::LastDays}) {
            shown += std::to_string(view.Value(c));
        }
        shown += view.CommandLineShown() ? "1" : "0";
        for (Control c : {Control::MachineName, Control::Day, Control::Month, Control::Year,
                          Control::DayCount, Control::CommandLine}) {
            shown += "|" + view.Text(c);
        }
        return shown;
    }

    test::ScratchDir dir;
    std::string path = dir.File(kOptionsFileName);
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath;
    test::RecordingMessages messages;
};

TEST_F(OptionsFileTest, TheSampleLoadsIntoTheWindowAndSavesInPlaceOfALongerFileWithItsMarks) {
    test::WriteFile(path, kSample + std::string(2000, 'x'));
    Load();  // the tool's path shows in the save below
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Shown(), "1101100|SRV01|07|03|2005|5|uptime SRV01 /s /d:03/07/2005");
    // Marked only now: the start-up search for the file takes files of normal attributes only.
    const std::string marks = test::MarkFileSpecially(path);
    // A plain folder, where the new file takes the old one's place; then one that refuses new
    // files, where the file is written where it stands, one byte shorter ("True" for "False").
    for (const bool refusing : {false, true}) {
        test::FolderRefusingNewFiles refusal(refusing ? dir.path() : fs::path());
        if (refusing && !refusal.Refuses()) {
            GTEST_SKIP() << "the folder's immutable mark cannot be set here";
        }
        form.SetValue(Control::ShowAppFailures, refusing ? kChecked : kUnchecked);
        ASSERT_EQ(Save().Reason(), "");
        EXPECT_EQ(test::ReadFile(path), refusing ? Sample({{8, "True"}}) : kSample)
            << "nothing trails";
        EXPECT_EQ(test::SpecialMarks(path), marks);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1)
            << "no temporary file is left beside it";
    }
}

TEST_F(OptionsFileTest, ARejectedFileAppliesNothingAndStaysAsItIs) {
    const std::string untouched = Shown();
    const std::string thirteen = kSample.substr(0, kSample.size() - 7);
    // CR alone ends no line; the signature is compared exactly; the last line is read before
    // anything is applied.
    for (const std::string& bytes :
         {std::string(), thirteen, Sample({}, "\r"), Sample({{1, "Ombrix_OptsN "}}),
          Sample({{1, "ombrix_optsn"}}), Sample({{14, "T"}})}) {
        test::WriteFile(path, bytes);
        Load();
        EXPECT_EQ(Shown(), untouched) << '"' << bytes << '"';
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Options file cannot be loaded! Assuming default values.");
        messages.shown.clear();
        EXPECT_EQ(test::ReadFile(path), bytes);
    }
}

TEST(ParseOptionsFile, ReadsEachLineAsItsFormAllows) {
    const auto parsed = [](std::size_t line, const std::string& text) {
        return ParseOptionsFile(Sample({{line, text}}), kOptionsSignature);
    };
    // A line's text; read as line 5 (RemoteMachine), then as line 13 (dayCount). Nothing: the
    // file is rejected.
    const std::tuple<const char*, std::optional<bool>, std::optional<int>> rows[] = {
        {"TRUE", true, std::nullopt},  // a word is never a number
        {" false\t", false, std::nullopt},
        {"-1", true, -1},  // True as older versions wrote it
        {"-0", false, 0},  // a signed zero is zero
        {"-32768", true, -32768},
        {"000000000000000000000032767", true, 32767},  // leading zeros drop out
        {"32768", true, std::nullopt},  // any number is a Boolean; a number line holds 16 bits
        {"-32769", true, std::nullopt},
        {"99999999999999999999999", true, std::nullopt},
        {" +7\t ", true, 7},  // a plus sign and blanks around, as Val and CInt take them
        // Not decimal, nor a word; no blank after the sign, nor inside the digits.
        {"", std::nullopt, std::nullopt},
        {"+", std::nullopt, std::nullopt},
        {"- 5", std::nullopt, std::nullopt},
        {"1 5", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
    };
    for (const auto& [text, boolean, number] : rows) {
        const auto asBoolean = parsed(5, text);
        EXPECT_EQ(asBoolean ? std::optional(asBoolean->remoteMachine) : std::nullopt, boolean)
            << '"' << text << '"';
        const auto asNumber = parsed(13, text);
        EXPECT_EQ(asNumber ? std::optional(asNumber->dayCount) : std::nullopt, number)
            << '"' << text << '"';
    }
    // Line 2's value never mattered: any whole number will do. LF alone ends a line too.
    EXPECT_TRUE(parsed(2, "99999999999999999999999"));
    EXPECT_TRUE(ParseOptionsFile(Sample({}, "\n"), kOptionsSignature));
    for (std::size_t line : {1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14}) {
        EXPECT_FALSE(parsed(line, "x")) << "line " << line;
    }
}

TEST_F(OptionsFileTest, EachFileRestoresItsStateIntoTheWindow) {
    // Changes to the sample's lines, and what the window then shows.
    const std::pair<std::map<std::size_t, std::string>, const char*> rows[] = {
        // Values the boxes never held show as they stand.
        {{{10, "-3"}, {11, "12"}, {12, "-5"}, {13, "-7"}},
         "1101100|SRV01|-3|12|-5|-7|uptime SRV01 /s /d:12/-3/-5"},
        // A day of 0 kept no date: the start-up date stands in; a day count of 0 turns into 5.
        {{{10, "0"}, {11, "12"}, {12, "1999"}, {13, "0"}},
         "1101100|SRV01|01|7|2011|5|uptime SRV01 /s /d:7/01/2011"},
        // Without the date option, the day count's option is selected.
        {{{4, "False"}}, "1101010|SRV01|07|03|2005|5|uptime SRV01 /s /p:5"},
    };
    for (const auto& [changes, shown] : rows) {
        view = FakeOptionView();
        test::WriteFile(path, Sample(changes));
        Load();
        EXPECT_EQ(Shown(), shown);
    }
}

TEST_F(OptionsFileTest, AFailedOrRefusedSaveLeavesTheFileAndSaysWhyAndWhatHelps) {
    const std::string failed = "Ombrix could not save its options to " + path + ".\r\n\r\n";
    const std::string advice = "move the Ombrix folder";
    {
        // No options file yet, and a folder that refuses new ones: the folder's rights are
        // the cause, and the advice is to move Ombrix.
        test::FolderRefusingNewFiles refusal(dir.path());
        if (refusal.Refuses()) {
            const std::string reason = Save().Reason();
            EXPECT_EQ(reason.rfind(failed, 0), 0u) << reason;
            // The system's reason follows the advice.
            EXPECT_LT(reason.find(advice), reason.rfind("\r\n\r\n")) << reason;
        }
    }
    // The window's state differs from the sample's: any write would show.
    test::WriteFile(path, kSample);
    {
        // A cause the folder has nothing to do with: the system's reason alone.
        test::UnwritableForAWhile fault(path);
        EXPECT_EQ(Save().Reason(), failed + fault.Reason());
    }
    // The read-only mark: on Windows the file's attribute, on POSIX no write permission at all.
    constexpr auto kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, kWrite, fs::perm_options::remove);
    EXPECT_EQ(Save().Reason(), "Ombrix has not saved its options: " + path +
                                   " is read-only, so it stays as it is.\r\n\r\nTo let Ombrix "
                                   "save its options again, clear the file's read-only mark.");
    EXPECT_TRUE(platform::IsReadOnlyFile(path)) << "the mark stays";
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(test::ReadFile(path), kSample);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1)
        << "no temporary file is left behind";
}

TEST_F(OptionsFileTest, StartAndSaveClearAwayLeftoversOfKilledSavesAndOnlyThose) {
    // Ombrix in the middle of a save: the helper writes the new file a save makes beside the
    // options, under its own process id, and waits to be ended.
    auto output = platform::OutputFile::Create(dir.File("helper.out"));
    auto child = platform::CapturedProcess::Start(
        std::move(*output), test::HelperProgram("save_leftover"), " \"" + path + "\"");
    ASSERT_TRUE(child) << child.Reason();
    std::string leftover;
    for (int i = 0; i < 1000 && leftover.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            leftover = platform::ReplacementOwner(kOptionsFileName, name) ? name : leftover;
        }
    }
    ASSERT_FALSE(leftover.empty()) << "the helper wrote nothing";
    Load();  // start-up, with no options file yet
    EXPECT_TRUE(fs::exists(dir.File(leftover))) << "a running save's file stays";
    (*child)->Terminate();
    static_cast<void>((*child)->Finish());

    // Names close to a leftover's, and a folder with a leftover's name: all of them stay.
    const std::string name = kOptionsFileName;
    const std::string dead = std::to_string(*platform::ReplacementOwner(name, leftover));
    const std::vector<std::string> others = {
        name + ".~" + dead + "-1-2.TMP", "other.cfg.~" + dead + "-1-2.tmp",
        name + ".~" + dead + "-1.tmp", name + ".~x" + dead + "-1-2.tmp",
        name + "~" + dead + "-1-2.tmp"};
    for (const std::string& other : others) {
        test::WriteFile(dir.File(other), "not ours");
    }
    const std::string folder = dir.File(name + ".~" + dead + "-3-4.tmp");
    fs::create_directory(folder);
    for (const bool save : {false, true}) {  // start-up, then a save
        test::WriteFile(dir.File(leftover), "half a save");
        save ? static_cast<void>(Save()) : Load();
        EXPECT_FALSE(fs::exists(dir.File(leftover)))
            << (save ? "a save" : "start-up") << " left it";
        EXPECT_TRUE(fs::is_directory(folder));
        for (const std::string& other : others) {
            EXPECT_TRUE(fs::exists(dir.File(other))) << other;
        }
    }
}

}  // namespace
}  // namespace ombrix::options
