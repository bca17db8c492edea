// The report view as screen readers and magnifiers see it (Active Accessibility, which the system
// also offers through UI Automation): read-only text named after its window, whose value is the
// whole report. The view serves it from WM_GETOBJECT and keeps it while it lives; clients hold it
// through COM's count, so it outlives the view as long as they do, and answers them
// RPC_E_DISCONNECTED once the view has gone.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include <atomic>
#include <memory>

#include "platform/win32/accessibility_win32.h"
#include "results/text_view_model.h"

namespace ombrix::results::win32 {

// The interface is a private base: clients reach it only through Interface() and QueryInterface,
// and never delete the object through it.
class TextAccessible final : private IAccessible,
                             public std::enable_shared_from_this<TextAccessible> {
  public:
    // `model` is the view's, and must stay until Detach.
    TextAccessible(HWND window, const TextViewModel& model,
                   const platform::win32::AccessibilityCalls& calls)
        : window_(window), model_(&model), calls_(calls) {}
    TextAccessible(const TextAccessible&) = delete;
    TextAccessible& operator=(const TextAccessible&) = delete;
    virtual ~TextAccessible() = default;

    IAccessible* Interface() { return this; }
    // The view is going: from now on every question is answered RPC_E_DISCONNECTED.
    void Detach() { model_ = nullptr; }

    // IUnknown: the count keeps the object while clients hold it (see above).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IDispatch: no type information; clients use the IAccessible calls.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                            DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override;

    // IAccessible: one object, no children.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child,
                                               LONG* topic) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start,
                                          VARIANT* end) noexcept override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) noexcept override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) noexcept override;

  private:
    // S_OK when the object still stands for a view and `child` is the object itself.
    HRESULT Check(const VARIANT& child) const;
    RECT ScreenRect() const;

    HWND window_;
    const TextViewModel* model_;
    const platform::win32::AccessibilityCalls& calls_;
    std::atomic<ULONG> count_{0};
    std::shared_ptr<TextAccessible> heldByClients_;  // while the count is above zero
};

}  // namespace ombrix::results::win32
