// Print: the six printed items, lines wrapped, and pages continued when full.
#include <gtest/gtest.h>

#include <tuple>

#include "results/print_layout.h"

namespace ombrix::results {
namespace {

using Lines = std::vector<std::string>;
using Pages = std::vector<platform::PrintedPage>;

TEST(PrintedReport, PrintsTheSixItemsInOrderOpeningWithTwoEmptyLines) {
    const std::string stars(70, '*');
    EXPECT_EQ(LayOutPages(PrintedReport("a\r\nb\r\n", "05/12/2026 09:36:24"), {100, 99}),
              (Pages{{"", "", "Ombrix Report. Saved on 05/12/2026 09:36:24", stars, "a", "b", "",
                      stars, "Report complete."}}));
}

TEST(LayOutPages, WrapsExpandsTabsAndContinuesOnNewPages) {
    // Every line break ends a line, one at the very end only the last; a line wraps after the
    // last blank that fits, else at the page's edge; tabs stop every 8 columns; wrapped rows
    // count as lines; no empty page follows a full one; a page too small still prints all.
    const std::tuple<std::string, platform::PageGrid, Pages> cases[] = {
        {"a\rb\nc\r\nd", {80, 60}, {{"a", "b", "c", "d"}}},
        {"a\r\r\nb\n\rc\n\n", {80, 60}, {{"a", "", "b", "", "c", ""}}},
        {"a\r\n\r\n", {80, 60}, {{"a", ""}}},
        {"", {80, 60}, {}},
        {"abcdefghij", {4, 60}, {{"abcd", "efgh", "ij"}}},
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
