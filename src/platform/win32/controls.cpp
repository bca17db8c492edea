#include "platform/win32/controls.h"

#include <cstddef>

namespace ombrix::platform::win32 {
namespace {

using base::ControlKind;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

DWORD StyleFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::ReadOnlyText:
            return kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY;
        case ControlKind::Text:
            return kChild | WS_TABSTOP | ES_AUTOHSCROLL;
        case ControlKind::Button:
            return kChild | WS_TABSTOP | BS_PUSHBUTTON;
        case ControlKind::DefaultButton:
            return kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
        case ControlKind::Frame:
            return WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
        case ControlKind::CheckBox:
            return kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
        case ControlKind::OptionButton:
            return kChild | WS_TABSTOP | BS_RADIOBUTTON;
        case ControlKind::Label:
            return kChild | SS_LEFT | SS_NOPREFIX;
        // Takes the mouse, so that moving over it is not moving over the window's background.
        case ControlKind::PointerLabel:
            return kChild | SS_LEFT | SS_NOTIFY;
        case ControlKind::Icon:
            return kChild | SS_ICON | SS_CENTERIMAGE | SS_NOTIFY;
        case ControlKind::Line:
            return kChild | SS_ETCHEDHORZ;
        case ControlKind::Custom:
            break;
    }
    return kChild;
}

const char* ClassFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::ReadOnlyText:
        case ControlKind::Text:
            return "EDIT";
        case ControlKind::Button:
        case ControlKind::DefaultButton:
        case ControlKind::Frame:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            return "BUTTON";
        default:
            return "STATIC";
    }
}

bool IsTextBox(ControlKind kind) {
    return kind == ControlKind::Text || kind == ControlKind::ReadOnlyText;
}

}  // namespace

bool Controls::Create(HWND parent) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    handles_.assign(design_.size(), nullptr);
    for (std::size_t i = 0; i < design_.size(); ++i) {
        const base::ControlDesign& design = design_[i];
        if (design.kind == ControlKind::Custom) {
            continue;
        }
        HWND control = ::CreateWindowExA(
            IsTextBox(design.kind) ? WS_EX_CLIENTEDGE : 0, ClassFor(design.kind), design.caption,
            StyleFor(design.kind), 0, 0, 0, 0, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
        if (design.maxLength > 0) {
            ::SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
        }
        handles_[i] = control;
    }
    // Frames lie under what they hold, the outer ones lowest.
    for (std::size_t i = design_.size(); i-- > 0;) {
        if (design_[i].kind == ControlKind::Frame) {
            ::SetWindowPos(handles_[i], HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return true;
}

void Controls::Adopt(int id, HWND control) {
    handles_.resize(design_.size(), nullptr);
    for (std::size_t i = 0; i < design_.size(); ++i) {
        if (design_[i].id == id) {
            handles_[i] = control;
        }
    }
}

HWND Controls::operator[](int id) const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (design_[i].id == id) {
            return handles_[i];
        }
    }
    return nullptr;
}

RECT Controls::PixelRect(int id, const base::LayoutScale& scale,
                         const base::TopShifts& shifts) const {
    const base::ControlDesign* design = base::FindDesign(design_, id);
    if (design == nullptr) {
        return RECT{};
    }
    const base::Box box = base::ClientPixels(design_, *design, scale, shifts);
    RECT r{box.left, box.top, box.left + box.width, box.top + box.height};
    if (design->kind == ControlKind::Line) {
        r.bottom = r.top + 2;  // a grey and a white line
    }
    return r;
}

void Controls::Place(const base::LayoutScale& scale, const base::TopShifts& shifts) const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i] != nullptr) {
            const RECT r = PixelRect(design_[i].id, scale, shifts);
            ::SetWindowPos(handles_[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void Controls::SetFont(HFONT font) const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i] != nullptr && design_[i].kind != ControlKind::Custom) {
            ::SendMessageA(handles_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    }
}

}  // namespace ombrix::platform::win32
