// Save Report: the file's six parts, the Save dialog's settings, and what the user sees when
// the file cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "results/report_file.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

const std::string kStars(70, '*');

// The file's lines, each of which must end with CR LF.
std::vector<std::string> CrLfLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << content.substr(start);
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(ReportFileContent, FramesTheOutputWithTheHeaderAndClosingLine) {
    struct Case {
        std::string output;
        std::vector<std::string> between;  // the lines between the two rows of asterisks
    };
    const Case cases[] = {
        {"", {""}},
        {"one line", {"one line"}},
        {"\\\\WORKST7 has been up for: 2 day(s)\r\nSecond line",
         {"\\\\WORKST7 has been up for: 2 day(s)", "Second line"}},
        {"ends with a break\r\n", {"ends with a break", ""}},
        {"\r\n\r\n", {"", "", ""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected = {"Ombrix version:- 1.13.1128 Report file for WORKST7.",
                                             "Saved on 05/12/2026 09:36:24", kStars};
        expected.insert(expected.end(), c.between.begin(), c.between.end());
        expected.insert(expected.end(), {kStars, "Report complete."});
        EXPECT_EQ(CrLfLines(ReportFileContent(c.output, "WORKST7", "05/12/2026 09:36:24")),
                  expected)
            << c.output;
    }
}

TEST(ReportFileContent, KeepsTheOutputByteForByte) {
    // Lone line ends and bytes of the ANSI code page's upper half pass unchanged.
    const std::string output = "a\nb\rc\t\xE9\xFF end";
    const std::string content = ReportFileContent(output, "PC", "now");
    EXPECT_NE(content.find(kStars + "\r\n" + output + "\r\n" + kStars + "\r\n"), std::string::npos);
}

class FakeFileDialogs final : public platform::FileDialogs {
  public:
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings&) override {
        ADD_FAILURE() << "Save Report must not show an Open dialog";
        return std::nullopt;
    }
    std::optional<std::string> ShowSave(const platform::FileDialogSettings& settings) override {
        shown.push_back(settings);
        return answer;
    }
    std::vector<platform::FileDialogSettings> shown;
    std::optional<std::string> answer;
};

class SaveReportTest : public ::testing::Test {
  protected:
    SaveReportTest() {
        sources.computerName = [this] {
            namesRead.push_back(dialogs.shown.size());
            return std::string("WORKST7");
        };
        sources.dateTimeText = [this] {
            timesRead.push_back(dialogs.shown.size());
            return std::string("05/12/2026 09:36:24");
        };
    }
    void Save(const std::string& output) { SaveReport(output, dialogs, messages, sources); }
    std::vector<std::string> FilesInScratch() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    test::ScratchDir scratch;
    FakeFileDialogs dialogs;
    test::RecordingMessages messages;
    ReportSources sources;
    std::vector<std::size_t> namesRead;  // how many dialogs had been shown at each reading
    std::vector<std::size_t> timesRead;
};

TEST_F(SaveReportTest, EverySaveAsksWithTheSameFreshSettings) {
    dialogs.answer = std::nullopt;
    Save("x");
    dialogs.answer = scratch.File("first.txt");
    Save("x");
    Save("x");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    for (const auto& settings : dialogs.shown) {
        EXPECT_EQ(settings.title, "Save Report");
        EXPECT_EQ(settings.filter, "Text (.TXT)|*.txt");
        EXPECT_EQ(settings.fileName, "");
        EXPECT_EQ(settings.flags, 4u);
    }
}

TEST_F(SaveReportTest, CancelWritesNothingAndSaysNothing) {
    dialogs.answer = std::nullopt;
    Save("output");
    EXPECT_TRUE(FilesInScratch().empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(namesRead.empty());
    EXPECT_TRUE(timesRead.empty());
}

TEST_F(SaveReportTest, WritesTheReportUnderExactlyTheChosenName) {
    dialogs.answer = scratch.File("report");
    Save("line 1\r\nline 2\r\n");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(FilesInScratch(), std::vector<std::string>{"report"});
    const std::string expected =
        "Ombrix version:- 1.13.1128 Report file for WORKST7.\r\n"
        "Saved on 05/12/2026 09:36:24\r\n" +
        kStars + "\r\nline 1\r\nline 2\r\n\r\n" + kStars + "\r\nReport complete.\r\n";
    EXPECT_EQ(test::ReadFile(scratch.File("report")), expected);
    // The header tells when the file was written, not when the menu was chosen.
    EXPECT_EQ(namesRead, std::vector<std::size_t>{1});
    EXPECT_EQ(timesRead, std::vector<std::size_t>{1});
}

TEST_F(SaveReportTest, ReplacesAnExistingFileWhole) {
    const std::string path = scratch.File("old.txt");
    test::WriteFile(path, std::string(100'000, 'o'));
    dialogs.answer = path;
    Save("new");
    EXPECT_TRUE(messages.shown.empty());
    const std::string content = test::ReadFile(path);
    // Nothing of the old, longer file is left behind the new report.
    EXPECT_EQ(content.find("oooooooooo"), std::string::npos);
    EXPECT_LT(content.size(), 300u);
    EXPECT_EQ(content.substr(content.size() - 18), "Report complete.\r\n");
}

TEST_F(SaveReportTest, AFileThatCannotBeWrittenIsToldWithItsNameAndTheReason) {
    const std::string folder = scratch.File("folder");
    std::filesystem::create_directory(folder);
    for (const std::string& path :
         {scratch.File("missing") + std::string(1, std::filesystem::path::preferred_separator) +
              "report.txt",
          folder}) {
        messages.shown.clear();
        dialogs.answer = path;
        Save("output");
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        const auto& shown = messages.shown.front();
        EXPECT_EQ(shown.style, platform::MessageStyle::OkExclamation);
        const std::string opening = "The report could not be saved as " + path + ".\r\n\r\n";
        EXPECT_EQ(shown.text.substr(0, opening.size()), opening);
        EXPECT_GT(shown.text.size(), opening.size() + 3) << "no reason given: " << shown.text;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(std::filesystem::exists(scratch.File("missing")));
}

}  // namespace
}  // namespace ombrix::results
