// The rows of a text as a fixed-pitch view shows them: lines split at their breaks and wrapped
// at a column count, with tabs expanded. Finding a row or a column costs no drawing, so a view
// built on it shows any amount of text at once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ombrix::results {

class TextLayout {
  public:
    static constexpr int kTabWidth = 8;

    // Line breaks are CR LF, CR or LF. Wrapped as Wrap says.
    explicit TextLayout(std::string text = {}, int columns = 0);

    // Wraps rows at `columns` (at the last blank that fits, else at the column); 0: no wrap.
    void Wrap(int columns);

    struct Row {
        std::size_t begin = 0;  // offset of the row's first character
        std::size_t end = 0;    // offset just past its last, line break excluded
    };
    std::size_t RowCount() const { return rowStarts_.size(); }
    Row RowAt(std::size_t row) const;
    // The row that shows `offset`; an offset inside a line break belongs to the row it ends.
    std::size_t RowOf(std::size_t offset) const;

    // Display columns: tabs expanded from the row's start.
    int ColumnOf(std::size_t offset) const;
    // The offset nearest to `column` in `row` (a click in the right half of a character lands
    // after it); past the row's end, the end.
    std::size_t OffsetAt(std::size_t row, int column) const;
    // The row's characters as drawn, tabs turned into blanks.
    std::string ExpandedRow(std::size_t row) const;

    const std::string& Text() const { return text_; }

  private:
    void WrapLine(std::size_t lineStart, std::size_t lineEnd, int columns);

    std::string text_;
    // Only where rows start: a row ends where the next starts, less the line break between them.
    std::vector<std::size_t> rowStarts_;
};

// Moving through the text as a text box's keys do. Offsets never stop inside a CR LF pair.
std::size_t NextOffset(std::string_view text, std::size_t offset);
std::size_t PreviousOffset(std::string_view text, std::size_t offset);
// The word (letters, digits and connecting characters, or a run of other non-blanks) at an
// offset, as a double click selects it.
std::pair<std::size_t, std::size_t> WordAt(std::string_view text, std::size_t offset);

}  // namespace ombrix::results
