// Rows, wrapping, columns and caret moves of the report view.
#include <gtest/gtest.h>

#include <string>

#include "results/text_layout.h"

namespace ombrix::results {
namespace {

using V = std::vector<std::string>;
using Span = std::pair<std::size_t, std::size_t>;

V Rows(const TextLayout& layout) {
    V rows;
    for (std::size_t i = 0; i < layout.RowCount(); ++i) {
        const auto r = layout.RowAt(i);
        rows.emplace_back(layout.Text().substr(r.begin, r.end - r.begin));
    }
    return rows;
}

TEST(TextLayout, SplitsLinesAtEveryKindOfBreak) {
    const std::pair<std::string, V> cases[] = {
        {"one\r\ntwo\nthree\rfour", {"one", "two", "three", "four"}},
        {"", {""}},
        {"last\r\n", {"last", ""}},  // the caret can stand after it
        {"a\r\n\r\nb", {"a", "", "b"}},
    };
    for (const auto& [text, rows] : cases) {
        EXPECT_EQ(Rows(TextLayout(text)), rows) << text;
    }
}

TEST(TextLayout, WrapsAtTheLastBlankThatFits) {
    const std::string text = "alpha beta gamma\r\nabcdefghijkl";
    TextLayout layout(text);
    layout.Wrap(11);
    EXPECT_EQ(Rows(layout), (V{"alpha beta ", "gamma", "abcdefghijk", "l"}));
    EXPECT_EQ(layout.WidestRow(), 11);
    layout.Wrap(0);
    EXPECT_EQ(Rows(layout), (V{"alpha beta gamma", "abcdefghijkl"}));
    EXPECT_EQ(layout.WidestRow(), 16);
    layout.Wrap(1);
    EXPECT_EQ(layout.RowCount(), 28u) << "one character a row, blanks too";
}

TEST(TextLayout, TabsExpandToEightColumns) {
    const std::string text = "a\tb\t\tc";
    TextLayout layout(text);
    EXPECT_EQ(layout.ExpandedRow(0), "a       b               c");
    EXPECT_EQ(layout.ColumnOf(2), 8);
    EXPECT_EQ(layout.ColumnOf(5), 24);
    EXPECT_EQ(layout.OffsetAt(0, 3), 1u) << "left half of the tab's room";
    EXPECT_EQ(layout.OffsetAt(0, 6), 2u) << "right half lands after the tab";
    layout.Wrap(10);
    EXPECT_EQ(Rows(layout), (V{"a\t", "b\t", "\tc"}));
}

TEST(TextLayout, FindsRowsAndOffsets) {
    const std::string text = "abc\r\ndefgh\r\n";
    TextLayout layout(text);
    EXPECT_EQ(layout.RowOf(3), 0u) << "the break belongs to the row it ends";
    EXPECT_EQ(layout.RowOf(4), 0u);
    EXPECT_EQ(layout.RowOf(5), 1u);
    EXPECT_EQ(layout.RowOf(text.size()), 2u);
    EXPECT_EQ(layout.OffsetAt(1, 2), 7u);
    EXPECT_EQ(layout.OffsetAt(1, 99), 10u) << "past the end of the row";
    EXPECT_EQ(layout.ColumnOf(8), 3);
}

TEST(TextLayout, KeepsUpWithLargeReports) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "\\\\HOST has been up for: 1 day(s), 2 hour(s), 3 minute(s), 4 second(s)\r\n";
    }
    TextLayout layout(text, 40);
    EXPECT_EQ(layout.RowCount(), 200000u * 2 + 1);
    const auto middle = layout.RowAt(200001);
    EXPECT_EQ(text.substr(middle.begin, middle.end - middle.begin),
              "hour(s), 3 minute(s), 4 second(s)");
}

TEST(CaretMoves, StepOverLineBreaksAsOne) {
    const std::string text = "ab\r\ncd\ne";
    EXPECT_EQ(NextOffset(text, 2), 4u);
    EXPECT_EQ(NextOffset(text, 6), 7u);
    EXPECT_EQ(NextOffset(text, text.size()), text.size());
    EXPECT_EQ(PreviousOffset(text, 4), 2u);
    EXPECT_EQ(PreviousOffset(text, 7), 6u);
    EXPECT_EQ(PreviousOffset(text, 0), 0u);
}

TEST(CaretMoves, DoubleClickSelectsAWord) {
    const std::string text = "\\\\SRV01 has been up: 12 day(s)";
    EXPECT_EQ(WordAt(text, 3), (Span{2, 7}));
    EXPECT_EQ(WordAt(text, 0), (Span{0, 2})) << "a run of marks";
    EXPECT_EQ(WordAt(text, 7), (Span{7, 7})) << "a blank";
    EXPECT_EQ(WordAt(text, 24), (Span{24, 27}));
    EXPECT_EQ(WordAt(text, text.size()), (Span{text.size(), text.size()}));
}

}  // namespace
}  // namespace ombrix::results
