#include "results/win32/text_view.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <utility>

#include "platform/win32/accessibility_win32.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"
#include "results/win32/text_accessible.h"
#include "results/win32/text_painting.h"

namespace ombrix::results::win32 {
namespace {

using Key = TextViewModel::Key;
using Scroll = TextViewModel::Scroll;
using platform::win32::SelectedObject;

// The keys that move the caret.
struct CaretKey {
    WPARAM code;
    Key key;
};
constexpr CaretKey kCaretKeys[] = {
    {VK_LEFT, Key::Left},    {VK_RIGHT, Key::Right},   {VK_UP, Key::Up},     {VK_DOWN, Key::Down},
    {VK_PRIOR, Key::PageUp}, {VK_NEXT, Key::PageDown}, {VK_HOME, Key::Home}, {VK_END, Key::End},
};

// The scroll bar's requests that need no position.
struct ScrollRequest {
    WORD code;
    Scroll scroll;
};
constexpr ScrollRequest kScrollRequests[] = {
    {SB_LINEUP, Scroll::LineUp},     {SB_LINEDOWN, Scroll::LineDown}, {SB_PAGEUP, Scroll::PageUp},
    {SB_PAGEDOWN, Scroll::PageDown}, {SB_TOP, Scroll::Top},           {SB_BOTTOM, Scroll::Bottom},
};

// The entry of `table` for `code`, or null.
template <typename Entry, std::size_t size, typename Code>
const Entry* Find(const Entry (&table)[size], Code code) {
    const Entry* found = std::find_if(std::begin(table), std::end(table),
                                      [code](const Entry& entry) { return entry.code == code; });
    return found != std::end(table) ? found : nullptr;
}

bool IsDown(int key) {
    return ::GetKeyState(key) < 0;
}

TextViewModel::Point PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void Notify(DWORD event, HWND window) {
    ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace

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
    Show(model_.SetText(std::move(text)));
}

void TextView::Show(TextViewModel::Change change) {
    if ((change & TextViewModel::kScrollBarChanged) != 0) {
        UpdateScrollBar();
    }
    if ((change & TextViewModel::kRowsChanged) != 0) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
    if ((change & TextViewModel::kSelectionMoved) != 0) {
        Notify(EVENT_OBJECT_TEXTSELECTIONCHANGED, window_);
    }
    PlaceCaret();
    if ((change & TextViewModel::kTextReplaced) != 0) {
        Notify(EVENT_OBJECT_VALUECHANGE, window_);
    }
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
    Show(model_.SetCharSize(static_cast<int>(extent.cx), static_cast<int>(metrics.tmHeight)));
    if (::GetFocus() == window_) {
        MakeCaret();  // as high as the new rows
    }
    if (redraw) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void TextView::Paint() {
    const platform::win32::PaintDc paint(window_);
    if (paint.get() == nullptr) {
        return;
    }
    const SelectedObject font(paint.get(), FontOrDefault(font_));
    RECT client{};
    ::GetClientRect(window_, &client);
    PaintLines(paint.get(), model_, paint.Area(), client.right);
}

bool TextView::OnKey(WPARAM key) {
    const bool control = IsDown(VK_CONTROL);
    if (const CaretKey* caretKey = Find(kCaretKeys, key)) {
        Show(model_.Press(caretKey->key, IsDown(VK_SHIFT), control));
        return true;
    }
    if (control && key == 'A') {
        Show(model_.SelectAll());
        return true;
    }
    if (control && (key == 'C' || key == VK_INSERT)) {
        Copy();
        return true;
    }
    return false;
}

void TextView::OnScroll(WORD action) {
    if (const ScrollRequest* request = Find(kScrollRequests, action)) {
        Show(model_.ScrollBy(request->scroll));
    } else if (action == SB_THUMBTRACK || action == SB_THUMBPOSITION) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(window_, SB_VERT, &info);
        Show(model_.ScrollTo(static_cast<std::size_t>(std::max(0, info.nTrackPos))));
    }
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
    const platform::win32::AccessibilityCalls* calls = platform::win32::FindAccessibilityCalls();
    if (calls == nullptr) {
        return ::DefWindowProcA(window_, WM_GETOBJECT, wParam, lParam);
    }
    if (!accessible_) {
        if (!apartment_) {
            apartment_ = std::make_unique<platform::win32::ComApartment>(*calls);
        }
        accessible_ = std::make_shared<TextAccessible>(window_, model_, *calls);
    }
    return calls->lresultFromObject(__uuidof(IAccessible), wParam, accessible_->Interface());
}

void TextView::CutClientsOff() {
    if (accessible_) {
        // Clients in other processes lose the object now; those here are answered "gone".
        platform::win32::FindAccessibilityCalls()->coDisconnectObject(accessible_->Interface(), 0);
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
            UpdateScrollBar();  // a new view: set whatever changed
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
        case EM_SETSEL:
            // -1 and anything past the end mean the end.
            Show(static_cast<int>(wParam) == -1
                     ? model_.CollapseSelection()
                     : model_.Select(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam)));
            return 0;
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
        case WM_SIZE:
            Show(model_.Resize(LOWORD(lParam), HIWORD(lParam)));
            return 0;
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
        case WM_LBUTTONDOWN:
            ::SetFocus(window_);
            ::SetCapture(window_);
            Show(model_.MouseDown(PointOf(lParam), (wParam & MK_SHIFT) != 0));
            return 0;
        case WM_LBUTTONDBLCLK:
            Show(model_.DoubleClick(PointOf(lParam)));
            return 0;
        case WM_MOUSEMOVE:
            if (model_.Dragging()) {
                Show(model_.MouseMove(PointOf(lParam)));
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
            Show(model_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam),
                              lines == WHEEL_PAGESCROLL ? TextViewModel::kWheelPage : lines));
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
