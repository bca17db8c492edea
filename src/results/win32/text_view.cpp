#include "results/win32/text_view.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "platform/win32/clipboard_win32.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"
#include "results/win32/text_accessible.h"

namespace ombrix::results::win32 {
namespace {

using Key = TextViewModel::Key;
using platform::win32::SelectedObject;

bool IsDown(int key) {
    return ::GetKeyState(key) < 0;
}

TextViewModel::Point PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

HGDIOBJ FontOrDefault(HFONT font) {
    return font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(ANSI_FIXED_FONT);
}

void Notify(DWORD event, HWND window) {
    ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace

// COM on this thread for as long as the view serves screen readers.
class TextView::Apartment {
  public:
    explicit Apartment(const AccessibilityCalls& calls)
        : calls_(calls), result_(calls.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(result_)) {
            calls_.coUninitialize();
        }
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

  private:
    const AccessibilityCalls& calls_;
    HRESULT result_;
};

struct TextView::Seen {
    std::size_t top;
    std::size_t rows;
    std::size_t visible;
    int columns;
    std::size_t anchor;
    std::size_t caret;
};

TextView::TextView(platform::MessageBoxes& messages) : messages_(messages) {}

TextView::~TextView() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

bool TextView::Create(HWND parent, int id, RECT bounds) {
    platform::win32::RegisterWindowClass(kTextViewClass, platform::win32::WindowProcedure<TextView>,
                                         nullptr, CS_DBLCLKS, IDC_IBEAM);
    return ::CreateWindowExA(WS_EX_CLIENTEDGE, kTextViewClass, "",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, bounds.left,
                             bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleA(nullptr), this) != nullptr;
}

void TextView::SetText(std::string text) {
    const Seen before = Look();
    model_.SetText(std::move(text));
    Show(before);
    ::InvalidateRect(window_, nullptr, FALSE);
    Notify(EVENT_OBJECT_VALUECHANGE, window_);
}

TextView::Seen TextView::Look() const {
    return Seen{model_.TopRow(),  model_.RowCount(), model_.VisibleRows(),
                model_.Columns(), model_.Anchor(),   model_.Caret()};
}

void TextView::Show(const Seen& before) {
    const Seen now = Look();
    if (now.top != before.top || now.rows != before.rows || now.visible != before.visible) {
        UpdateScrollBar();
    }
    const bool moved = now.anchor != before.anchor || now.caret != before.caret;
    const bool selectionShown = before.anchor != before.caret || now.anchor != now.caret;
    if (now.top != before.top || now.rows != before.rows || now.columns != before.columns ||
        (moved && selectionShown)) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
    if (moved) {
        Notify(EVENT_OBJECT_TEXTSELECTIONCHANGED, window_);
    }
    PlaceCaret();
}

void TextView::UpdateScrollBar() {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = static_cast<int>(std::min<std::size_t>(model_.RowCount(), INT_MAX) - 1);
    info.nPage = static_cast<UINT>(std::min<std::size_t>(model_.VisibleRows(), INT_MAX));
    info.nPos = static_cast<int>(std::min<std::size_t>(model_.TopRow(), INT_MAX));
    ::SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void TextView::PlaceCaret() const {
    if (::GetFocus() == window_) {
        const TextViewModel::Point at = model_.CaretPoint();
        ::SetCaretPos(at.x, at.y);
    }
}

void TextView::MakeCaret() {
    // As wide as the user asked the system to draw carets.
    DWORD width = 1;
    ::SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &width, 0);
    ::CreateCaret(window_, nullptr, static_cast<int>(std::max<DWORD>(width, 1)),
                  model_.LineHeight());
    PlaceCaret();
    ::ShowCaret(window_);
}

void TextView::SetFont(HFONT font, bool redraw) {
    font_ = font;
    TEXTMETRICA metrics{};
    SIZE extent{};
    {
        const platform::win32::WindowDc dc(window_);
        const SelectedObject selected(dc.get(), FontOrDefault(font_));
        ::GetTextMetricsA(dc.get(), &metrics);
        ::GetTextExtentPoint32A(dc.get(), "M", 1, &extent);
    }
    const Seen before = Look();
    model_.SetCharSize(static_cast<int>(extent.cx), static_cast<int>(metrics.tmHeight));
    Show(before);
    if (::GetFocus() == window_) {
        MakeCaret();  // as high as the new rows
    }
    if (redraw) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void TextView::PaintRow(HDC dc, std::size_t row, int y, int width) const {
    const TextViewModel::PaintedRow painted = model_.RowToPaint(row);
    const int charWidth = model_.CharWidth();
    const int lineHeight = model_.LineHeight();
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

void TextView::Paint() {
    const platform::win32::PaintDc paint(window_);
    if (paint.get() == nullptr) {
        return;
    }
    const SelectedObject font(paint.get(), FontOrDefault(font_));
    RECT client{};
    ::GetClientRect(window_, &client);
    const int lineHeight = model_.LineHeight();
    const auto [first, end] = model_.LinesBetween(paint.Area().top, paint.Area().bottom);
    for (std::size_t line = first; line < end; ++line) {
        const std::size_t row = model_.TopRow() + line;
        const int y = static_cast<int>(line) * lineHeight;
        if (row < model_.RowCount()) {
            PaintRow(paint.get(), row, y, client.right);
        } else {
            const RECT rest{0, y, client.right, y + lineHeight};
            ::SetBkColor(paint.get(), ::GetSysColor(COLOR_WINDOW));
            ::ExtTextOutA(paint.get(), 0, y, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        }
    }
}

bool TextView::OnKey(WPARAM key) {
    const bool shift = IsDown(VK_SHIFT);
    const bool control = IsDown(VK_CONTROL);
    const Seen before = Look();
    switch (key) {
        case VK_LEFT:
            model_.Press(Key::Left, shift, control);
            break;
        case VK_RIGHT:
            model_.Press(Key::Right, shift, control);
            break;
        case VK_UP:
            model_.Press(Key::Up, shift, control);
            break;
        case VK_DOWN:
            model_.Press(Key::Down, shift, control);
            break;
        case VK_PRIOR:
            model_.Press(Key::PageUp, shift, control);
            break;
        case VK_NEXT:
            model_.Press(Key::PageDown, shift, control);
            break;
        case VK_HOME:
            model_.Press(Key::Home, shift, control);
            break;
        case VK_END:
            model_.Press(Key::End, shift, control);
            break;
        case 'A':
            if (!control) {
                return false;
            }
            model_.SelectAll();
            break;
        case 'C':
        case VK_INSERT:
            if (!control) {
                return false;
            }
            Copy();
            return true;
        default:
            return false;
    }
    Show(before);
    return true;
}

void TextView::OnScroll(WORD action) {
    const Seen before = Look();
    switch (action) {
        case SB_LINEUP:
            model_.ScrollBy(TextViewModel::Scroll::LineUp);
            break;
        case SB_LINEDOWN:
            model_.ScrollBy(TextViewModel::Scroll::LineDown);
            break;
        case SB_PAGEUP:
            model_.ScrollBy(TextViewModel::Scroll::PageUp);
            break;
        case SB_PAGEDOWN:
            model_.ScrollBy(TextViewModel::Scroll::PageDown);
            break;
        case SB_TOP:
            model_.ScrollBy(TextViewModel::Scroll::Top);
            break;
        case SB_BOTTOM:
            model_.ScrollBy(TextViewModel::Scroll::Bottom);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            ::GetScrollInfo(window_, SB_VERT, &info);
            model_.ScrollTo(static_cast<std::size_t>(std::max(0, info.nTrackPos)));
            break;
        }
        default:
            return;
    }
    Show(before);
}

void TextView::Copy() {
    platform::win32::Win32Clipboard clipboard(window_);
    CopySelection(model_, clipboard, messages_);
}

void TextView::OpenPopUp() {
    // As the system does for the right button: the parent decides, at no position (-1, -1).
    ::SendMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_),
                   static_cast<LPARAM>(-1));
}

LRESULT TextView::ServeAccessible(WPARAM wParam, LPARAM lParam) {
    // Other objects (the frame, the scroll bar, the caret) are the system's, and so is this one
    // when the calls it takes are missing.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        return ::DefWindowProcA(window_, WM_GETOBJECT, wParam, lParam);
    }
    const AccessibilityCalls* calls = FindAccessibilityCalls();
    if (calls == nullptr) {
        return ::DefWindowProcA(window_, WM_GETOBJECT, wParam, lParam);
    }
    if (!accessible_) {
        if (!apartment_) {
            apartment_ = std::make_unique<Apartment>(*calls);
        }
        accessible_ = std::make_shared<TextAccessible>(window_, model_, *calls);
    }
    return calls->lresultFromObject(__uuidof(IAccessible), wParam, accessible_->Interface());
}

void TextView::CutClientsOff() {
    if (accessible_) {
        // Clients in other processes lose the object now; those here are answered "gone".
        FindAccessibilityCalls()->coDisconnectObject(accessible_->Interface(), 0);
        accessible_->Detach();
        accessible_.reset();
    }
}

LRESULT TextView::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = window;
            break;
        case WM_CREATE: {
            RECT client{};
            ::GetClientRect(window, &client);
            model_.Resize(client.right, client.bottom);
            UpdateScrollBar();
            return 0;
        }
        case WM_DESTROY:
            CutClientsOff();
            break;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            SetText(text != nullptr ? text : "");
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(model_.Text().size());
        case WM_GETTEXT: {
            if (wParam == 0) {
                return 0;
            }
            const std::size_t count = std::min<std::size_t>(model_.Text().size(), wParam - 1);
            auto* buffer = reinterpret_cast<char*>(lParam);
            model_.Text().copy(buffer, count);
            buffer[count] = '\0';
            return static_cast<LRESULT>(count);
        }
        case WM_SETFONT:
            SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case EM_SETSEL: {
            const Seen before = Look();
            if (static_cast<int>(wParam) == -1) {
                model_.CollapseSelection();
            } else {
                // -1 and anything past the end mean the end.
                model_.Select(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
            }
            Show(before);
            return 0;
        }
        case EM_GETSEL: {
            const auto [begin, end] = model_.Selection();
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
        case WM_SIZE: {
            const Seen before = Look();
            model_.Resize(LOWORD(lParam), HIWORD(lParam));
            Show(before);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every row paints its own background
        case WM_PAINT:
            Paint();
            return 0;
        case WM_GETDLGCODE:
            // Tab and Enter stay the dialog keys: Tab leaves the view.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            MakeCaret();
            Notify(EVENT_OBJECT_FOCUS, window_);
            return 0;
        case WM_KILLFOCUS:
            ::DestroyCaret();
            return 0;
        case WM_KEYDOWN:
            // The menu key opens the pop-up menu on its release, as the system's own code does.
            if (wParam == VK_APPS || OnKey(wParam)) {
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wParam == VK_APPS) {
                OpenPopUp();
                return 0;
            }
            break;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (wParam == VK_F10 && IsDown(VK_SHIFT)) {
                if (message == WM_SYSKEYDOWN) {
                    OpenPopUp();
                }
                return 0;  // no menu bar mode either
            }
            break;
        case WM_LBUTTONDOWN: {
            ::SetFocus(window_);
            ::SetCapture(window_);
            const Seen before = Look();
            model_.MouseDown(PointOf(lParam), (wParam & MK_SHIFT) != 0);
            Show(before);
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            const Seen before = Look();
            model_.DoubleClick(PointOf(lParam));
            Show(before);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (model_.Dragging()) {
                const Seen before = Look();
                model_.MouseMove(PointOf(lParam));
                Show(before);
            }
            return 0;
        case WM_LBUTTONUP:
            if (model_.Dragging()) {
                model_.MouseUp();
                ::ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            model_.MouseUp();
            return 0;
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            const Seen before = Look();
            model_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam),
                         lines == WHEEL_PAGESCROLL ? TextViewModel::kWheelPage : lines);
            Show(before);
            return 0;
        }
        case WM_VSCROLL:
            OnScroll(LOWORD(wParam));
            return 0;
        case WM_GETOBJECT:
            return ServeAccessible(wParam, lParam);
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ombrix::results::win32
