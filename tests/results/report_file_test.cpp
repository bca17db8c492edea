// Save Report: the file's exact bytes, Cancel, and a file that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>

#include "results/report_file.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

struct FakeFileDialogs final : platform::FileDialogs {
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings&) override {
        ADD_FAILURE() << "Save Report must not show an Open dialog";
        return std::nullopt;
    }
    std::optional<std::string> ShowSave(const platform::FileDialogSettings&) override {
        ++shown;
        return answer;
    }
    int shown = 0;
    std::optional<std::string> answer;
};

// Saves `output` to `answer` (nullopt: Cancel); the messages shown.
std::vector<test::ShownMessage> Save(const std::string& output, std::optional<std::string> answer) {
    FakeFileDialogs dialogs;
    dialogs.answer = std::move(answer);
    test::RecordingMessages messages;
    SaveReport(output, dialogs, messages,
               {[] { return "WORKST7"; }, [] { return "05/12/2026 09:36:24"; }});
    EXPECT_EQ(dialogs.shown, 1);
    return messages.shown;
}

TEST(SaveReport, ReplacesTheChosenFileWithTheSixPartsAndCancelLeavesIt) {
    test::ScratchDir scratch;
    const std::string path = scratch.File("report");
    test::WriteFile(path, std::string(100'000, 'o'));
    const std::string stars(70, '*');
    const std::string header =
        "Ombrix version:- 1.13.1128 Report file for WORKST7.\r\nSaved on 05/12/2026 09:36:24\r\n";
    // Lone line ends and ANSI bytes pass unchanged; the output gets a CR LF of its own.
    for (const auto& [output, between] : {std::pair<std::string, std::string>{"", "\r\n"},
                                          {"one\r\ntwo\r\n", "one\r\ntwo\r\n\r\n"},
                                          {"a\nb\rc\t\xE9\xFF", "a\nb\rc\t\xE9\xFF\r\n"}}) {
        EXPECT_TRUE(Save(output, path).empty());
        EXPECT_EQ(test::ReadFile(path),
                  header + stars + "\r\n" + between + stars + "\r\nReport complete.\r\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
    const std::string saved = test::ReadFile(path);
    EXPECT_TRUE(Save("line\r\n", std::nullopt).empty()) << "Cancel says nothing";
    EXPECT_EQ(test::ReadFile(path), saved) << "Cancel writes nothing";
}

TEST(SaveReport, AFileThatCannotBeWrittenIsToldWithItsNameAndTheReason) {
    test::ScratchDir scratch;
    std::filesystem::create_directory(scratch.File("folder"));
    for (const std::string& path :
         {(scratch.path() / "missing" / "report.txt").string(), scratch.File("folder")}) {
        const auto shown = Save("line\r\n", path);
        ASSERT_EQ(shown.size(), 1u) << path;
        EXPECT_EQ(shown[0].style, platform::MessageStyle::OkExclamation);
        const std::string opening = "The report could not be saved as " + path + ".\r\n\r\n";
        EXPECT_EQ(shown[0].text.substr(0, opening.size()), opening);
        EXPECT_GT(shown[0].text.size(), opening.size() + 3) << "no reason given";
    }
    EXPECT_TRUE(std::filesystem::is_empty(scratch.File("folder")));
}

}  // namespace
}  // namespace ombrix::results
