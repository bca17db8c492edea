// The report view's rules: keys, mouse, scrolling, wrapping at the view's width, what is painted
// selected, and Ctrl+C.
#include "results/text_view_model.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "support/test_support.h"

namespace ombrix::results {
namespace {

using Key = TextViewModel::Key;
using Scroll = TextViewModel::Scroll;
using Point = TextViewModel::Point;
using Range = std::pair<std::size_t, std::size_t>;

// Cells of 10 by 20 pixels; 104 pixels wide is 10 columns (a margin of 2 each side), 60 high is
// three rows. Rows (offsets): 0 "alpha beta" [0,10), 1 "go" [12,14), 2 "charlie " [16,24),
// 3 "delta" [24,29), 4 "x\ty" [31,34), 5 "" [36,36), 6 "end" [38,41).
const std::string kText = "alpha beta\r\ngo\r\ncharlie delta\r\nx\ty\r\n\r\nend";

class ViewTest : public ::testing::Test {
  protected:
    ViewTest() {
        view.SetCharSize(10, 20);
        view.Resize(104, 60);
        view.SetText(kText);
    }
    // A point inside the cell of a column and a line of the client area.
    static Point Cell(int column, int line) { return {2 + column * 10 + 1, line * 20 + 5}; }

    TextViewModel view;
};

TEST_F(ViewTest, WrapsAtTheWidthAndKeepsTheFirstRowInSightWhenTheWidthChanges) {
    EXPECT_EQ(view.RowCount(), 7u);  // three in sight: the scrolling test's last page shows it
    view.ScrollTo(3);
    view.Resize(64, 60);  // six columns: "charli", "e ", "delta"; "x", "\t", "y"
    EXPECT_EQ(view.RowCount(), 11u);
    EXPECT_EQ(view.RowToPaint(view.TopRow()).text, "delta");
    view.SetCharSize(20, 20);  // three columns
    EXPECT_EQ(view.RowToPaint(view.TopRow()).text, "del");

    // A text set before the view has a size is not wrapped at all, never at one column; a final
    // line break is followed by an empty row.
    TextViewModel fresh;
    fresh.SetText(kText + "\r\n");
    EXPECT_EQ(fresh.RowCount(), 7u);
}

TEST_F(ViewTest, KeysMoveTheCaretAsATextBoxDoesAndKeepItInSight) {
    const struct {
        std::size_t from;
        Key key;
        bool shift, control;
        std::size_t caret, anchor, top;
    } cases[] = {
        {10, Key::Right, false, false, 12, 12, 0},  // over CR LF in one step
        {12, Key::Left, false, false, 10, 10, 0},
        {41, Key::Right, false, false, 41, 41, 4},
        {0, Key::Down, true, false, 12, 0, 0},     // Shift keeps the anchor
        {7, Key::Down, false, false, 14, 14, 0},   // a shorter row: its end
        {39, Key::Down, false, false, 39, 39, 4},  // the last row
        {27, Key::Down, false, false, 32, 32, 2},  // column 3 is inside the tab: before it
        {0, Key::Up, false, false, 0, 0, 0},
        {27, Key::Home, false, false, 24, 24, 1},
        {0, Key::End, true, true, 41, 0, 4},  // Ctrl+Shift+End
        {41, Key::Home, false, true, 0, 0, 0},
        {0, Key::PageDown, false, false, 24, 24, 1},  // three rows on, in sight at the bottom
        {41, Key::PageUp, false, false, 27, 27, 3},
    };
    for (const auto& c : cases) {
        view.ScrollTo(0);
        view.Select(c.from, c.from);
        view.Press(c.key, c.shift, c.control);
        EXPECT_EQ(std::tuple(view.Caret(), view.Anchor(), view.TopRow()),
                  std::tuple(c.caret, c.anchor, c.top))
            << "from " << c.from << " key " << static_cast<int>(c.key);
    }
    // Up and down keep the column they started from, until another key moves the caret:
    // "alpha b|eta", "go|", "charlie| ", then Left, and up twice from column 6.
    view.Select(7, 7);
    for (const Key key : {Key::Down, Key::Down, Key::Left, Key::Up, Key::Up}) {
        view.Press(key, false, false);
    }
    EXPECT_EQ(view.Caret(), 6u);
}

TEST_F(ViewTest, PointsFallOnTheNearerSideOfACharacter) {
    const std::pair<Point, std::size_t> cases[] = {
        {{2 + 34, 5}, 3},  // left half of column 3
        {{2 + 36, 5}, 4},  // right half: after it
        {{500, 5}, 10},    // past the row's end
        {{5, -10}, 0},     // above the view: the first row
        {{5, 1000}, 38},   // below the text: its last row
        {Cell(3, 4), 32},  // inside a tab's left part: before the tab
        {Cell(6, 4), 33},  // its right part: after it
    };
    for (const auto& [point, offset] : cases) {
        EXPECT_EQ(view.HitTest(point), offset) << point.x << "," << point.y;
    }
    view.ScrollTo(2);
    EXPECT_EQ(view.HitTest({5, -10}), 12u) << "the row above the top";
    EXPECT_EQ(view.HitTest(Cell(0, 0)), 16u);
}

TEST_F(ViewTest, TheMouseSelectsByDraggingAndWordsByDoubleClicking) {
    view.MouseDown(Cell(1, 0), false);
    view.MouseMove(Cell(4, 1));
    EXPECT_EQ(view.Selection(), Range(1, 14));
    view.MouseMove(Cell(0, 3));  // below the view: it scrolls, so "go" is at the top
    view.MouseUp();
    view.MouseMove(Cell(0, 0));
    EXPECT_EQ(view.Caret(), 24u) << "a move after the release changes nothing";
    view.MouseDown(Cell(3, 0), true);  // Shift: from the anchor, to "go" at the top
    EXPECT_EQ(view.Selection(), Range(1, 14));
    view.MouseUp();

    for (const auto& [point, word] : {std::pair{Cell(7, 0), Range(6, 10)},  // "beta"
                                      std::pair{Cell(5, 0), Range(5, 5)},   // a blank: nothing
                                      std::pair{Cell(0, 2), Range(16, 23)}}) {
        view.ScrollTo(0);
        view.DoubleClick(point);
        EXPECT_EQ(view.Selection(), word) << point.x << "," << point.y;
        EXPECT_EQ(view.Caret(), word.second);
    }
}

TEST_F(ViewTest, SelectTakesAnEditControlsArgumentsAndCtrlCCopiesASelectionOrSaysWhyNot) {
    // A clipboard that refuses: a copy tried shows the refusal.
    struct RefusingClipboard final : platform::Clipboard {
        base::Result<> PutText(const std::string&) override {
            return base::Failure{"Access is denied."};
        }
    } clipboard;
    test::RecordingMessages messages;
    view.Select(50, 2);  // past the end means the end; the caret may come first
    EXPECT_EQ(view.Selection(), Range(2, 41));
    EXPECT_EQ(view.Caret(), 2u);
    view.Select(3, 13);
    view.CollapseSelection();
    EXPECT_EQ(view.Selection(), Range(13, 13));
    CopySelection(view, clipboard, messages);
    EXPECT_TRUE(messages.shown.empty()) << "nothing selected, nothing copied";
    view.Select(16, 3);
    CopySelection(view, clipboard, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Ombrix could not put the selection on the clipboard.\r\n\r\nAccess is denied.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    view.Select(0, 41);
    EXPECT_EQ(view.TopRow(), 4u) << "the caret is brought into sight";
    view.ScrollTo(1);
    view.SelectAll();  // keeps the view where it is
    EXPECT_EQ(view.SelectedText(), kText);
    EXPECT_EQ(view.TopRow(), 1u);
}

TEST_F(ViewTest, ScrollingStaysBetweenTheFirstAndTheLastPage) {
    const std::tuple<std::size_t, Scroll, std::size_t> cases[] = {
        {0, Scroll::LineUp, 0},   {0, Scroll::LineDown, 1}, {1, Scroll::PageDown, 4},
        {4, Scroll::PageUp, 1},   {2, Scroll::Top, 0},      {0, Scroll::Bottom, 4},
        {4, Scroll::LineDown, 4},
    };
    for (const auto& [from, action, top] : cases) {
        view.ScrollTo(from);
        view.ScrollBy(action);
        EXPECT_EQ(view.TopRow(), top) << from << " " << static_cast<int>(action);
    }
    // Wheel turns: half notches add up, a page a notch, and scrolling turned off.
    const std::tuple<int, unsigned, std::size_t> turns[] = {
        {-60, 1, 0}, {-60, 1, 1}, {-120, TextViewModel::kWheelPage, 4}, {240, 3, 0}, {-120, 0, 0}};
    view.ScrollTo(0);
    for (const auto& [delta, lines, top] : turns) {
        view.Wheel(delta, lines);
        EXPECT_EQ(view.TopRow(), top) << delta << " by " << lines;
    }
}

TEST_F(ViewTest, RowsInSightArePaintedWithTheirSelectedColumnsAndTheCaretFollows) {
    // The row's text, its selected columns, and whether the selection runs on past its end.
    using Painted = std::tuple<std::string, int, int, bool>;
    const std::tuple<Range, std::size_t, Painted> cases[] = {
        {{3, 13}, 0, {"alpha beta", 3, 10, true}},     // runs on over the line break
        {{13, 3}, 1, {"go", 0, 1, false}},             // either way round
        {{32, 33}, 0, {"alpha beta", 10, 10, false}},  // a row before the selection
        {{32, 33}, 4, {"x       y", 1, 8, false}},     // the tab, drawn as blanks
        {{30, 38}, 5, {"", 0, 0, true}},               // an empty line inside the selection
    };
    for (const auto& [selection, row, painted] : cases) {
        view.Select(selection.first, selection.second);
        const auto [text, from, to, runsOn] = view.RowToPaint(row);
        EXPECT_EQ(Painted(text, from, to, runsOn), painted) << row;
    }
    EXPECT_EQ(view.LinesBetween(10, 45), Range(0, 3));
    EXPECT_EQ(view.LinesBetween(20, 40), Range(1, 2));
    view.ScrollTo(0);
    view.Select(13, 13);
    EXPECT_EQ(std::pair(view.CaretPoint().x, view.CaretPoint().y), std::pair(12, 20));
    view.ScrollTo(3);
    EXPECT_EQ(view.CaretPoint().y, -20) << "scrolled away up: just above the view";
}

TEST_F(ViewTest, EachCallSaysWhatTheWindowMustShowAgain) {
    constexpr TextViewModel::Change kBar = TextViewModel::kScrollBarChanged;
    constexpr TextViewModel::Change kRows = TextViewModel::kRowsChanged;
    constexpr TextViewModel::Change kMoved = TextViewModel::kSelectionMoved;
    // One session from the caret at the start, nothing selected, the first row at the top. The
    // caret alone is the system's to draw; a selection shown before or after is painted.
    EXPECT_EQ(view.Wheel(-60, 1), 0u) << "half a notch";
    EXPECT_EQ(view.Wheel(-60, 1), kBar | kRows);
    EXPECT_EQ(view.ScrollBy(Scroll::Top), kBar | kRows);
    EXPECT_EQ(view.Press(Key::Right, false, false), kMoved);
    EXPECT_EQ(view.Press(Key::Right, true, false), kMoved | kRows);
    EXPECT_EQ(view.CollapseSelection(), kMoved | kRows);
    EXPECT_EQ(view.MouseDown(Cell(2, 1), false), kMoved);
    EXPECT_EQ(view.MouseMove(Cell(0, 0)), kMoved | kRows);
    view.MouseUp();
    EXPECT_EQ(view.DoubleClick(Cell(7, 0)), kMoved | kRows);
    EXPECT_EQ(view.SelectAll(), kMoved | kRows);
    EXPECT_EQ(view.Select(0, 41), kBar | kRows) << "nothing moves; the caret comes into sight";
    EXPECT_EQ(view.Press(Key::Home, false, true), kMoved | kRows | kBar);
    EXPECT_EQ(view.Resize(104, 100), kBar) << "five rows in sight";
    EXPECT_EQ(view.Resize(64, 60), kBar | kRows) << "six columns";
    EXPECT_EQ(view.SetText("x"), TextViewModel::kTextReplaced | kRows | kBar);
}

}  // namespace
}  // namespace ombrix::results
