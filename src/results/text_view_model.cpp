#include "results/text_view_model.h"

#include <algorithm>

namespace ombrix::results {

TextViewModel::Sight TextViewModel::Look() const {
    return Sight{TopRow(), RowCount(), VisibleRows(), Columns(), anchor_, caret_};
}

TextViewModel::Change TextViewModel::ChangeSince(const Sight& before) const {
    const Sight now = Look();
    Change change = 0;
    if (now.top != before.top || now.rows != before.rows || now.visible != before.visible) {
        change |= kScrollBarChanged;
    }
    const bool moved = now.anchor != before.anchor || now.caret != before.caret;
    // A moving caret is drawn by the system; only a selection shown before or after is painted.
    const bool selectionShown = before.anchor != before.caret || now.anchor != now.caret;
    if (now.top != before.top || now.rows != before.rows || now.columns != before.columns ||
        (moved && selectionShown)) {
        change |= kRowsChanged;
    }
    if (moved) {
        change |= kSelectionMoved;
    }
    return change;
}

template <typename Step>
TextViewModel::Change TextViewModel::Changing(Step step) {
    const Sight before = Look();
    step();
    return ChangeSince(before);
}

TextViewModel::Change TextViewModel::SetText(std::string text) {
    // Laid out before anything changes, so that a text too big for memory leaves the old one.
    TextLayout fresh(std::move(text), width_ > 0 ? Columns() : 0);
    return kTextReplaced | kRowsChanged | Changing([&] {
               layout_ = std::move(fresh);
               wrappedAt_ = width_ > 0 ? Columns() : 0;
               topRow_ = caret_ = anchor_ = 0;
               preferredColumn_ = -1;
               wheelRemainder_ = 0;
               dragging_ = false;
           });
}

TextViewModel::Change TextViewModel::SetCharSize(int charWidth, int lineHeight) {
    return Changing([&] {
        charWidth_ = std::max(1, charWidth);
        lineHeight_ = std::max(1, lineHeight);
        Rewrap();
    });
}

TextViewModel::Change TextViewModel::Resize(int width, int height) {
    return Changing([&] {
        width_ = std::max(0, width);
        height_ = std::max(0, height);
        Rewrap();
    });
}

int TextViewModel::Columns() const {
    return std::max(1, (width_ - 2 * kMargin) / charWidth_);
}

std::size_t TextViewModel::VisibleRows() const {
    return static_cast<std::size_t>(std::max(1, height_ / lineHeight_));
}

void TextViewModel::Rewrap() {
    // Until the view has a size, rows are not wrapped at all: never at one column.
    const int columns = width_ > 0 ? Columns() : 0;
    if (columns != wrappedAt_) {
        const std::size_t firstOffset = layout_.RowAt(std::min(topRow_, RowCount() - 1)).begin;
        layout_.Wrap(columns);
        wrappedAt_ = columns;
        topRow_ = layout_.RowOf(firstOffset);
    }
    HoldTopRow(topRow_);
}

std::size_t TextViewModel::LastTopRow() const {
    const std::size_t visible = VisibleRows();
    return RowCount() > visible ? RowCount() - visible : 0;
}

void TextViewModel::HoldTopRow(std::size_t topRow) {
    topRow_ = std::min(topRow, LastTopRow());
}

TextViewModel::Change TextViewModel::ScrollTo(std::size_t topRow) {
    return Changing([&] { HoldTopRow(topRow); });
}

TextViewModel::Change TextViewModel::ScrollBy(Scroll action) {
    const std::size_t visible = VisibleRows();
    switch (action) {
        case Scroll::LineUp:
            return ScrollTo(topRow_ > 0 ? topRow_ - 1 : 0);
        case Scroll::LineDown:
            return ScrollTo(topRow_ + 1);
        case Scroll::PageUp:
            return ScrollTo(topRow_ > visible ? topRow_ - visible : 0);
        case Scroll::PageDown:
            return ScrollTo(topRow_ + visible);
        case Scroll::Top:
            return ScrollTo(0);
        case Scroll::Bottom:
            return ScrollTo(RowCount());
    }
    return 0;
}

TextViewModel::Change TextViewModel::Wheel(int delta, unsigned linesPerNotch) {
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / kWheelDelta;
    wheelRemainder_ %= kWheelDelta;
    const long long lines =
        linesPerNotch == kWheelPage ? static_cast<long long>(VisibleRows()) : linesPerNotch;
    const long long target = static_cast<long long>(topRow_) - notches * lines;
    return ScrollTo(static_cast<std::size_t>(std::max(0LL, target)));
}

std::pair<std::size_t, std::size_t> TextViewModel::Selection() const {
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

std::string TextViewModel::SelectedText() const {
    const auto [begin, end] = Selection();
    return Text().substr(begin, end - begin);
}

void TextViewModel::ShowCaretRow() {
    const std::size_t row = layout_.RowOf(caret_);
    const std::size_t visible = VisibleRows();
    if (row < topRow_) {
        HoldTopRow(row);
    } else if (row >= topRow_ + visible) {
        HoldTopRow(row - visible + 1);
    }
}

void TextViewModel::MoveCaret(std::size_t offset, bool extend, bool keepColumn) {
    caret_ = std::min(offset, Text().size());
    if (!extend) {
        anchor_ = caret_;
    }
    if (!keepColumn) {
        preferredColumn_ = -1;
    }
    ShowCaretRow();
}

TextViewModel::Change TextViewModel::Select(std::size_t anchor, std::size_t caret) {
    return Changing([&] {
        anchor_ = std::min(anchor, Text().size());
        MoveCaret(caret, true);
    });
}

TextViewModel::Change TextViewModel::CollapseSelection() {
    return Changing([&] { anchor_ = caret_; });
}

TextViewModel::Change TextViewModel::SelectAll() {
    return Changing([&] {
        // The view stays where the reader is.
        anchor_ = 0;
        caret_ = Text().size();
        preferredColumn_ = -1;
    });
}

TextViewModel::Change TextViewModel::Press(Key key, bool extend, bool toEnds) {
    const std::size_t row = layout_.RowOf(caret_);
    const std::size_t visible = VisibleRows();
    const auto toRow = [&](std::size_t target) {
        if (preferredColumn_ < 0) {
            preferredColumn_ = layout_.ColumnOf(caret_);
        }
        target = std::min(target, RowCount() - 1);
        MoveCaret(layout_.OffsetAt(target, preferredColumn_), extend, true);
    };
    return Changing([&] {
        switch (key) {
            case Key::Left:
                MoveCaret(PreviousOffset(Text(), caret_), extend);
                break;
            case Key::Right:
                MoveCaret(NextOffset(Text(), caret_), extend);
                break;
            case Key::Up:
                toRow(row > 0 ? row - 1 : 0);
                break;
            case Key::Down:
                toRow(row + 1);
                break;
            case Key::PageUp:
                toRow(row > visible ? row - visible : 0);
                break;
            case Key::PageDown:
                toRow(row + visible);
                break;
            case Key::Home:
                MoveCaret(toEnds ? 0 : layout_.RowAt(row).begin, extend);
                break;
            case Key::End:
                MoveCaret(toEnds ? Text().size() : layout_.RowAt(row).end, extend);
                break;
        }
    });
}

std::size_t TextViewModel::HitTest(Point point) const {
    const long long line = point.y < 0 ? -1 : point.y / lineHeight_;
    const long long row = std::clamp<long long>(static_cast<long long>(topRow_) + line, 0,
                                                static_cast<long long>(RowCount()) - 1);
    // To the nearer edge of a column; OffsetAt then to the nearer side of a tab.
    const int column = std::max(0, (point.x - kMargin + charWidth_ / 2) / charWidth_);
    return layout_.OffsetAt(static_cast<std::size_t>(row), column);
}

TextViewModel::Change TextViewModel::MouseDown(Point point, bool extend) {
    dragging_ = true;
    return Changing([&] { MoveCaret(HitTest(point), extend); });
}

TextViewModel::Change TextViewModel::MouseMove(Point point) {
    return dragging_ ? Changing([&] { MoveCaret(HitTest(point), true); }) : 0;
}

TextViewModel::Change TextViewModel::DoubleClick(Point point) {
    const std::pair<std::size_t, std::size_t> word = WordAt(Text(), HitTest(point));
    return Changing([&] {
        anchor_ = word.first;
        MoveCaret(word.second, true);
    });
}

std::pair<std::size_t, std::size_t> TextViewModel::LinesBetween(int top, int bottom) const {
    if (bottom <= top || bottom <= 0) {
        return {0, 0};
    }
    const int first = std::max(0, top) / lineHeight_;
    const int end = (bottom + lineHeight_ - 1) / lineHeight_;
    return {static_cast<std::size_t>(first), static_cast<std::size_t>(end)};
}

TextViewModel::PaintedRow TextViewModel::RowToPaint(std::size_t row) const {
    PaintedRow painted;
    painted.text = layout_.ExpandedRow(row);
    const TextLayout::Row r = layout_.RowAt(row);
    const auto [begin, end] = Selection();
    const int length = static_cast<int>(painted.text.size());
    const auto columnOf = [&](std::size_t offset) {
        return offset <= r.begin ? 0 : offset >= r.end ? length : layout_.ColumnOf(offset);
    };
    painted.selectedFrom = columnOf(begin);
    painted.selectedTo = std::max(painted.selectedFrom, columnOf(end));
    painted.selectionRunsOn = begin <= r.end && end > r.end;
    return painted;
}

TextViewModel::Point TextViewModel::CaretPoint() const {
    const long long line =
        static_cast<long long>(layout_.RowOf(caret_)) - static_cast<long long>(topRow_);
    const long long y = std::clamp<long long>(line * lineHeight_, -lineHeight_, 32000);
    return Point{kMargin + layout_.ColumnOf(caret_) * charWidth_, static_cast<int>(y)};
}

void CopySelection(const TextViewModel& view, platform::Clipboard& clipboard,
                   platform::MessageBoxes& messages) {
    if (view.Selection().first == view.Selection().second) {
        return;
    }
    if (const base::Result<> put = clipboard.PutText(view.SelectedText()); !put) {
        messages.Show(
            base::WithReason("Ombrix could not put the selection on the clipboard.", put.Reason()),
            platform::MessageStyle::OkExclamation);
    }
}

}  // namespace ombrix::results
