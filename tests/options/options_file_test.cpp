// The options file: its bytes, the files it refuses, and saving and loading it through the window.
#include "options/options_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "options/fake_option_view.h"
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
    bool Save() { return SaveOptions(path, view, uptimePath, messages); }

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
    // An empty line 14 is no Boolean; CR alone does not end a line (nor the last one).
    const std::string thirteen = kSample.substr(0, kSample.size() - 7);
    std::vector<std::string> rejected = {"", thirteen, thirteen + "\r\n", Sample({}, "\r"),
                                         kSample.substr(0, kSample.size() - 1)};
    const std::map<std::size_t, const char*> badLines = {
        {1, "ombrix_optsn"}, {2, "32768"}, {4, "Yes"},  {5, "32768"}, {9, "True "},
        {10, "-1"},          {11, " 1"},   {12, "1.0"}, {13, ""},     {14, "-1"}};
    rejected.push_back(Sample({{1, "\xEF\xBB\xBFOmbrix_OptsN"}}));
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

TEST_F(OptionsFileTest, AFailedSaveNamesTheFileAndLeavesEverythingAsItWas) {
    // Something else holds the name: a folder, with a file of its own inside.
    const std::string inside = (fs::path(path) / "inside.txt").string();
    fs::create_directory(path);
    test::WriteFile(inside, "kept");
    EXPECT_FALSE(Save());
    ExpectOneMessage("Ombrix could not save its options to " + path + ".\r\n\r\n");
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
#endif
}

}  // namespace
}  // namespace ombrix::options
