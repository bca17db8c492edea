#include "results/win32/text_view.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "platform/dialogs.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/window_procedure.h"
#include "results/text_layout.h"

namespace ombrix::results::win32 {
namespace {

class TextView {
  public:
    explicit TextView(HWND window) : window_(window), layout_(text_) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void SetText(const char* text);
    void SetFont(HFONT font);
    void Relayout();
    void Paint();
    void PaintRow(HDC dc, std::size_t row, int y, const RECT& client);
    int VisibleRows() const;
    int Columns() const;
    void ScrollTo(std::size_t topRow);
    void UpdateScrollBar();
    void ShowCaret();
    void MoveCaret(std::size_t offset, bool extend, bool keepColumn = false);
    void OnKey(WPARAM key);
    std::size_t HitTest(LPARAM point) const;
    void Copy();
    std::pair<std::size_t, std::size_t> Selection() const {
        return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
    }

    HWND window_;
    std::string text_;
    TextLayout layout_;
    HFONT font_ = nullptr;
    int charWidth_ = 8;
    int lineHeight_ = 16;
    std::size_t topRow_ = 0;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    int preferredColumn_ = -1;  // kept while moving up and down
    bool dragging_ = false;
    int wheelRemainder_ = 0;
};

int TextView::VisibleRows() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return std::max(1, static_cast<int>(client.bottom - client.top) / lineHeight_);
}

int TextView::Columns() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    return std::max(1, static_cast<int>(client.right - client.left - 4) / charWidth_);
}

void TextView::SetText(const char* text) {
    text_ = text != nullptr ? text : "";
    // Laid out once, at the box's width.
    layout_ = TextLayout(text_, Columns());
    caret_ = anchor_ = 0;
    topRow_ = 0;
    ScrollTo(0);
    ::InvalidateRect(window_, nullptr, FALSE);
}

void TextView::SetFont(HFONT font) {
    font_ = font;
    HDC dc = ::GetDC(window_);
    HGDIOBJ previous =
        ::SelectObject(dc, font_ != nullptr ? font_ : ::GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, "M", 1, &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_, dc);
    charWidth_ = std::max(1, static_cast<int>(extent.cx));
    lineHeight_ = std::max(1, static_cast<int>(metrics.tmHeight));
    Relayout();
}

void TextView::Relayout() {
    // Keep the first row in sight where it was in the text.
    const std::size_t firstOffset = topRow_ < layout_.RowCount() ? layout_.RowAt(topRow_).begin : 0;
    layout_.Wrap(Columns());
    topRow_ = layout_.RowOf(firstOffset);
    ScrollTo(topRow_);
    ::InvalidateRect(window_, nullptr, FALSE);
}

void TextView::UpdateScrollBar() {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = static_cast<int>(std::min<std::size_t>(layout_.RowCount(), INT_MAX) - 1);
    info.nPage = static_cast<UINT>(VisibleRows());
    info.nPos = static_cast<int>(topRow_);
    ::SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void TextView::ScrollTo(std::size_t topRow) {
    const std::size_t rows = layout_.RowCount();
    const auto visible = static_cast<std::size_t>(VisibleRows());
    const std::size_t lastTop = rows > visible ? rows - visible : 0;
    topRow = std::min(topRow, lastTop);
    if (topRow != topRow_) {
        topRow_ = topRow;
        ::InvalidateRect(window_, nullptr, FALSE);
    }
    UpdateScrollBar();
    ShowCaret();
}

void TextView::ShowCaret() {
    if (::GetFocus() != window_) {
        return;
    }
    const std::size_t row = layout_.RowOf(caret_);
    const long long y =
        (static_cast<long long>(row) - static_cast<long long>(topRow_)) * lineHeight_;
    ::SetCaretPos(2 + layout_.ColumnOf(caret_) * charWidth_,
                  static_cast<int>(std::clamp<long long>(y, -lineHeight_, 32000)));
}

void TextView::MoveCaret(std::size_t offset, bool extend, bool keepColumn) {
    caret_ = std::min(offset, text_.size());
    if (!extend) {
        anchor_ = caret_;
    }
    if (!keepColumn) {
        preferredColumn_ = -1;
    }
    const std::size_t row = layout_.RowOf(caret_);
    const auto visible = static_cast<std::size_t>(VisibleRows());
    if (row < topRow_) {
        ScrollTo(row);
    } else if (row >= topRow_ + visible) {
        ScrollTo(row - visible + 1);
    }
    ShowCaret();
    ::InvalidateRect(window_, nullptr, FALSE);
}

std::size_t TextView::HitTest(LPARAM point) const {
    const int x = static_cast<short>(LOWORD(point));
    const int y = static_cast<short>(HIWORD(point));
    const long long row = static_cast<long long>(topRow_) + (y < 0 ? -1 : y / lineHeight_);
    const std::size_t clamped = static_cast<std::size_t>(
        std::clamp<long long>(row, 0, static_cast<long long>(layout_.RowCount()) - 1));
    const int column = std::max(0, (x - 2 + charWidth_ / 2) / charWidth_);
    // OffsetAt rounds to the nearer side of a character; the column here already does.
    return layout_.OffsetAt(clamped, column * 1);
}

void TextView::OnKey(WPARAM key) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const std::size_t row = layout_.RowOf(caret_);
    const auto visible = static_cast<std::size_t>(VisibleRows());
    const auto toRow = [&](std::size_t target) {
        if (preferredColumn_ < 0) {
            preferredColumn_ = layout_.ColumnOf(caret_);
        }
        target = std::min(target, layout_.RowCount() - 1);
        MoveCaret(layout_.OffsetAt(target, preferredColumn_), shift, true);
    };
    switch (key) {
        case VK_LEFT:
            MoveCaret(PreviousOffset(text_, caret_), shift);
            break;
        case VK_RIGHT:
            MoveCaret(NextOffset(text_, caret_), shift);
            break;
        case VK_UP:
            toRow(row > 0 ? row - 1 : 0);
            break;
        case VK_DOWN:
            toRow(row + 1);
            break;
        case VK_PRIOR:
            toRow(row > visible ? row - visible : 0);
            break;
        case VK_NEXT:
            toRow(row + visible);
            break;
        case VK_HOME:
            MoveCaret(control ? 0 : layout_.RowAt(row).begin, shift);
            break;
        case VK_END:
            MoveCaret(control ? text_.size() : layout_.RowAt(row).end, shift);
            break;
        case 'A':
            if (control) {
                anchor_ = 0;
                MoveCaret(text_.size(), true);
            }
            break;
        case 'C':
        case VK_INSERT:
            if (control) {
                Copy();
            }
            break;
        default:
            break;
    }
}

void TextView::Copy() {
    const auto [begin, end] = Selection();
    if (begin == end) {
        return;
    }
    platform::win32::Win32Clipboard clipboard(window_);
    const base::Result<> put = clipboard.PutText(text_.substr(begin, end - begin));
    if (!put) {
        const std::string text =
            base::WithReason("Ombrix could not put the selection on the clipboard.", put.Reason());
        ::MessageBoxA(::GetParent(window_), text.c_str(), platform::kApplicationTitle,
                      MB_OK | MB_ICONEXCLAMATION);
    }
}

void TextView::PaintRow(HDC dc, std::size_t row, int y, const RECT& client) {
    const TextLayout::Row r = layout_.RowAt(row);
    const std::string drawn = layout_.ExpandedRow(row);
    const auto [selBegin, selEnd] = Selection();
    const int selStart = selBegin <= r.begin ? 0
                                             : (selBegin >= r.end ? static_cast<int>(drawn.size())
                                                                  : layout_.ColumnOf(selBegin));
    int selStop = selEnd <= r.begin ? 0
                                    : (selEnd >= r.end ? static_cast<int>(drawn.size())
                                                       : layout_.ColumnOf(selEnd));
    // A selection that runs on past the row's break shows a little past its end.
    const bool runsOn = selBegin <= r.end && selEnd > r.end;
    const int length = static_cast<int>(drawn.size());
    const auto segment = [&](int from, int to, bool selected) {
        if (to <= from && !(selected && runsOn)) {
            return;
        }
        RECT area{2 + from * charWidth_, y, 2 + to * charWidth_, y + lineHeight_};
        if (selected && runsOn && to == length) {
            area.right += charWidth_ / 2;
        }
        ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::ExtTextOutA(dc, area.left, y, ETO_OPAQUE | ETO_CLIPPED, &area, drawn.data() + from,
                      static_cast<UINT>(std::max(0, to - from)), nullptr);
    };
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    RECT line{client.left, y, client.right, y + lineHeight_};
    ::ExtTextOutA(dc, 0, y, ETO_OPAQUE, &line, nullptr, 0, nullptr);
    selStop = std::max(selStop, selStart);
    segment(0, selStart, false);
    segment(selStart, selStop, true);
    segment(selStop, length, false);
}

void TextView::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client{};
    ::GetClientRect(window_, &client);
    HGDIOBJ previous =
        ::SelectObject(dc, font_ != nullptr ? font_ : ::GetStockObject(ANSI_FIXED_FONT));
    const int firstVisible = paint.rcPaint.top / lineHeight_;
    const int lastVisible = paint.rcPaint.bottom / lineHeight_;
    for (int i = firstVisible; i <= lastVisible; ++i) {
        const std::size_t row = topRow_ + static_cast<std::size_t>(i);
        const int y = i * lineHeight_;
        if (row < layout_.RowCount()) {
            PaintRow(dc, row, y, client);
        } else {
            RECT rest{client.left, y, client.right, y + lineHeight_};
            ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
            ::ExtTextOutA(dc, 0, y, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        }
    }
    ::SelectObject(dc, previous);
    ::EndPaint(window_, &paint);
}

LRESULT TextView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            SetText(reinterpret_cast<const char*>(lParam));
            return TRUE;
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(text_.size());
        case WM_GETTEXT: {
            if (wParam == 0) {
                return 0;
            }
            const std::size_t count = std::min<std::size_t>(text_.size(), wParam - 1);
            auto* buffer = reinterpret_cast<char*>(lParam);
            text_.copy(buffer, count);
            buffer[count] = '\0';
            return static_cast<LRESULT>(count);
        }
        case WM_SETFONT:
            SetFont(reinterpret_cast<HFONT>(wParam));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case EM_SETSEL: {
            const auto start = static_cast<long long>(static_cast<int>(wParam));
            const auto end = static_cast<long long>(static_cast<int>(lParam));
            anchor_ = start < 0 ? caret_
                                : static_cast<std::size_t>(std::min<long long>(
                                      start, static_cast<long long>(text_.size())));
            MoveCaret(end < 0 ? text_.size() : static_cast<std::size_t>(end), true);
            return 0;
        }
        case EM_GETSEL: {
            const auto [begin, end] = Selection();
            if (wParam != 0) {
                *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(begin);
            }
            if (lParam != 0) {
                *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
            }
            return MAKELRESULT(std::min<std::size_t>(begin, 0xFFFF),
                               std::min<std::size_t>(end, 0xFFFF));
        }
        case WM_COPY:
            Copy();
            return 0;
        case WM_SIZE:
            Relayout();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            ::CreateCaret(window_, nullptr, 1, lineHeight_);
            ShowCaret();
            ::ShowCaret(window_);
            return 0;
        case WM_KILLFOCUS:
            ::DestroyCaret();
            return 0;
        case WM_KEYDOWN:
            OnKey(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            ::SetFocus(window_);
            ::SetCapture(window_);
            dragging_ = true;
            MoveCaret(HitTest(lParam), (wParam & MK_SHIFT) != 0);
            return 0;
        case WM_LBUTTONDBLCLK: {
            const auto [begin, end] = WordAt(text_, HitTest(lParam));
            anchor_ = begin;
            MoveCaret(end, true);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (dragging_) {
                MoveCaret(HitTest(lParam), true);
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) {
                dragging_ = false;
                ::ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            dragging_ = false;
            return 0;
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wParam);
            const int steps = wheelRemainder_ / WHEEL_DELTA;
            wheelRemainder_ %= WHEEL_DELTA;
            const long long target =
                static_cast<long long>(topRow_) -
                static_cast<long long>(steps) *
                    static_cast<long long>(
                        lines == WHEEL_PAGESCROLL ? static_cast<UINT>(VisibleRows()) : lines);
            ScrollTo(static_cast<std::size_t>(std::max<long long>(0, target)));
            return 0;
        }
        case WM_VSCROLL: {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_ALL;
            ::GetScrollInfo(window_, SB_VERT, &info);
            const auto visible = static_cast<std::size_t>(VisibleRows());
            std::size_t target = topRow_;
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    target = topRow_ > 0 ? topRow_ - 1 : 0;
                    break;
                case SB_LINEDOWN:
                    target = topRow_ + 1;
                    break;
                case SB_PAGEUP:
                    target = topRow_ > visible ? topRow_ - visible : 0;
                    break;
                case SB_PAGEDOWN:
                    target = topRow_ + visible;
                    break;
                case SB_TOP:
                    target = 0;
                    break;
                case SB_BOTTOM:
                    target = layout_.RowCount();
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    target = static_cast<std::size_t>(info.nTrackPos);
                    break;
                default:
                    break;
            }
            ScrollTo(target);
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK TextViewProcedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    auto* view = reinterpret_cast<TextView*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        // The box's state lives as long as its window, which hands it back on WM_NCDESTROY.
        try {
            auto owned = std::make_unique<TextView>(window);
            view = owned.get();
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
        } catch (const std::bad_alloc&) {
            return FALSE;  // no box is made
        }
    }
    if (view == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        std::unique_ptr<TextView> owned(view);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    try {
        return view->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& failure) {
        // Out of memory for a huge text, say: tell the user, and keep the program going.
        platform::win32::ReportUnexpectedFailure(window, failure.what());
    } catch (...) {
        platform::win32::ReportUnexpectedFailure(window, "an unknown error");
    }
    return 0;
}

}  // namespace

void RegisterTextViewClass() {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), kTextViewClass, &existing)) {
        return;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = TextViewProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
    windowClass.lpszClassName = kTextViewClass;
    ::RegisterClassExA(&windowClass);
}

}  // namespace ombrix::results::win32
