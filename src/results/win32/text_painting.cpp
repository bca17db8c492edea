#include "results/win32/text_painting.h"

#include <algorithm>

namespace ombrix::results::win32 {
namespace {

void PaintRow(HDC dc, const TextViewModel& model, std::size_t row, int y, int width) {
    const TextViewModel::PaintedRow painted = model.RowToPaint(row);
    const int charWidth = model.CharWidth();
    const int lineHeight = model.LineHeight();
    const int length = static_cast<int>(painted.text.size());
    const auto segment = [&](int from, int to, bool selected) {
        const bool runsOn = selected && painted.selectionRunsOn;
        if (to <= from && !runsOn) {
            return;
        }
        const int left = TextViewModel::kMargin + from * charWidth;
        RECT area{left, y, TextViewModel::kMargin + to * charWidth, y + lineHeight};
        if (runsOn && to == length) {
            area.right += charWidth / 2;  // the line break shows selected
        }
        ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::ExtTextOutA(dc, left, y, ETO_OPAQUE | ETO_CLIPPED, &area, painted.text.data() + from,
                      static_cast<UINT>(std::max(0, to - from)), nullptr);
    };
    const RECT line{0, y, width, y + lineHeight};
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    if (painted.selectedFrom == painted.selectedTo && !painted.selectionRunsOn) {
        // Nothing of it selected: the text and the line's background in one call.
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::ExtTextOutA(dc, TextViewModel::kMargin, y, ETO_OPAQUE | ETO_CLIPPED, &line,
                      painted.text.data(), static_cast<UINT>(length), nullptr);
        return;
    }
    ::ExtTextOutA(dc, 0, y, ETO_OPAQUE, &line, nullptr, 0, nullptr);
    segment(0, painted.selectedFrom, false);
    segment(painted.selectedFrom, painted.selectedTo, true);
    segment(painted.selectedTo, length, false);
}

}  // namespace

HGDIOBJ FontOrDefault(HFONT font) {
    return font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(ANSI_FIXED_FONT);
}

void PaintLines(HDC dc, const TextViewModel& model, const RECT& area, int width) {
    const int lineHeight = model.LineHeight();
    const auto [first, end] = model.LinesBetween(area.top, area.bottom);
    for (std::size_t line = first; line < end; ++line) {
        const std::size_t row = model.TopRow() + line;
        const int y = static_cast<int>(line) * lineHeight;
        if (row < model.RowCount()) {
            PaintRow(dc, model, row, y, width);
        } else {
            const RECT rest{0, y, width, y + lineHeight};
            ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
            ::ExtTextOutA(dc, 0, y, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        }
    }
}

}  // namespace ombrix::results::win32
