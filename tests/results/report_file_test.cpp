// Save Report: the file's six parts, the Save dialog's settings, and files that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>

#include "results/report_file.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

const std::string kStars(70, '*');

TEST(ReportFileContent, FramesTheOutputWithTheHeaderAndClosingLine) {
    const auto framed = [](const std::string& between) {
        return "Ombrix version:- 1.13.1128 Report file for WORKST7.\r\nSaved on 05/12/2026 "
               "09:36:24\r\n" +
               kStars + "\r\n" + between + kStars + "\r\nReport complete.\r\n";
    };
    const auto content = [](const std::string& output) {
        return ReportFileContent(output, "WORKST7", "05/12/2026 09:36:24");
    };
    EXPECT_EQ(content(""), framed("\r\n"));
    EXPECT_EQ(content("one\r\ntwo\r\n"), framed("one\r\ntwo\r\n\r\n"));
    // Lone line ends and bytes of the ANSI code page's upper half pass unchanged.
    EXPECT_EQ(content("a\nb\rc\t\xE9\xFF"), framed("a\nb\rc\t\xE9\xFF\r\n"));
}

struct FakeFileDialogs final : platform::FileDialogs {
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

// Saves "line\r\n" to `answer`: each reading of the header notes how many dialogs had been
// shown by then.
std::vector<std::size_t> Save(FakeFileDialogs& dialogs, test::RecordingMessages& messages) {
    std::vector<std::size_t> reads;
    const auto note = [&](const char* value) {
        return [&reads, &dialogs, value] {
            reads.push_back(dialogs.shown.size());
            return std::string(value);
        };
    };
    SaveReport("line\r\n", dialogs, messages, {note("WORKST7"), note("05/12/2026 09:36:24")});
    return reads;
}

TEST(SaveReport, CancelWritesNothingAndSaysNothing) {
    FakeFileDialogs dialogs;
    test::RecordingMessages messages;
    EXPECT_TRUE(Save(dialogs, messages).empty());
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SaveReport, ReplacesTheChosenFileWholeUnderExactlyItsName) {
    test::ScratchDir scratch;
    FakeFileDialogs dialogs;
    test::RecordingMessages messages;
    dialogs.answer = scratch.File("report");
    test::WriteFile(*dialogs.answer, std::string(100'000, 'o'));
    // The header tells when the file was written, not when the menu was chosen.
    EXPECT_EQ(Save(dialogs, messages), (std::vector<std::size_t>{1, 1}));
    // A name of its own each time: nothing carries over from Program Location.
    EXPECT_EQ(dialogs.shown.at(0).fileName, "");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
    EXPECT_EQ(test::ReadFile(*dialogs.answer),
              ReportFileContent("line\r\n", "WORKST7", "05/12/2026 09:36:24"));
}

TEST(SaveReport, AFileThatCannotBeWrittenIsToldWithItsNameAndTheReason) {
    test::ScratchDir scratch;
    const std::string missing = scratch.File("missing");
    std::filesystem::create_directory(scratch.File("folder"));
    for (const std::string& path :
         {(std::filesystem::path(missing) / "report.txt").string(), scratch.File("folder")}) {
        FakeFileDialogs dialogs;
        test::RecordingMessages messages;
        dialogs.answer = path;
        Save(dialogs, messages);
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        const std::string& text = messages.shown[0].text;
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
        const std::string opening = "The report could not be saved as " + path + ".\r\n\r\n";
        EXPECT_EQ(text.substr(0, opening.size()), opening);
        EXPECT_GT(text.size(), opening.size() + 3) << "no reason given: " << text;
    }
    EXPECT_TRUE(std::filesystem::is_empty(scratch.File("folder")));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace ombrix::results
