// What the window tests read off a real window, and the one way they drive a modal window from
// inside its own loop.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/window_handles.h"

namespace ombrix::test {

// Also the text of a window of another process.
inline std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)), ' ');
    ::SendMessageA(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

// The control's rectangle in its parent's client area.
inline RECT RectInParent(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The keyboard focus and the caret in the thread of `window`, as any process can read them.
inline GUITHREADINFO GuiOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// A visible top-level window of the test's own: an owner for a modal window, or, brought to the
// front, another program taking the activation.
inline platform::win32::UniqueWindow PlainWindow() {
    return platform::win32::UniqueWindow(
        ::CreateWindowExA(0, "STATIC", "Ombrix", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640,
                          480, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

using Step = std::function<void(HWND window)>;

// Makes the step that runs now run again at the next tick.
void Again();

// Calls `show`, a modal call of the program that returns once its window is gone. A timer of
// this thread runs one of `steps` a tick (every 10 ms, in whatever loop runs then) on the
// visible window of `className`. About 5 s without a step, the window is closed by force. True
// when every step ran and the steps closed the window themselves.
bool RunSteps(const char* className, std::vector<Step> steps, const std::function<void()>& show);

// A step that waits, tick by tick, for a visible window of `className` and `caption` (or, with
// `then` empty, for none) and runs `then` on it. After 5 s it fails and lets the next step run.
inline Step When(const char* className, const char* caption, std::function<void(HWND)> then) {
    return [=, ticks = 0](HWND) mutable {
        HWND found = ::FindWindowA(className, caption);
        const bool shown = found != nullptr && ::IsWindowVisible(found);
        if (shown != static_cast<bool>(then) && ++ticks < 500) {
            Again();
        } else if (shown != static_cast<bool>(then)) {
            ADD_FAILURE() << className << (then ? " did not come" : " did not go");
        } else if (then) {
            then(found);
        }
    };
}

}  // namespace ombrix::test
