// The report view's rules: keys, mouse, scrolling, wrapping at the view's width, what is painted
// selected, and Ctrl+C.
#include "results/text_view_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace ombrix::results {
namespace {

using Key = TextViewModel::Key;
using Scroll = TextViewModel::Scroll;
using Point = TextViewModel::Point;

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
    // Column and row of the client area, as pixels inside that cell.
    static Point Cell(int column, int line) { return {2 + column * 10 + 1, line * 20 + 5}; }

    TextViewModel view;
};

TEST_F(ViewTest, WrapsAtTheWidthAndKeepsTheFirstRowInSightWhenTheWidthChanges) {
    EXPECT_EQ(view.Columns(), 10);
    EXPECT_EQ(view.VisibleRows(), 3u);
    EXPECT_EQ(view.RowCount(), 7u);
    view.ScrollTo(3);
    ASSERT_EQ(view.RowToPaint(view.TopRow()).text, "delta");
    view.Resize(64, 60);  // six columns: "charli", "e ", "delta"; "x", "\t", "y"
    EXPECT_EQ(view.RowCount(), 11u);
    EXPECT_EQ(view.RowToPaint(view.TopRow()).text, "delta");
    view.SetCharSize(20, 20);  // three columns
    EXPECT_EQ(view.RowToPaint(view.TopRow()).text, "del");

    // A text set before the view has a size is not wrapped at all, never at one column.
    TextViewModel fresh;
    fresh.SetText(kText);
    EXPECT_EQ(fresh.RowCount(), 6u);
    fresh.SetCharSize(10, 20);
    fresh.Resize(104, 60);
    EXPECT_EQ(fresh.RowCount(), 7u);
}

TEST_F(ViewTest, KeysMoveTheCaretAsATextBoxDoesAndKeepItInSight) {
    struct Case {
        std::size_t from;
        Key key;
        bool shift;
        bool control;
        std::size_t caret;
        std::size_t anchor;
        std::size_t top;
    };
    const Case cases[] = {
        {10, Key::Right, false, false, 12, 12, 0},  // over CR LF in one step
        {12, Key::Left, false, false, 10, 10, 0},
        {0, Key::Left, false, false, 0, 0, 0},
        {41, Key::Right, false, false, 41, 41, 4},
        {0, Key::Down, true, false, 12, 0, 0},    // Shift keeps the anchor
        {7, Key::Down, false, false, 14, 14, 0},  // a shorter row: its end
        {0, Key::Up, false, false, 0, 0, 0},
        {39, Key::Down, false, false, 39, 39, 4},  // the last row
        {27, Key::Down, false, false, 32, 32, 2},  // column 3 is inside the tab: before it
        {3, Key::End, false, false, 10, 10, 0},
        {27, Key::Home, false, false, 24, 24, 1},
        {0, Key::End, true, true, 41, 0, 4},  // Ctrl+Shift+End
        {41, Key::Home, false, true, 0, 0, 0},
        {0, Key::PageDown, false, false, 24, 24, 1},  // three rows on, in sight at the bottom
        {41, Key::PageUp, false, false, 27, 27, 3},
    };
    for (const Case& c : cases) {
        view.ScrollTo(0);
        view.Select(c.from, c.from);
        view.Press(c.key, c.shift, c.control);
        EXPECT_EQ(view.Caret(), c.caret) << "from " << c.from << " key " << static_cast<int>(c.key);
        EXPECT_EQ(view.Anchor(), c.anchor) << "from " << c.from;
        EXPECT_EQ(view.TopRow(), c.top) << "from " << c.from;
    }
}

TEST_F(ViewTest, UpAndDownKeepTheColumnTheyStartedFrom) {
    view.Select(7, 7);  // "alpha b|eta"
    view.Press(Key::Down, false, false);
    EXPECT_EQ(view.Caret(), 14u);  // "go|"
    view.Press(Key::Down, false, false);
    EXPECT_EQ(view.Caret(), 23u);  // "charlie| "
    view.Press(Key::Left, false, false);
    view.Press(Key::Up, false, false);
    EXPECT_EQ(view.Caret(), 14u);
    view.Press(Key::Up, false, false);
    EXPECT_EQ(view.Caret(), 6u);  // from column 6 now
}

TEST_F(ViewTest, PointsFallOnTheNearerSideOfACharacter) {
    const std::pair<Point, std::size_t> cases[] = {
        {{0, 0}, 0},
        {{2 + 34, 5}, 3},  // left half of column 3
        {{2 + 36, 5}, 4},  // right half: after it
        {{500, 5}, 10},    // past the row's end
        {Cell(0, 1), 12},
        {{5, -10}, 0},    // above the view: the first row in sight, or the one before
        {{5, 1000}, 38},  // below the text: its last row
        {{-50, 45}, 16},
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
    EXPECT_EQ(view.Selection(), std::make_pair(std::size_t{1}, std::size_t{14}));
    view.MouseMove(Cell(0, 3));  // below the view: it scrolls
    EXPECT_EQ(view.Caret(), 24u);
    EXPECT_EQ(view.TopRow(), 1u);
    view.MouseUp();
    view.MouseMove(Cell(0, 0));
    EXPECT_EQ(view.Caret(), 24u) << "a move after the release changes nothing";
    view.MouseDown(Cell(3, 0), true);  // Shift: from the anchor, to "go" at the top
    EXPECT_EQ(view.Selection(), std::make_pair(std::size_t{1}, std::size_t{14}));
    view.MouseUp();

    const std::pair<Point, std::pair<std::size_t, std::size_t>> words[] = {
        {Cell(7, 0), {6, 10}},  // "beta"
        {Cell(5, 0), {5, 5}},   // a blank: nothing
        {Cell(0, 2), {16, 23}},
    };
    for (const auto& [point, word] : words) {
        view.ScrollTo(0);
        view.DoubleClick(point);
        EXPECT_EQ(view.Selection(), word) << point.x << "," << point.y;
        EXPECT_EQ(view.Caret(), word.second);
    }
}

TEST_F(ViewTest, SelectTakesAnEditControlsArgumentsAndSelectAllKeepsTheView) {
    view.Select(50, 2);  // past the end means the end; the caret may come first
    EXPECT_EQ(view.Selection(), std::make_pair(std::size_t{2}, std::size_t{41}));
    EXPECT_EQ(view.Caret(), 2u);
    view.Select(3, 13);
    view.CollapseSelection();
    EXPECT_EQ(view.Selection(), std::make_pair(std::size_t{13}, std::size_t{13}));
    view.Select(0, 41);
    EXPECT_EQ(view.TopRow(), 4u) << "the caret is brought into sight";
    view.ScrollTo(1);
    view.SelectAll();
    EXPECT_EQ(view.Selection(), std::make_pair(std::size_t{0}, kText.size()));
    EXPECT_EQ(view.TopRow(), 1u);
    EXPECT_EQ(view.SelectedText(), kText);
}

TEST_F(ViewTest, ScrollingStaysBetweenTheFirstAndTheLastPage) {
    struct Case {
        std::size_t from;
        Scroll action;
        std::size_t top;
    };
    const Case cases[] = {
        {0, Scroll::LineUp, 0},   {0, Scroll::LineDown, 1}, {1, Scroll::PageDown, 4},
        {4, Scroll::PageUp, 1},   {2, Scroll::Top, 0},      {0, Scroll::Bottom, 4},
        {4, Scroll::LineDown, 4},
    };
    for (const Case& c : cases) {
        view.ScrollTo(c.from);
        view.ScrollBy(c.action);
        EXPECT_EQ(view.TopRow(), c.top) << c.from << " " << static_cast<int>(c.action);
    }
    view.ScrollTo(100);
    EXPECT_EQ(view.TopRow(), view.LastTopRow());
    EXPECT_EQ(view.LastTopRow(), 4u);

    view.ScrollTo(0);
    view.Wheel(-60, 1);
    EXPECT_EQ(view.TopRow(), 0u) << "half a notch";
    view.Wheel(-60, 1);
    EXPECT_EQ(view.TopRow(), 1u) << "two halves";
    view.Wheel(-120, TextViewModel::kWheelPage);
    EXPECT_EQ(view.TopRow(), 4u);
    view.Wheel(240, 3);
    EXPECT_EQ(view.TopRow(), 0u);
    view.Wheel(-120, 0);
    EXPECT_EQ(view.TopRow(), 0u) << "the user turned wheel scrolling off";
}

TEST_F(ViewTest, RowsShowTheirSelectedColumns) {
    struct Case {
        std::size_t anchor;
        std::size_t caret;
        std::size_t row;
        TextViewModel::PaintedRow painted;
    };
    const Case cases[] = {
        {3, 13, 0, {"alpha beta", 3, 10, true}},  // runs on over the line break
        {13, 3, 1, {"go", 0, 1, false}},          // either way round
        {3, 13, 2, {"charlie ", 0, 0, false}},
        {32, 33, 4, {"x       y", 1, 8, false}},  // the tab, drawn as blanks
        {0, 0, 0, {"alpha beta", 0, 0, false}},
        {30, 38, 5, {"", 0, 0, true}},  // an empty line inside the selection
    };
    for (const Case& c : cases) {
        view.Select(c.anchor, c.caret);
        const TextViewModel::PaintedRow painted = view.RowToPaint(c.row);
        EXPECT_EQ(painted.text, c.painted.text);
        EXPECT_EQ(painted.selectedFrom, c.painted.selectedFrom) << c.row;
        EXPECT_EQ(painted.selectedTo, c.painted.selectedTo) << c.row;
        EXPECT_EQ(painted.selectionRunsOn, c.painted.selectionRunsOn) << c.row;
    }
}

TEST_F(ViewTest, PaintingCoversTheLinesOfTheAreaAndTheCaretFollowsTheScrolling) {
    using Lines = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(view.LinesBetween(0, 60), Lines(0, 3));
    EXPECT_EQ(view.LinesBetween(10, 45), Lines(0, 3));
    EXPECT_EQ(view.LinesBetween(20, 40), Lines(1, 2));
    EXPECT_EQ(view.LinesBetween(0, 0), Lines(0, 0));

    view.Select(13, 13);
    EXPECT_EQ(view.CaretPoint().x, 12);
    EXPECT_EQ(view.CaretPoint().y, 20);
    view.ScrollTo(3);
    EXPECT_EQ(view.CaretPoint().y, -20) << "scrolled away up: just above the view";
}

class FakeClipboard final : public platform::Clipboard {
  public:
    base::Result<> PutText(const std::string& text) override {
        if (!reason.empty()) {
            return base::Failure{reason};
        }
        put.push_back(text);
        return {};
    }
    std::string reason;
    std::vector<std::string> put;
};

TEST_F(ViewTest, CtrlCPutsTheSelectionOnTheClipboardOrSaysWhyNot) {
    FakeClipboard clipboard;
    test::RecordingMessages messages;
    CopySelection(view, clipboard, messages);
    EXPECT_TRUE(clipboard.put.empty()) << "nothing selected, nothing copied";
    view.Select(16, 3);
    CopySelection(view, clipboard, messages);
    EXPECT_EQ(clipboard.put, std::vector<std::string>{"ha beta\r\ngo\r\n"});
    EXPECT_TRUE(messages.shown.empty());

    clipboard.reason = "Access is denied.";
    CopySelection(view, clipboard, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Ombrix could not put the selection on the clipboard.\r\n\r\nAccess is denied.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
}

}  // namespace
}  // namespace ombrix::results
