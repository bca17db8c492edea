#include "platform/win32/accessibility_win32.h"

#include <optional>

#include "platform/win32/system_library.h"

namespace ombrix::platform::win32 {
namespace {

std::optional<AccessibilityCalls> FindCalls(SystemLibrary& ole32, SystemLibrary& oleacc,
                                            SystemLibrary& oleaut32) {
    const auto coInitializeEx = ole32.Find<decltype(::CoInitializeEx)>("CoInitializeEx");
    const auto coUninitialize = ole32.Find<decltype(::CoUninitialize)>("CoUninitialize");
    const auto coDisconnectObject =
        ole32.Find<decltype(::CoDisconnectObject)>("CoDisconnectObject");
    const auto lresultFromObject = oleacc.Find<decltype(::LresultFromObject)>("LresultFromObject");
    const auto accessibleObjectFromWindow =
        oleacc.Find<decltype(::AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    const auto sysAllocStringLen =
        oleaut32.Find<decltype(::SysAllocStringLen)>("SysAllocStringLen");
    const auto variantInit = oleaut32.Find<decltype(::VariantInit)>("VariantInit");
    if (!coInitializeEx || !coUninitialize || !coDisconnectObject || !lresultFromObject ||
        !accessibleObjectFromWindow || !sysAllocStringLen || !variantInit) {
        return std::nullopt;
    }
    return AccessibilityCalls{*coInitializeEx,
                              *coUninitialize,
                              *coDisconnectObject,
                              *lresultFromObject,
                              *accessibleObjectFromWindow,
                              *sysAllocStringLen,
                              *variantInit};
}

}  // namespace

const AccessibilityCalls* FindAccessibilityCalls() {
    static SystemLibrary ole32("ole32.dll");
    static SystemLibrary oleacc("oleacc.dll");
    static SystemLibrary oleaut32("oleaut32.dll");
    static const std::optional<AccessibilityCalls> calls = FindCalls(ole32, oleacc, oleaut32);
    return calls ? &*calls : nullptr;
}

}  // namespace ombrix::platform::win32
