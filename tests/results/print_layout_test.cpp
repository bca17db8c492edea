// Print: the six printed items, lines wrapped and continued on new pages, and printer failures.
#include <gtest/gtest.h>

#include "results/print_layout.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

using Lines = std::vector<std::string>;
using Pages = std::vector<platform::PrintedPage>;
const std::string kStars(70, '*');

Lines AllLines(const Pages& pages) {
    Lines lines;
    for (const auto& page : pages) {
        lines.insert(lines.end(), page.begin(), page.end());
    }
    return lines;
}

TEST(PrintedReport, PrintsTheSixItemsInOrder) {
    const auto printed = [](const std::string& output) {
        return AllLines(LayOutPages(PrintedReport(output, "05/12/2026 09:36:24"), {100, 99}));
    };
    const std::string header = "Ombrix Report. Saved on 05/12/2026 09:36:24";
    const std::string end = "Report complete.";
    EXPECT_EQ(printed("a\r\nb\r\n"), (Lines{"", "", header, kStars, "a", "b", "", kStars, end}));
    EXPECT_EQ(printed(""), (Lines{"", "", header, kStars, "", kStars, end}));
}

TEST(LayOutPages, BreaksWrapsAndExpandsTabs) {
    // A final break ends the last line; a line wraps after the last blank that fits, else at
    // the page's edge; tabs stop every 8 columns.
    const std::tuple<std::string, int, Lines> cases[] = {
        {"a\rb\nc\r\nd", 80, {"a", "b", "c", "d"}},
        {"a\r\n", 80, {"a"}},
        {"a\r\n\r\n", 80, {"a", ""}},
        {"\n", 80, {""}},
        {"", 80, {}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"the quick brown fox", 10, {"the quick ", "brown fox"}},
        {"a\tb\r\n1234567\tc", 80, {"a       b", "1234567 c"}}};
    for (const auto& [text, columns, lines] : cases) {
        EXPECT_EQ(AllLines(LayOutPages(text, {columns, 60})), lines) << text;
    }
}

TEST(LayOutPages, NoLineIsWiderThanThePageAndNoCharacterIsLost) {
    std::string line;
    for (int i = 0; i < 60; ++i) {
        line += std::string(static_cast<std::size_t>(i % 13), 'w') + (i % 3 == 0 ? "  " : " ");
    }
    for (int columns : {1, 2, 7, 13, 40, 79}) {
        std::string joined;
        for (const std::string& printed : AllLines(LayOutPages(line, {columns, 1000}))) {
            EXPECT_LE(printed.size(), static_cast<std::size_t>(columns)) << printed;
            joined += printed;
        }
        EXPECT_EQ(joined, line) << columns;
    }
}

TEST(LayOutPages, ContinuesOnNewPagesWhenThePageIsFull) {
    // Wrapped rows count as lines; no empty page follows a full one; a page too small still
    // prints everything.
    EXPECT_EQ(LayOutPages("1\r\n2\r\n3\r\n4\r\n5\r\n", {80, 2}),
              (Pages{{"1", "2"}, {"3", "4"}, {"5"}}));
    EXPECT_EQ(LayOutPages("1\r\n2\r\n", {80, 2}).size(), 1u);
    EXPECT_EQ(LayOutPages(std::string(30, 'x'), {10, 2}).size(), 2u);
    EXPECT_EQ(LayOutPages("ab", {0, 0}), (Pages{{"a"}, {"b"}}));
}

struct FakePrinter final : platform::Printer {
    bool Print(const std::string&, const std::function<Pages(platform::PageGrid)>& layOut,
               std::string& reason) override {
        reason = failure;
        jobStarted = true;
        if (failure.empty()) {
            jobs.push_back(layOut({30, 5}));
        }
        jobStarted = false;
        return failure.empty();
    }
    std::string failure;
    bool jobStarted = false;
    std::vector<Pages> jobs;
};

TEST(PrintReport, EachPrintIsOneJobInThePrintersGridWithTheTimeItBegan) {
    FakePrinter printer;
    test::RecordingMessages messages;
    int readings = 0;
    const ReportSources sources{{}, [&] {
                                    EXPECT_TRUE(printer.jobStarted);
                                    return "time " + std::to_string(++readings);
                                }};
    PrintReport("output", printer, messages, sources);
    PrintReport("output", printer, messages, sources);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(printer.jobs.size(), 2u);
    for (int job = 0; job < 2; ++job) {
        // 2 empty lines, the header, 3 rows of asterisks, the output, 3 rows, the closing line.
        const Pages& pages = printer.jobs[static_cast<std::size_t>(job)];
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[0][2], "Ombrix Report. Saved on time " + std::to_string(job + 1));
        const std::string r30(30, '*'), r10(10, '*');
        EXPECT_EQ(pages[1], (Lines{r10, "output", r30, r30, r10}));
        EXPECT_EQ(pages[2], Lines{"Report complete."});
    }
}

TEST(PrintReport, AFailedJobIsTold) {
    FakePrinter printer;
    printer.failure = "There is no default printer.";
    test::RecordingMessages messages;
    PrintReport("output", printer, messages, {{}, [] { return "t"; }});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_EQ(messages.shown[0].text,
              "The report could not be printed.\r\n\r\nThere is no default printer.");
}

}  // namespace
}  // namespace ombrix::results
