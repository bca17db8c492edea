// The options file: its bytes, its reading, and saving and loading it through the window.
#include "options/options_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "options/fake_option_view.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

// A remote check of SRV01 with key system events and a date restriction from 7 March 2005,
// command line hidden.
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

std::optional<StoredOptions> Parse(const std::string& bytes) {
    return ParseOptionsFile(bytes, kOptionsSignature);
}

// How many entries a folder holds.
std::ptrdiff_t Count(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(ParseOptionsFile, ReadsBooleansAndNumbersInEveryWrittenForm) {
    const std::pair<const char*, bool> booleans[] = {{"True", true},   {"tRuE", true},
                                                     {"fALSE", false}, {"000", false},
                                                     {"7", true},      {"00032767", true}};
    for (const auto& [text, value] : booleans) {
        const auto parsed = Parse(Sample({{5, text}}));
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->server, value) << text;
    }
    const std::pair<const char*, int> numbers[] = {
        {"0", 0}, {"32767", 32767}, {"000000000000000000000000012", 12}};
    for (const auto& [text, value] : numbers) {
        const auto parsed = Parse(Sample({{13, text}}));
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->pd, value) << text;
        EXPECT_TRUE(Parse(Sample({{2, text}}))) << "line 2 holds any number";
    }
}

TEST(ParseOptionsFile, RejectsEveryLineThatDoesNotConvert) {
    for (std::size_t line : {2u, 10u, 11u, 12u, 13u}) {
        for (const char* bad :
             {"", "-1", "32768", "99999999999999999999", " 1", "1.0", "T", "5\r\r"}) {
            EXPECT_FALSE(Parse(Sample({{line, bad}}))) << "line " << line << " \"" << bad << '"';
        }
    }
    for (std::size_t line : {4u, 5u, 7u, 8u, 9u, 14u}) {
        for (const char* bad :
             {"", "Yes", "True ", "-1", "32768", "Truee", "Fals", "#TRUE#", "True\r"}) {
            EXPECT_FALSE(Parse(Sample({{line, bad}}))) << "line " << line << " \"" << bad << '"';
        }
    }
}

TEST(ParseOptionsFile, RejectsAnythingButTheSignatureAndFourteenLines) {
    const std::string thirteen = kSample.substr(0, kSample.size() - 7);
    for (const std::string& bytes : {
             std::string(), thirteen,
             thirteen + "\r\n",  // an empty line 14 is no Boolean
             Sample({{1, "Ombrix_OptsN "}}), Sample({{1, "ombrix_optsn"}}),
             Sample({{1, "\xEF\xBB\xBFOmbrix_OptsN"}}),
             Sample({}, "\r"),                       // CR alone does not end a line
             kSample.substr(0, kSample.size() - 1),  // so line 14 reads "False\r"
         }) {
        EXPECT_FALSE(Parse(bytes)) << '"' << bytes << '"';
    }
    EXPECT_FALSE(ParseOptionsFile(kSample, "Ombrix_Opts")) << "the whole line is compared";
}

TEST(ParseOptionsFile, AcceptsEveryLineEndAndIgnoresWhatFollowsLineFourteen) {
    const auto expected = Parse(kSample);
    ASSERT_TRUE(expected);
    const std::string mixed = Sample({{1, "Ombrix_OptsN\r"}}, "\n");
    for (const std::string& bytes : {Sample({}, "\n"), mixed, kSample.substr(0, kSample.size() - 2),
                                     kSample + "garbage\r\n\r\nmore", kSample + "\x1a"}) {
        EXPECT_EQ(Parse(bytes), expected) << '"' << bytes << '"';
    }

    // Only a CR right before the LF belongs to the line end; texts keep any other.
    const auto text = Parse(Sample({{6, "a\rb\r"}}));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->nameIPAddress, "a\rb\r");
    EXPECT_EQ(Parse(FormatOptionsFile(*text, kOptionsSignature)), text);
}

class OptionsFileTest : public ::testing::Test {
  protected:
    // As at start-up: the caller holds IsLoading while the file is read.
    void Load() {
        form.SetLoading(true);
        LoadOptions(path, form, view, uptimePath, {2011, 7, 19}, messages);
        form.SetLoading(false);
    }
    bool Save() { return SaveOptions(path, view, uptimePath, messages); }

    // Server, /s, /a, DoDates, the two option buttons and the menu's check mark, then texts.
    std::string Shown() const {
        std::string shown;
        for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                          Control::DateSwitch, Control::PSwitch, Control::Menu_Settings_Cmdlin}) {
            shown += std::to_string(view.Value(c));
        }
        return shown + " " + view.Text(Control::NameIPAddress) + " " + view.Text(Control::DD) +
               "/" + view.Text(Control::MM) + "/" + view.Text(Control::YYYY) + " " +
               view.Text(Control::pd);
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
    EXPECT_EQ(Shown(), "1101100 SRV01 07/03/2005 5");
    const int expandedHeight = view.windowHeight;
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(view.Text(Control::CmdLine), "uptime SRV01 /s /d:03/07/2005");
    EXPECT_EQ(view.windowHeight, expandedHeight - 810) << "opens collapsed";

    EXPECT_TRUE(Save());
    EXPECT_EQ(test::ReadFile(path), kSample) << "replaced whole, nothing trailing";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Count(dir.path()), 1) << "no temporary file is left beside it";
}

TEST(CaptureOptions, BoxesBecomeNumbersAndOnlyCheckedBoxesCount) {
    // DD, MM, YYYY and pd: empty, not digits, too large for the file, digits.
    const std::array<const char*, 4> typed[] = {{"", "", "", ""},
                                                {"1a", "-3", " 2005", "x"},
                                                {"99999", "32768", "99999", "32768"},
                                                {"07", "12", "2005", "07"}};
    const std::array<int, 4> saved[] = {{0, 0, 0, 0}, {0, 0, 0, 5}, {0, 0, 0, 5}, {7, 12, 2005, 7}};
    FakeOptionView view;
    for (std::size_t i = 0; i < std::size(typed); ++i) {
        view.PutText(Control::DD, typed[i][0]);
        view.PutText(Control::MM, typed[i][1]);
        view.PutText(Control::YYYY, typed[i][2]);
        view.PutText(Control::pd, typed[i][3]);
        const StoredOptions o = CaptureOptions(view, "");
        EXPECT_EQ((std::array<int, 4>{o.dd, o.mm, o.yyyy, o.pd}), saved[i]) << typed[i][0];
    }
    view.PutText(Control::NameIPAddress, " \\\\a b ");
    EXPECT_EQ(CaptureOptions(view, "").nameIPAddress, " \\\\a b ");
    EXPECT_FALSE(CaptureOptions(view, "").dateSwitch) << "neither period option selected";
    EXPECT_TRUE(CaptureOptions(view, "").showCommandLine) << "the command line is shown at first";

    for (int value : {kUnchecked, kChecked, kGrayed}) {
        for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates}) {
            view.PutValue(c, value);
        }
        const StoredOptions o = CaptureOptions(view, "");
        const bool checked = value == kChecked;
        EXPECT_EQ((std::array<bool, 4>{o.server, o.sSwitch, o.aSwitch, o.doDates}),
                  (std::array<bool, 4>{checked, checked, checked, checked}))
            << value;
    }
}

TEST_F(OptionsFileTest, LoadingSetsEveryControlFromTheFileAlone) {
    // A window whose controls all differ from what the file holds.
    for (Control c : {Control::SSwitch, Control::ASwitch, Control::DoDates, Control::DateSwitch}) {
        view.PutValue(c, kChecked);
    }
    view.PutValue(Control::Server, kGrayed);
    view.PutValue(Control::Menu_Settings_Cmdlin, 0);
    view.PutText(Control::DD, "15");
    uptimePath = "left over";  // restored empty, so the launch asks for the tool
    // No day kept (line 10 is 0): today's month and year stand instead of lines 11 and 12.
    test::WriteFile(path,
                    "Ombrix_OptsN\r\n255\r\n\r\nFalse\r\nFalse\r\nName/IP Address\r\n"
                    "False\r\nFalse\r\nFalse\r\n0\r\n12\r\n1999\r\n0\r\nTrue\r\n");
    Load();
    // The day-count box corrects a stored 0; today's month has no leading zero.
    EXPECT_EQ(Shown(), "0000011 Name/IP Address 01/7/2011 5");
    EXPECT_EQ(uptimePath, "");
    EXPECT_TRUE(view.At(Control::CmdLine).visible)
        << "the check mark is restored before the clicks, which show the command line";

    // Stored day and month get two digits, the year is plain decimal; no date check.
    test::WriteFile(path, Sample({{10, "31"}, {11, "4"}, {12, "05"}}));
    Load();
    EXPECT_EQ(Shown(), "1101100 SRV01 31/04/5 5");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OptionsFileTest, NoFileOrARejectedOneAppliesNothing) {
    const std::string untouched = "0000001 Name/IP Address 01/3/2006 5 uptime";
    Load();
    EXPECT_EQ(Shown() + " " + view.Text(Control::CmdLine), untouched);
    EXPECT_TRUE(messages.shown.empty()) << "no file, no message";
    EXPECT_FALSE(fs::exists(path)) << "loading creates nothing";

    // In the second file lines 3 and 14 would convert.
    for (const std::string& bytes : {std::string(), Sample({{9, "Yes"}})}) {
        test::WriteFile(path, bytes);
        messages.shown.clear();
        Load();
        EXPECT_EQ(Shown() + " " + view.Text(Control::CmdLine), untouched) << bytes;
        EXPECT_EQ(uptimePath, "");
        ASSERT_EQ(messages.shown.size(), 1u) << bytes;
        EXPECT_EQ(messages.shown[0].text,
                  "Options file cannot be loaded! Assuming default values.");
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        EXPECT_EQ(test::ReadFile(path), bytes) << "the file stays as it is";
    }
}

TEST_F(OptionsFileTest, AFailedSaveNamesTheFileAndLeavesEverythingAsItWas) {
    const auto expectOneMessageAbout = [this](const std::string& target) {
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string prefix = "Ombrix could not save its options to " + target + ": ";
        EXPECT_EQ(messages.shown[0].text.rfind(prefix, 0), 0u) << messages.shown[0].text;
        EXPECT_GT(messages.shown[0].text.size(), prefix.size()) << "the system's reason";
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        messages.shown.clear();
    };

    // Something else holds the name: a folder, with a file of its own inside.
    const std::string inside = (fs::path(path) / "inside.txt").string();
    fs::create_directory(path);
    test::WriteFile(inside, "kept");
    EXPECT_FALSE(Save());
    expectOneMessageAbout(path);
    EXPECT_EQ(test::ReadFile(inside), "kept");
    EXPECT_EQ(Count(dir.path()), 1) << "no temporary file is left behind";

    // The program's folder has gone.
    const std::string nowhere = (dir.path() / "gone" / kOptionsFileName).string();
    EXPECT_FALSE(SaveOptions(nowhere, view, uptimePath, messages));
    expectOneMessageAbout(nowhere);
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

#ifdef _WIN32
TEST_F(OptionsFileTest, AFileHeldOpenByAnotherProgramIsKept) {
    test::WriteFile(path, kSample);
    {
        // The runtime's streams share reading and writing, not deleting or renaming.
        std::ifstream holder(path, std::ios::binary);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(Save());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
    }
    EXPECT_EQ(test::ReadFile(path), kSample);
    EXPECT_EQ(Count(dir.path()), 1);
}
#else
TEST_F(OptionsFileTest, TheReplacedFileKeepsItsPermissions) {
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    test::WriteFile(path, "old");
    fs::permissions(path, perms);
    ASSERT_TRUE(Save());
    EXPECT_EQ(fs::status(path).permissions(), perms);
    EXPECT_NE(test::ReadFile(path), "old");
}
#endif

}  // namespace
}  // namespace ombrix::options
