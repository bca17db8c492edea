// What serving screen readers takes of the system: the calls of ole32, oleacc and oleaut32,
// loaded at the first screen reader's question rather than at start-up, and COM on the thread
// that serves them.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

namespace ombrix::platform::win32 {

struct AccessibilityCalls {
    decltype(::CoInitializeEx)* coInitializeEx;
    decltype(::CoUninitialize)* coUninitialize;
    decltype(::CoDisconnectObject)* coDisconnectObject;
    decltype(::LresultFromObject)* lresultFromObject;
    decltype(::AccessibleObjectFromWindow)* accessibleObjectFromWindow;
    decltype(::SysAllocStringLen)* sysAllocStringLen;
    decltype(::VariantInit)* variantInit;
};
// Loads them the first time; null when a library or a call is missing, and a window then leaves
// screen readers the system's own object.
const AccessibilityCalls* FindAccessibilityCalls();

// COM on this thread, in a single-threaded apartment, for as long as the object lives; left as
// it was when the thread's COM could not be started.
class ComApartment {
  public:
    explicit ComApartment(const AccessibilityCalls& calls)
        : calls_(calls), result_(calls.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            calls_.coUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    const AccessibilityCalls& calls_;
    HRESULT result_;
};

}  // namespace ombrix::platform::win32
