// The options file: its bytes, its reading, and saving and loading it through the window.
#include "options/options_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "options/fake_option_view.h"
#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

constexpr shared::CalendarDate kToday{2011, 7, 19};

// A remote check of SRV01 with key system events and a date restriction from 7 March 2005,
// command line hidden, one entry per line.
const std::vector<std::string> kSampleLines = {
    "Ombrix_OptsN",
    "255",
    "C:\\Tools\\uptime.exe",
    "True",
    "True",
    "SRV01",
    "True",
    "False",
    "True",
    "7",
    "3",
    "2005",
    "5",
    "False",
};

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + end;
    }
    return bytes;
}

// The sample with line `number` (1 to 14) replaced.
std::string SampleWith(std::size_t number, const std::string& text) {
    std::vector<std::string> lines = kSampleLines;
    lines.at(number - 1) = text;
    return Join(lines);
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Everything the window shows, for comparing its state before and after.
std::vector<std::string> Describe(const FakeOptionView& view) {
    std::vector<std::string> state{std::to_string(view.windowHeight)};
    for (int c = 0; c <= static_cast<int>(Control::Menu_Settings_Cmdlin); ++c) {
        const FakeOptionView::State& s = view.At(static_cast<Control>(c));
        state.push_back(s.text + "|" + std::to_string(s.value) + "|" + std::to_string(s.enabled) +
                        std::to_string(s.visible) + "|" + std::to_string(s.top));
    }
    return state;
}

TEST(ParseOptionsFile, ReadsBooleansAndNumbersInEveryWrittenForm) {
    const struct {
        const char* text;
        bool value;
    } booleans[] = {{"True", true},   {"true", true},   {"TRUE", true},  {"tRuE", true},
                    {"False", false}, {"fALSE", false}, {"0", false},    {"000", false},
                    {"1", true},      {"7", true},      {"32767", true}, {"00032767", true}};
    for (const auto& b : booleans) {
        const auto server = ParseOptionsFile(SampleWith(5, b.text), kOptionsSignature);
        ASSERT_TRUE(server) << b.text;
        EXPECT_EQ(server->server, b.value) << b.text;
        const auto shown = ParseOptionsFile(SampleWith(14, b.text), kOptionsSignature);
        ASSERT_TRUE(shown) << b.text;
        EXPECT_EQ(shown->showCommandLine, b.value) << b.text;
    }
    const struct {
        const char* text;
        int value;
    } numbers[] = {{"0", 0}, {"32767", 32767}, {"07", 7}, {"000000000000000000000000012", 12}};
    for (const auto& n : numbers) {
        const auto pd = ParseOptionsFile(SampleWith(13, n.text), kOptionsSignature);
        ASSERT_TRUE(pd) << n.text;
        EXPECT_EQ(pd->pd, n.value) << n.text;
        EXPECT_TRUE(ParseOptionsFile(SampleWith(2, n.text), kOptionsSignature))
            << "line 2 may hold any number: " << n.text;
    }
}

TEST(ParseOptionsFile, RejectsEveryLineThatDoesNotConvert) {
    const char* const badNumbers[] = {"",   "+1",  "-1",  "-0",   "32768", "65536",
                                      " 1", "1 ",  "1.0", "0x1",  "1e3",   "99999999999999999999",
                                      "T",  "Yes", "\t5", "5\r\r"};
    for (std::size_t line : {2u, 10u, 11u, 12u, 13u}) {
        for (const char* bad : badNumbers) {
            EXPECT_FALSE(ParseOptionsFile(SampleWith(line, bad), kOptionsSignature))
                << "line " << line << " \"" << bad << '"';
        }
    }
    const char* const badBooleans[] = {"",   "Yes",   "T",     "True ", " False", "-1",
                                       "+1", "32768", "Truee", "Fals",  "True\r", "#TRUE#"};
    for (std::size_t line : {4u, 5u, 7u, 8u, 9u, 14u}) {
        for (const char* bad : badBooleans) {
            EXPECT_FALSE(ParseOptionsFile(SampleWith(line, bad), kOptionsSignature))
                << "line " << line << " \"" << bad << '"';
        }
    }
}

TEST(ParseOptionsFile, RejectsAnythingButTheSignatureAndFourteenLines) {
    std::string sample = Join(kSampleLines);
    const std::string thirteen =
        Join(std::vector<std::string>(kSampleLines.begin(), kSampleLines.end() - 1));
    const std::string rejected[] = {
        "",
        "\r\n",
        "Ombrix_OptsN\r\n",
        "Ombrix_OptsN",
        thirteen,
        thirteen + "\r\n",  // an empty line 14 is no Boolean
        SampleWith(1, "Ombrix_OptsN "),
        SampleWith(1, " Ombrix_OptsN"),
        SampleWith(1, "ombrix_optsn"),
        SampleWith(1, "OMBRIX_OPTSN"),
        SampleWith(1, "\xEF\xBB\xBFOmbrix_OptsN"),
        Join(kSampleLines, "\r"),             // CR alone does not end a line
        sample.substr(0, sample.size() - 1),  // so line 14 reads "False\r"
        std::string(sample).insert(sample.find("SRV01"), "\r\n"),
        std::string(sample).erase(sample.find("\r\n5\r\n"), 3),
    };
    for (const std::string& bytes : rejected) {
        EXPECT_FALSE(ParseOptionsFile(bytes, kOptionsSignature)) << '"' << bytes << '"';
    }
    EXPECT_FALSE(ParseOptionsFile(sample, "Ombrix_Opts")) << "the whole line is compared";
}

TEST(ParseOptionsFile, AcceptsEveryLineEndAndIgnoresWhatFollowsLineFourteen) {
    const auto expected = ParseOptionsFile(Join(kSampleLines), kOptionsSignature);
    ASSERT_TRUE(expected);
    std::string mixed;
    for (std::size_t i = 0; i < kSampleLines.size(); ++i) {
        mixed += kSampleLines[i] + (i % 2 == 0 ? "\n" : "\r\n");
    }
    std::string unterminated = Join(kSampleLines);
    unterminated.resize(unterminated.size() - 2);
    for (const std::string& bytes :
         {Join(kSampleLines, "\n"), mixed, unterminated, Join(kSampleLines) + "garbage\r\n\r\nmore",
          Join(kSampleLines) + "\x1a"}) {
        EXPECT_EQ(ParseOptionsFile(bytes, kOptionsSignature), expected) << '"' << bytes << '"';
    }

    // Only a CR right before the LF belongs to the line end; texts keep any other.
    const auto text = ParseOptionsFile(SampleWith(6, "a\rb\r"), kOptionsSignature);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->nameIPAddress, "a\rb\r");
    EXPECT_EQ(ParseOptionsFile(FormatOptionsFile(*text, kOptionsSignature), kOptionsSignature),
              text);
}

class OptionsFileTest : public ::testing::Test {
  protected:
    // As at start-up: the caller holds IsLoading while the file is read.
    void Load() {
        form.SetLoading(true);
        LoadOptions(path, form, view, uptimePath, kToday, messages);
        form.SetLoading(false);
    }
    bool Save() { return SaveOptions(path, view, uptimePath, messages); }

    // Line `number` (1 to 14) of the file as written.
    std::string SavedLine(std::size_t number) const {
        const std::string bytes = test::ReadFile(path);
        std::size_t start = 0;
        for (std::size_t i = 1; i < number; ++i) {
            start = bytes.find("\r\n", start) + 2;
        }
        return bytes.substr(start, bytes.find("\r\n", start) - start);
    }

    // The user sets up the sample's choices.
    void ShowSample() {
        uptimePath = "C:\\Tools\\uptime.exe";
        view.Click(form, Control::Server);
        view.Type(form, Control::NameIPAddress, "SRV01");
        view.Click(form, Control::SSwitch);
        view.Click(form, Control::DoDates);
        view.Click(form, Control::DateSwitch);
        view.Type(form, Control::DD, "7");
        view.Type(form, Control::MM, "3");
        view.Type(form, Control::YYYY, "2005");
        form.OnShowCommandLineChosen();
    }

    std::string Text(Control c) const { return view.Text(c); }
    int Value(Control c) const { return view.Value(c); }

    test::ScratchDir dir;
    std::string path = dir.File(kOptionsFileName);
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath;
    test::RecordingMessages messages;
};

TEST_F(OptionsFileTest, SavesTheSampleFromTheWindowInPlaceOfALongerFile) {
    std::string older;
    for (int i = 0; i < 40; ++i) {
        older += "an older and longer line " + std::to_string(i) + "\r\n";
    }
    test::WriteFile(path, older);
    ShowSample();
    EXPECT_TRUE(Save());
    EXPECT_EQ(test::ReadFile(path), Join(kSampleLines)) << "replaced whole, nothing trailing";
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{kOptionsFileName})
        << "no temporary file is left beside it";
}

TEST_F(OptionsFileTest, SavesTheBoxesAsNumbersAndOnlyCheckedBoxesAsTrue) {
    const struct {
        Control control;
        const char* text;
        std::size_t line;
        const char* saved;
    } boxes[] = {
        {Control::DD, "", 10, "0"},          {Control::DD, "1a", 10, "0"},
        {Control::DD, "07", 10, "7"},        {Control::DD, "00", 10, "0"},
        {Control::MM, "12", 11, "12"},       {Control::MM, "-3", 11, "0"},
        {Control::YYYY, " 2005", 12, "0"},   {Control::YYYY, "99999", 12, "0"},
        {Control::pd, "x", 13, "5"},         {Control::pd, "07", 13, "7"},
        {Control::pd, "", 13, "0"},          {Control::pd, "1.5", 13, "5"},
        {Control::pd, "32768", 13, "5"},     {Control::pd, "32767", 13, "32767"},
        {Control::NameIPAddress, "", 6, ""}, {Control::NameIPAddress, " \\\\a b ", 6, " \\\\a b "},
    };
    for (const auto& box : boxes) {
        view.PutText(box.control, box.text);
        ASSERT_TRUE(Save());
        EXPECT_EQ(SavedLine(box.line), box.saved) << '"' << box.text << '"';
    }

    for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates}) {
        const std::size_t line = c == Control::Server    ? 5
                                 : c == Control::SSwitch ? 7
                                 : c == Control::ASwitch ? 8
                                                         : 9;
        for (int value : {kUnchecked, kChecked, kGrayed}) {
            view.PutValue(c, value);
            ASSERT_TRUE(Save());
            EXPECT_EQ(SavedLine(line), value == kChecked ? "True" : "False")
                << "line " << line << " value " << value;
        }
    }
    view.PutValue(Control::DateSwitch, 0);
    view.PutValue(Control::PSwitch, 0);
    ASSERT_TRUE(Save());
    EXPECT_EQ(SavedLine(4), "False") << "neither period option selected";
    EXPECT_EQ(SavedLine(14), "True") << "the command line is shown at first";
}

TEST_F(OptionsFileTest, LoadsTheSampleIntoTheWindow) {
    test::WriteFile(path, Join(kSampleLines));
    Load();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(uptimePath, "C:\\Tools\\uptime.exe");
    EXPECT_EQ(Value(Control::Server), kChecked);
    EXPECT_EQ(Value(Control::SSwitch), kChecked);
    EXPECT_EQ(Value(Control::ASwitch), kUnchecked);
    EXPECT_EQ(Value(Control::DoDates), kChecked);
    EXPECT_EQ(Text(Control::NameIPAddress), "SRV01");
    EXPECT_EQ(Text(Control::DD), "07");
    EXPECT_EQ(Text(Control::MM), "03");
    EXPECT_EQ(Text(Control::YYYY), "2005");
    EXPECT_EQ(Text(Control::pd), "5");
    EXPECT_EQ(Value(Control::DateSwitch), 1);
    EXPECT_EQ(Value(Control::PSwitch), 0);
    EXPECT_EQ(Value(Control::Menu_Settings_Cmdlin), 0);

    const int expandedHeight = view.windowHeight;
    form.BuildCommandLineAtStartup();
    EXPECT_EQ(Text(Control::CmdLine), "uptime SRV01 /s /d:03/07/2005");
    EXPECT_FALSE(view.At(Control::CmdLine).visible);
    EXPECT_EQ(view.windowHeight, expandedHeight - 2 * 405) << "opens collapsed";
}

TEST_F(OptionsFileTest, LoadingSetsEveryControlFromTheFileAlone) {
    // A window whose controls all differ from what the file holds.
    for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates,
                      Control::DateSwitch}) {
        view.PutValue(c, kChecked);
    }
    view.PutValue(Control::Server, kGrayed);
    view.PutValue(Control::Menu_Settings_Cmdlin, 0);
    view.PutText(Control::DD, "15");
    std::vector<std::string> lines = kSampleLines;
    for (std::size_t line : {4u, 5u, 7u, 8u, 9u}) {
        lines[line - 1] = "False";
    }
    lines[5] = "Name/IP Address";
    lines[9] = "0";  // no day kept: today's month and year stand instead of lines 11 and 12
    lines[10] = "12";
    lines[11] = "1999";
    lines[12] = "0";
    lines[13] = "True";
    test::WriteFile(path, Join(lines));
    Load();

    for (Control c : {Control::Server, Control::SSwitch, Control::ASwitch, Control::DoDates}) {
        EXPECT_EQ(Value(c), kUnchecked) << static_cast<int>(c);
    }
    EXPECT_EQ(Value(Control::DateSwitch), 0);
    EXPECT_EQ(Value(Control::PSwitch), 1) << "exactly one period option is selected";
    EXPECT_EQ(Text(Control::NameIPAddress), "Name/IP Address") << "kept although not used";
    EXPECT_EQ(Text(Control::DD), "01");
    EXPECT_EQ(Text(Control::MM), "7") << "today's month has no leading zero";
    EXPECT_EQ(Text(Control::YYYY), "2011");
    EXPECT_EQ(Text(Control::pd), "5") << "the day-count box corrects a stored 0";
    EXPECT_EQ(Value(Control::Menu_Settings_Cmdlin), 1);
    EXPECT_TRUE(view.At(Control::CmdLine).visible)
        << "the check mark is restored before the clicks, which show the command line";
}

TEST_F(OptionsFileTest, StoredDatesAreShownWithTwoDigitsAndAsTyped) {
    const struct {
        const char* dd;
        const char* mm;
        const char* yyyy;
        const char* shownDD;
        const char* shownMM;
        const char* shownYYYY;
    } dates[] = {
        {"31", "4", "2005", "31", "04", "2005"},  // no date check on loading
        {"9", "12", "05", "09", "12", "5"},       // the year in plain decimal
        {"123", "0", "32767", "123", "00", "32767"},
    };
    for (const auto& d : dates) {
        std::vector<std::string> lines = kSampleLines;
        lines[9] = d.dd;
        lines[10] = d.mm;
        lines[11] = d.yyyy;
        test::WriteFile(path, Join(lines));
        Load();
        EXPECT_EQ(Text(Control::DD), d.shownDD);
        EXPECT_EQ(Text(Control::MM), d.shownMM);
        EXPECT_EQ(Text(Control::YYYY), d.shownYYYY);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(OptionsFileTest, RejectedFilesShowOneMessageAndApplyNothing) {
    const std::string sample = Join(kSampleLines);
    const std::string rejected[] = {
        "",
        SampleWith(1, "Ombrix_OptsN "),
        SampleWith(1, "ombrix_optsN"),
        sample.substr(0, sample.find("\r\n5\r\n")),  // ends after line 12
        SampleWith(9, "Yes"),                        // lines 3 and 14 would convert
        SampleWith(2, "-1"),
    };
    for (const std::string& bytes : rejected) {
        test::WriteFile(path, bytes);
        FakeOptionView untouched;
        Load();
        EXPECT_EQ(Describe(view), Describe(untouched)) << '"' << bytes << '"';
        EXPECT_EQ(uptimePath, "");
        ASSERT_EQ(messages.shown.size(), 1u) << '"' << bytes << '"';
        EXPECT_EQ(messages.shown[0].text, kOptionsRejectedMessage);
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        EXPECT_EQ(test::ReadFile(path), bytes) << "the file stays as it is";
        messages.shown.clear();
    }
}

TEST_F(OptionsFileTest, NoFileLeavesTheWindowAsItIs) {
    Load();
    EXPECT_EQ(Describe(view), Describe(FakeOptionView()));
    EXPECT_EQ(uptimePath, "");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fs::exists(path)) << "loading creates nothing";
}

TEST_F(OptionsFileTest, WhatIsSavedLoadsBackAndSavesTheSame) {
    uptimePath = "";  // restored empty, so the launch asks for the tool again
    view.Click(form, Control::ASwitch);
    view.Click(form, Control::DoDates);
    view.Click(form, Control::PSwitch);
    view.Type(form, Control::pd, "12");
    view.Type(form, Control::NameIPAddress, "10.0.0.7");
    view.Type(form, Control::DD, "28");
    view.Type(form, Control::MM, "2");
    view.Type(form, Control::YYYY, "1999");
    ASSERT_TRUE(Save());
    const std::string first = test::ReadFile(path);

    FakeOptionView other;
    OptionForm otherForm{other};
    std::string otherPath = "left over";
    otherForm.SetLoading(true);
    LoadOptions(path, otherForm, other, otherPath, kToday, messages);
    otherForm.SetLoading(false);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(otherPath, "");
    otherForm.BuildCommandLineAtStartup();
    form.BuildCommandLine();
    EXPECT_EQ(other.Text(Control::CmdLine), "uptime /a /p:12");
    EXPECT_EQ(other.Text(Control::CmdLine), Text(Control::CmdLine));
    EXPECT_EQ(other.Text(Control::MM), "02");

    ASSERT_TRUE(SaveOptions(path, other, otherPath, messages));
    EXPECT_EQ(test::ReadFile(path), first);
}

TEST_F(OptionsFileTest, AFailedSaveNamesTheFileAndLeavesEverythingAsItWas) {
    const auto expectOneMessageAbout = [this](const std::string& target) {
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string prefix = "Ombrix could not save its options to " + target + ": ";
        EXPECT_EQ(messages.shown[0].text.substr(0, prefix.size()), prefix);
        EXPECT_GT(messages.shown[0].text.size(), prefix.size()) << "the system's reason";
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        messages.shown.clear();
    };

    // Something else holds the name: a folder, with a file of its own inside.
    fs::create_directory(path);
    test::WriteFile((fs::path(path) / "inside.txt").string(), "kept");
    EXPECT_FALSE(Save());
    expectOneMessageAbout(path);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(test::ReadFile((fs::path(path) / "inside.txt").string()), "kept");
    EXPECT_EQ(Entries(path), std::vector<std::string>{"inside.txt"});
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{kOptionsFileName})
        << "no temporary file is left behind";

    // The program's folder has gone.
    const std::string nowhere = (dir.path() / "gone" / kOptionsFileName).string();
    EXPECT_FALSE(SaveOptions(nowhere, view, uptimePath, messages));
    expectOneMessageAbout(nowhere);
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
}

#ifdef _WIN32
TEST_F(OptionsFileTest, AFileHeldOpenByAnotherProgramIsKept) {
    const std::string older = Join(kSampleLines);
    test::WriteFile(path, older);
    {
        // The runtime's streams share reading and writing, not deleting or renaming.
        std::ifstream holder(path, std::ios::binary);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(Save());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
    }
    EXPECT_EQ(test::ReadFile(path), older);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{kOptionsFileName});
}
#else
TEST_F(OptionsFileTest, TheReplacedFileKeepsItsPermissions) {
    test::WriteFile(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(Save());
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_NE(test::ReadFile(path), "old");
}
#endif

}  // namespace
}  // namespace ombrix::options
