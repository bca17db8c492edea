#include "support/window_probe.h"

namespace ombrix::test {
namespace {

thread_local std::vector<Step> tSteps;
thread_local std::size_t tNext = 0;
thread_local int tIdle = 0;
thread_local const char* tClass = nullptr;

}  // namespace

void Again() {
    --tNext;
}

bool RunSteps(const char* className, std::vector<Step> steps, const std::function<void()>& show) {
    tSteps = std::move(steps);
    tNext = 0;
    tIdle = 0;
    tClass = className;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND window = ::FindWindowA(tClass, nullptr);
        if (window != nullptr && ::IsWindowVisible(window) && tNext < tSteps.size()) {
            const std::size_t step = tNext++;  // a step may open a loop that ticks again
            tSteps[step](window);
        } else if (++tIdle == 500) {
            ::EndMenu();
            window != nullptr ? void(::PostMessageA(window, WM_CLOSE, 0, 0)) : ::PostQuitMessage(1);
        }
    });
    show();
    ::KillTimer(nullptr, timer);
    return tNext == tSteps.size() && tIdle < 500;
}

}  // namespace ombrix::test
