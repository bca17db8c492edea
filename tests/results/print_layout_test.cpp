// Print: the six printed items, their lines wrapped to the page's width and continued on new
// pages, and what the user sees when the printer fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/print_layout.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

using Lines = std::vector<std::string>;
const std::string kStars(70, '*');

// Every printed line in order, pages joined.
Lines AllLines(const std::vector<platform::PrintedPage>& pages) {
    Lines lines;
    for (const auto& page : pages) {
        lines.insert(lines.end(), page.begin(), page.end());
    }
    return lines;
}

TEST(PrintedReport, PrintsTheSixItemsInOrder) {
    struct Case {
        std::string output;
        Lines between;  // the lines between the two rows of asterisks
    };
    const Case cases[] = {
        {"", {""}},
        {"Up for 2 day(s)", {"Up for 2 day(s)"}},
        {"first\r\nsecond", {"first", "second"}},
        {"ends with a break\r\n", {"ends with a break", ""}},
    };
    for (const Case& c : cases) {
        Lines expected = {"", "", "Ombrix Report. Saved on 05/12/2026 09:36:24", kStars};
        expected.insert(expected.end(), c.between.begin(), c.between.end());
        expected.insert(expected.end(), {kStars, "Report complete."});
        const auto pages = LayOutPages(PrintedReport(c.output, "05/12/2026 09:36:24"), {100, 1000});
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages.front(), expected) << c.output;
    }
}

TEST(LayOutPages, StartsANewLineAtEveryBreak) {
    EXPECT_EQ(AllLines(LayOutPages("a\rb\nc\r\nd", {80, 60})), (Lines{"a", "b", "c", "d"}));
    // A final break ends the last line; only a second one adds an empty line.
    EXPECT_EQ(AllLines(LayOutPages("a\r\n", {80, 60})), (Lines{"a"}));
    EXPECT_EQ(AllLines(LayOutPages("a\r\n\r\n", {80, 60})), (Lines{"a", ""}));
    EXPECT_EQ(AllLines(LayOutPages("\n", {80, 60})), (Lines{""}));
    EXPECT_TRUE(LayOutPages("", {80, 60}).empty());
}

TEST(LayOutPages, WrapsLinesWiderThanThePage) {
    // At the last blank that fits, else at the page's edge.
    EXPECT_EQ(AllLines(LayOutPages("abcdefghij", {4, 60})), (Lines{"abcd", "efgh", "ij"}));
    EXPECT_EQ(AllLines(LayOutPages("the quick brown fox", {10, 60})),
              (Lines{"the quick ", "brown fox"}));
    EXPECT_EQ(AllLines(LayOutPages(kStars, {70, 60})), (Lines{kStars}));
    EXPECT_EQ(AllLines(LayOutPages(kStars, {69, 60})), (Lines{std::string(69, '*'), "*"}));
    // Tabs stop every 8 columns and are printed as blanks.
    EXPECT_EQ(AllLines(LayOutPages("a\tb\r\n1234567\tc", {80, 60})),
              (Lines{"a       b", "1234567 c"}));
}

TEST(LayOutPages, NoLineIsWiderThanThePageAndNoCharacterIsLost) {
    std::string line;
    for (int i = 0; i < 60; ++i) {
        line += std::string(static_cast<std::size_t>(i % 13), 'w') + (i % 3 == 0 ? "  " : " ");
    }
    for (int columns : {1, 2, 7, 13, 40, 79}) {
        const Lines lines = AllLines(LayOutPages(line, {columns, 1000}));
        std::string joined;
        for (const std::string& printed : lines) {
            EXPECT_LE(printed.size(), static_cast<std::size_t>(columns)) << printed;
            joined += printed;
        }
        EXPECT_EQ(joined, line) << columns;
    }
}

TEST(LayOutPages, ContinuesOnNewPagesWhenThePageIsFull) {
    std::string text;
    Lines expected;
    for (int i = 1; i <= 25; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
        expected.push_back("line " + std::to_string(i));
    }
    const auto pages = LayOutPages(text, {80, 10});
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 10u);
    EXPECT_EQ(pages[1].size(), 10u);
    EXPECT_EQ(pages[2].size(), 5u);
    EXPECT_EQ(AllLines(pages), expected);

    // A page filled to its last line leaves no empty page after it.
    EXPECT_EQ(LayOutPages("1\r\n2\r\n3\r\n4\r\n", {80, 2}).size(), 2u);
    // Wrapped rows count as lines of the page.
    EXPECT_EQ(LayOutPages(std::string(30, 'x'), {10, 2}).size(), 2u);
}

TEST(LayOutPages, ASmallerThanOneCellPageStillPrintsEverything) {
    EXPECT_EQ(LayOutPages("ab", {0, 0}), (std::vector<platform::PrintedPage>{{"a"}, {"b"}}));
}

class FakePrinter final : public platform::Printer {
  public:
    bool Print(const std::string& documentName,
               const std::function<std::vector<platform::PrintedPage>(platform::PageGrid)>& layOut,
               std::string& reason) override {
        documents.push_back(documentName);
        if (failure) {
            reason = *failure;
            return false;
        }
        jobStarted = true;
        jobs.push_back(layOut(grid));
        jobStarted = false;
        return true;
    }
    platform::PageGrid grid{80, 60};
    std::optional<std::string> failure;
    bool jobStarted = false;
    std::vector<std::string> documents;
    std::vector<std::vector<platform::PrintedPage>> jobs;
};

TEST(PrintReport, EachPrintIsOneJobWithItsOwnTimeReadOnceTheJobHasBegun) {
    FakePrinter printer;
    test::RecordingMessages messages;
    int readings = 0;
    const ReportSources sources{[] { return std::string("unused"); },
                                [&] {
                                    EXPECT_TRUE(printer.jobStarted);
                                    return "time " + std::to_string(++readings);
                                }};
    PrintReport("output", printer, messages, sources);
    PrintReport("output", printer, messages, sources);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(printer.documents, (Lines{"Ombrix Report", "Ombrix Report"}));
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_EQ(printer.jobs[0].front().at(2), "Ombrix Report. Saved on time 1");
    EXPECT_EQ(printer.jobs[1].front().at(2), "Ombrix Report. Saved on time 2");
}

TEST(PrintReport, UsesThePrintersGrid) {
    FakePrinter printer;
    printer.grid = {20, 5};
    test::RecordingMessages messages;
    PrintReport("short", printer, messages, {[] { return std::string(); }, [] { return "t"; }});
    ASSERT_EQ(printer.jobs.size(), 1u);
    // 2 empty lines, the header in 2 rows, 70 asterisks in 4 rows, "short", 4 rows and the
    // closing line: 14 lines on pages of 5.
    const auto& pages = printer.jobs.front();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1].front(), std::string(20, '*'));
    EXPECT_EQ(pages[2].size(), 4u);
    EXPECT_EQ(pages[2].back(), "Report complete.");
}

TEST(PrintReport, AFailedJobIsToldAndEndsNothingElse) {
    FakePrinter printer;
    printer.failure = "There is no default printer.";
    test::RecordingMessages messages;
    PrintReport("output", printer, messages, {[] { return std::string(); }, [] { return "t"; }});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown.front().style, platform::MessageStyle::OkExclamation);
    EXPECT_EQ(messages.shown.front().text,
              "The report could not be printed.\r\n\r\nThere is no default printer.");
}

}  // namespace
}  // namespace ombrix::results
