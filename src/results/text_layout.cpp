#include "results/text_layout.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "shared/display_text.h"

namespace ombrix::results {
namespace {

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

int Advance(int column, char c) {
    return c == '\t' ? (column / TextLayout::kTabWidth + 1) * TextLayout::kTabWidth : column + 1;
}

bool IsWordCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '_' ||
           u >= 0x80;
}

}  // namespace

TextLayout::TextLayout(std::string text, int columns) : text_(std::move(text)) {
    Wrap(columns);
}

void TextLayout::Wrap(int columns) {
    rowStarts_.clear();
    const std::string_view text = text_;
    std::size_t lineStart = 0;
    while (true) {
        // Only control bytes need a look: a line ends at a break, and a tab changes its width.
        std::size_t lineEnd = lineStart;
        bool hasTab = false;
        while ((lineEnd = shared::FindControlByte(text, lineEnd)) < text.size() &&
               !IsBreak(text[lineEnd])) {
            hasTab = hasTab || text[lineEnd] == '\t';
            ++lineEnd;
        }
        // Most report lines have no tab and fit: one row, no measuring.
        const auto length = static_cast<int>(std::min<std::size_t>(lineEnd - lineStart, INT_MAX));
        if (!hasTab && (columns <= 0 || length <= columns)) {
            rowStarts_.push_back(lineStart);
        } else {
            WrapLine(lineStart, lineEnd, columns);
        }
        if (lineEnd >= text.size()) {
            return;
        }
        const bool pair =
            text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n';
        lineStart = lineEnd + (pair ? 2 : 1);
    }
}

void TextLayout::WrapLine(std::size_t lineStart, std::size_t lineEnd, int columns) {
    const char* data = text_.data();
    std::size_t rowStart = lineStart;
    int column = 0;
    std::size_t lastBlank = std::string_view::npos;
    for (std::size_t i = lineStart; i < lineEnd; ++i) {
        const int next = Advance(column, data[i]);
        if (columns > 0 && next > columns && i > rowStart) {
            // Break after the last blank of the row when there is one, else here.
            const std::size_t breakAt = lastBlank != std::string_view::npos ? lastBlank + 1 : i;
            rowStarts_.push_back(rowStart);
            rowStart = breakAt;
            lastBlank = std::string_view::npos;
            column = 0;
            for (std::size_t j = rowStart; j < i; ++j) {
                column = Advance(column, data[j]);
            }
            --i;  // measure the character again on the new row
            continue;
        }
        if (data[i] == ' ' || data[i] == '\t') {
            lastBlank = i;
        }
        column = next;
    }
    rowStarts_.push_back(rowStart);
}

TextLayout::Row TextLayout::RowAt(std::size_t row) const {
    const std::size_t begin = rowStarts_[row];
    if (row + 1 >= rowStarts_.size()) {
        return Row{begin, text_.size()};
    }
    // A wrapped row runs up to the next; a line's last row stops before its one line break.
    std::size_t end = rowStarts_[row + 1];
    if (end > begin && text_[end - 1] == '\n') {
        --end;
        if (end > begin && text_[end - 1] == '\r') {
            --end;
        }
    } else if (end > begin && text_[end - 1] == '\r') {
        --end;
    }
    return Row{begin, end};
}

std::size_t TextLayout::RowOf(std::size_t offset) const {
    const auto after = std::upper_bound(rowStarts_.begin(), rowStarts_.end(), offset);
    return after == rowStarts_.begin() ? 0
                                       : static_cast<std::size_t>(after - rowStarts_.begin()) - 1;
}

int TextLayout::ColumnOf(std::size_t offset) const {
    const Row row = RowAt(RowOf(offset));
    int column = 0;
    for (std::size_t i = row.begin; i < std::min(offset, row.end); ++i) {
        column = Advance(column, text_[i]);
    }
    return column;
}

std::size_t TextLayout::OffsetAt(std::size_t row, int column) const {
    const Row r = RowAt(row);
    int at = 0;
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const int next = Advance(at, text_[i]);
        if (column < next) {
            return column - at < next - column ? i : i + 1;
        }
        at = next;
    }
    return r.end;
}

std::string TextLayout::ExpandedRow(std::size_t row) const {
    const Row r = RowAt(row);
    std::string drawn;
    drawn.reserve(r.end - r.begin);
    for (std::size_t i = r.begin; i < r.end; ++i) {
        if (text_[i] == '\t') {
            drawn.append(static_cast<std::size_t>(Advance(static_cast<int>(drawn.size()), '\t')) -
                             drawn.size(),
                         ' ');
        } else {
            drawn += text_[i];
        }
    }
    return drawn;
}

std::size_t NextOffset(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) {
        return text.size();
    }
    if (text[offset] == '\r' && offset + 1 < text.size() && text[offset + 1] == '\n') {
        return offset + 2;
    }
    return offset + 1;
}

std::size_t PreviousOffset(std::string_view text, std::size_t offset) {
    if (offset == 0) {
        return 0;
    }
    if (offset >= 2 && text[offset - 1] == '\n' && text[offset - 2] == '\r') {
        return offset - 2;
    }
    return offset - 1;
}

std::pair<std::size_t, std::size_t> WordAt(std::string_view text, std::size_t offset) {
    if (offset >= text.size() || IsBreak(text[offset]) || text[offset] == ' ' ||
        text[offset] == '\t') {
        return {offset, offset};
    }
    const bool word = IsWordCharacter(text[offset]);
    const auto same = [&](char c) {
        return !IsBreak(c) && c != ' ' && c != '\t' && IsWordCharacter(c) == word;
    };
    std::size_t begin = offset;
    while (begin > 0 && same(text[begin - 1])) {
        --begin;
    }
    std::size_t end = offset;
    while (end < text.size() && same(text[end])) {
        ++end;
    }
    return {begin, end};
}

}  // namespace ombrix::results
