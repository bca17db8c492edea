#include "results/win32/text_accessible.h"

#include <climits>
#include <string>
#include <string_view>

namespace ombrix::results::win32 {
namespace {

using platform::win32::AccessibilityCalls;

// A BSTR of ANSI text, handed to the caller, who frees it.
HRESULT AnsiString(const AccessibilityCalls& calls, std::string_view text, BSTR* out) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return E_OUTOFMEMORY;
    }
    const int length = static_cast<int>(text.size());
    const int wide =
        length == 0 ? 0 : ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (length != 0 && wide == 0) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    BSTR made = calls.sysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (wide > 0) {
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, made, wide);
    }
    *out = made;
    return S_OK;
}

void SetLong(const AccessibilityCalls& calls, VARIANT* out, LONG value) {
    calls.variantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
}

}  // namespace

HRESULT TextAccessible::QueryInterface(REFIID id, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    // mingw's oleacc library carries a wrong IID_IAccessible; the header's __uuidof is right.
    if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TextAccessible::AddRef() noexcept {
    const ULONG count = ++count_;
    if (count == 1) {
        // The view holds it too, so weak_from_this always finds it here.
        heldByClients_ = weak_from_this().lock();
    }
    return count;
}

ULONG TextAccessible::Release() noexcept {
    const ULONG count = --count_;
    if (count == 0) {
        // May be the last owner: the object goes at the end of this block, and nothing of it is
        // touched after.
        const std::shared_ptr<TextAccessible> last = std::move(heldByClients_);
    }
    return count;
}

HRESULT TextAccessible::GetTypeInfoCount(UINT* count) noexcept {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT TextAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT TextAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
    return E_NOTIMPL;
}

HRESULT TextAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) noexcept {
    return E_NOTIMPL;
}

HRESULT TextAccessible::Check(const VARIANT& child) const {
    if (model_ == nullptr || !::IsWindow(window_)) {
        return RPC_E_DISCONNECTED;
    }
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
}

RECT TextAccessible::ScreenRect() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

HRESULT TextAccessible::get_accParent(IDispatch** parent) noexcept {
    if (parent == nullptr) {
        return E_POINTER;
    }
    *parent = nullptr;
    if (model_ == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    // The system's object for the view's window, frame and scroll bar included.
    return calls_.accessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW),
                                             __uuidof(IDispatch), reinterpret_cast<void**>(parent));
}

HRESULT TextAccessible::get_accChildCount(LONG* count) noexcept {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return model_ == nullptr ? RPC_E_DISCONNECTED : S_OK;
}

HRESULT TextAccessible::get_accChild(VARIANT, IDispatch** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return model_ == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
}

HRESULT TextAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    // The caption of the window the view stands in.
    HWND top = ::GetAncestor(window_, GA_ROOT);
    const int length = ::GetWindowTextLengthW(top);
    BSTR made = calls_.sysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    const int copied = ::GetWindowTextW(top, made, length + 1);
    made[copied > 0 ? copied : 0] = L'\0';
    *name = made;
    return S_OK;
}

HRESULT TextAccessible::get_accValue(VARIANT child, BSTR* value) noexcept {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    return AnsiString(calls_, model_->Text(), value);
}

HRESULT TextAccessible::get_accDescription(VARIANT child, BSTR* text) noexcept {
    // Nothing to say beyond the name and the value.
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = nullptr;
    const HRESULT checked = Check(child);
    return checked != S_OK ? checked : S_FALSE;
}

HRESULT TextAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
    if (role == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(role);
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    SetLong(calls_, role, ROLE_SYSTEM_TEXT);
    return S_OK;
}

HRESULT TextAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
    if (state == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(state);
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    LONG bits = STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == window_) {
        bits |= STATE_SYSTEM_FOCUSED;
    }
    if (!::IsWindowVisible(window_)) {
        bits |= STATE_SYSTEM_INVISIBLE;
    }
    if (!::IsWindowEnabled(window_)) {
        bits |= STATE_SYSTEM_UNAVAILABLE;
    }
    SetLong(calls_, state, bits);
    return S_OK;
}

HRESULT TextAccessible::get_accHelp(VARIANT child, BSTR* text) noexcept {
    return get_accDescription(child, text);
}

HRESULT TextAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) noexcept {
    if (file == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *file = nullptr;
    *topic = 0;
    const HRESULT checked = Check(child);
    return checked != S_OK ? checked : S_FALSE;
}

HRESULT TextAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* keys) noexcept {
    return get_accDescription(child, keys);
}

HRESULT TextAccessible::get_accFocus(VARIANT* child) noexcept {
    if (child == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(child);
    if (model_ == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    if (::GetFocus() != window_) {
        return S_FALSE;
    }
    SetLong(calls_, child, CHILDID_SELF);
    return S_OK;
}

HRESULT TextAccessible::get_accSelection(VARIANT* children) noexcept {
    // Selected text is not a selected child: the system caret and the selection events tell it.
    if (children == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(children);
    return model_ == nullptr ? RPC_E_DISCONNECTED : S_FALSE;
}

HRESULT TextAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
    return get_accDescription(child, action);
}

HRESULT TextAccessible::accSelect(LONG flags, VARIANT child) noexcept {
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    if (flags != SELFLAG_TAKEFOCUS) {
        return E_INVALIDARG;
    }
    ::SetFocus(window_);
    return S_OK;
}

HRESULT TextAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                    VARIANT child) noexcept {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    if (const HRESULT checked = Check(child); checked != S_OK) {
        return checked;
    }
    const RECT area = ScreenRect();
    *left = area.left;
    *top = area.top;
    *width = area.right - area.left;
    *height = area.bottom - area.top;
    return S_OK;
}

HRESULT TextAccessible::accNavigate(LONG, VARIANT start, VARIANT* end) noexcept {
    if (end == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(end);
    const HRESULT checked = Check(start);
    return checked != S_OK ? checked : S_FALSE;
}

HRESULT TextAccessible::accHitTest(LONG x, LONG y, VARIANT* child) noexcept {
    if (child == nullptr) {
        return E_POINTER;
    }
    calls_.variantInit(child);
    if (model_ == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    const RECT area = ScreenRect();
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) {
        return S_FALSE;
    }
    SetLong(calls_, child, CHILDID_SELF);
    return S_OK;
}

HRESULT TextAccessible::accDoDefaultAction(VARIANT child) noexcept {
    const HRESULT checked = Check(child);
    return checked != S_OK ? checked : DISP_E_MEMBERNOTFOUND;
}

HRESULT TextAccessible::put_accName(VARIANT, BSTR) noexcept {
    return E_NOTIMPL;
}

HRESULT TextAccessible::put_accValue(VARIANT, BSTR) noexcept {
    return E_NOTIMPL;  // read-only
}

}  // namespace ombrix::results::win32
