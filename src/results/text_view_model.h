// The report view's rules, apart from any window: the text and its rows at the view's size, the
// caret and the selection, the keys and the mouse, scrolling, and what is in sight. Sizes and
// positions are pixels of the view's client area; the window only paints what this says and
// forwards its input here.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "results/text_layout.h"

namespace ombrix::results {

class TextViewModel {
  public:
    static constexpr int kMargin = 2;  // pixels left of the text, and as much right of it
    static constexpr int kWheelDelta = 120;
    static constexpr unsigned kWheelPage = ~0u;  // the system's "a page a notch"

    enum class Key { Left, Right, Up, Down, PageUp, PageDown, Home, End };
    enum class Scroll { LineUp, LineDown, PageUp, PageDown, Top, Bottom };

    // What a call changed, for the window to show: a set of the bits below, 0 for nothing.
    using Change = unsigned;
    static constexpr Change kScrollBarChanged = 1;  // the top row, the rows, or those in sight
    static constexpr Change kRowsChanged = 2;       // the rows in sight are to be painted again
    static constexpr Change kSelectionMoved = 4;    // the anchor or the caret
    static constexpr Change kTextReplaced = 8;

    struct Point {
        int x = 0;
        int y = 0;
    };
    // A row as painted: its characters, and which of their columns are selected.
    struct PaintedRow {
        std::string text;
        int selectedFrom = 0;  // columns [selectedFrom, selectedTo) show selected
        int selectedTo = 0;
        bool selectionRunsOn = false;  // the selection goes on past the row's end
    };

    TextViewModel() = default;

    // The whole text, laid out at the current width; caret, selection and scrolling start over.
    Change SetText(std::string text);
    const std::string& Text() const { return layout_.Text(); }

    // The font's cell and the client area's size; the text is wrapped again only when the number
    // of columns changes, with the first row in sight kept in sight.
    Change SetCharSize(int charWidth, int lineHeight);
    Change Resize(int width, int height);
    int CharWidth() const { return charWidth_; }
    int LineHeight() const { return lineHeight_; }
    int Columns() const;
    std::size_t VisibleRows() const;  // whole rows in sight, at least one
    std::size_t RowCount() const { return layout_.RowCount(); }

    // Scrolling.
    std::size_t TopRow() const { return topRow_; }
    std::size_t LastTopRow() const;
    Change ScrollTo(std::size_t topRow);  // held between the first and the last top row
    Change ScrollBy(Scroll action);
    // A wheel turn of `delta` (kWheelDelta a notch, forward is up); remainders add up.
    Change Wheel(int delta, unsigned linesPerNotch);

    // The caret and the selection: the text between the anchor and the caret.
    std::size_t Caret() const { return caret_; }
    std::size_t Anchor() const { return anchor_; }
    std::pair<std::size_t, std::size_t> Selection() const;
    std::string SelectedText() const;
    // As an edit control takes EM_SETSEL: anchor and caret held to the text; the caret in sight.
    Change Select(std::size_t anchor, std::size_t caret);
    // No selection left, the caret where it is.
    Change CollapseSelection();
    Change SelectAll();
    // A key that moves the caret; with `extend` (Shift) the anchor stays; `toEnds` (Ctrl) takes
    // Home and End to the ends of the text.
    Change Press(Key key, bool extend, bool toEnds);

    // The mouse: the offset under a point, and the selection a press, a drag and a double click
    // make. A drag goes on from a press until the release.
    std::size_t HitTest(Point point) const;
    Change MouseDown(Point point, bool extend);
    Change MouseMove(Point point);
    void MouseUp() { dragging_ = false; }
    bool Dragging() const { return dragging_; }
    Change DoubleClick(Point point);

    // Painting: the lines of the client area from pixel `top` to `bottom` (first and one past the
    // last, counted from the top row; a line may lie past the text's end), and a row as painted.
    std::pair<std::size_t, std::size_t> LinesBetween(int top, int bottom) const;
    PaintedRow RowToPaint(std::size_t row) const;
    // The caret's top left corner; above the client area when its row is scrolled away up, below
    // when down.
    Point CaretPoint() const;

  private:
    // What the window shows of the model, to tell what a call changed.
    struct Sight {
        std::size_t top;
        std::size_t rows;
        std::size_t visible;
        int columns;
        std::size_t anchor;
        std::size_t caret;
    };
    Sight Look() const;
    Change ChangeSince(const Sight& before) const;
    // Runs `step`, and says what it changed.
    template <typename Step>
    Change Changing(Step step);

    void HoldTopRow(std::size_t topRow);
    void MoveCaret(std::size_t offset, bool extend, bool keepColumn = false);
    void ShowCaretRow();
    void Rewrap();

    TextLayout layout_;
    int charWidth_ = 8;
    int lineHeight_ = 16;
    int width_ = 0;
    int height_ = 0;
    int wrappedAt_ = 0;  // the column count the rows were last wrapped at
    std::size_t topRow_ = 0;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    int preferredColumn_ = -1;  // kept while the caret moves up and down
    int wheelRemainder_ = 0;
    bool dragging_ = false;
};

// Ctrl+C in the view: the selection goes on the clipboard; a failure is told through `messages`.
void CopySelection(const TextViewModel& view, platform::Clipboard& clipboard,
                   platform::MessageBoxes& messages);

}  // namespace ombrix::results
