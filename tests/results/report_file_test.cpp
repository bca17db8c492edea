// Save Report: the file's exact bytes, Cancel, and a file that cannot be written. Print: the six
// printed items, lines wrapped, and pages continued when full.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "results/print_layout.h"
#include "results/report_file.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

const std::string kStars(70, '*');

struct FakeFileDialogs final : platform::FileDialogs {
    std::optional<std::string> ShowOpen(const platform::FileDialogSettings&) override {
        return std::nullopt;  // a save that asks for a file to open writes nothing
    }
    std::optional<std::string> ShowSave(const platform::FileDialogSettings&) override {
        return answer;
    }
    std::optional<std::string> answer;
};

// Saves `output` to `answer` (nullopt: Cancel); the messages shown.
std::vector<test::ShownMessage> Save(const std::string& output, std::optional<std::string> answer) {
    FakeFileDialogs dialogs;
    dialogs.answer = std::move(answer);
    test::RecordingMessages messages;
    SaveReport(output, dialogs, messages,
               {[] { return "WORKST7"; }, [] { return "05/12/2026 09:36:24"; }});
    return messages.shown;
}

TEST(SaveReport, ReplacesTheChosenFileWithTheSixPartsOrSaysWhyNotAndCancelLeavesIt) {
    test::ScratchDir scratch;
    const std::string path = scratch.File("report");
    test::WriteFile(path, std::string(100'000, 'o'));
    const std::string header =
        "Ombrix version:- 1.13.1128 Report file for WORKST7.\r\nSaved on 05/12/2026 09:36:24\r\n";
    // Lone line ends and ANSI bytes pass unchanged; the output gets a CR LF of its own.
    for (const auto& [output, between] : {std::pair<std::string, std::string>{"", "\r\n"},
                                          {"one\r\ntwo\r\n", "one\r\ntwo\r\n\r\n"},
                                          {"a\nb\rc\t\xE9\xFF", "a\nb\rc\t\xE9\xFF\r\n"}}) {
        EXPECT_TRUE(Save(output, path).empty());
        EXPECT_EQ(test::ReadFile(path),
                  header + kStars + "\r\n" + between + kStars + "\r\nReport complete.\r\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()), {}), 1);
    const std::string saved = test::ReadFile(path);
    EXPECT_TRUE(Save("line\r\n", std::nullopt).empty()) << "Cancel says nothing";
    EXPECT_EQ(test::ReadFile(path), saved) << "Cancel writes nothing";

    // A file that cannot be written is told with its name and the reason.
    std::filesystem::create_directory(scratch.File("folder"));
    for (const std::string& unwritable :
         {(scratch.path() / "missing" / "report.txt").string(), scratch.File("folder")}) {
        const auto shown = Save("line\r\n", unwritable);
        ASSERT_EQ(shown.size(), 1u) << unwritable;
        EXPECT_EQ(shown[0].style, platform::MessageStyle::OkExclamation);
        const std::string opening = "The report could not be saved as " + unwritable + ".\r\n\r\n";
        EXPECT_EQ(shown[0].text.substr(0, opening.size()), opening);
        EXPECT_GT(shown[0].text.size(), opening.size() + 3) << "no reason given";
    }
    EXPECT_TRUE(std::filesystem::is_empty(scratch.File("folder")));
}

using Pages = std::vector<platform::PrintedPage>;

TEST(PrintedReport, PrintsTheSixItemsWrappingExpandingTabsAndContinuingOnNewPages) {
    // The six items in order, opening with two empty lines. Every line break ends a line, one
    // at the very end only the last; a line wraps after the last blank that fits, else at the
    // page's edge; tabs stop every 8 columns; wrapped rows count as lines; no empty page follows
    // a full one; a page too small still prints all.
    const std::tuple<std::string, platform::PageGrid, Pages> cases[] = {
        {PrintedReport("a\r\nb\r\n", "05/12/2026 09:36:24"),
         {100, 99},
         {{"", "", "Ombrix Report. Saved on 05/12/2026 09:36:24", kStars, "a", "b", "", kStars,
           "Report complete."}}},
        {"a\rb\nc\r\nd", {80, 60}, {{"a", "b", "c", "d"}}},
        {"a\r\r\nb\n\rc\n\n", {80, 60}, {{"a", "", "b", "", "c", ""}}},
        {"", {80, 60}, {}},
        {"the quick brown fox", {10, 60}, {{"the quick ", "brown fox"}}},
        {"a\tb\r\n1234567\tc", {80, 60}, {{"a       b", "1234567 c"}}},
        {"1\r\n2\r\n3\r\n4\r\n5\r\n", {80, 2}, {{"1", "2"}, {"3", "4"}, {"5"}}},
        {"1\r\n2\r\n", {80, 2}, {{"1", "2"}}},
        {std::string(30, 'x'),
         {10, 2},
         {{std::string(10, 'x'), std::string(10, 'x')}, {std::string(10, 'x')}}},
        {"ab", {0, 0}, {{"a"}, {"b"}}},
    };
    for (const auto& [text, grid, pages] : cases) {
        EXPECT_EQ(LayOutPages(text, grid), pages) << text;
    }
}

}  // namespace
}  // namespace ombrix::results
