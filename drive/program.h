// A program driven from outside, as a user would: started, its windows found by process and
// class, its buttons pressed through messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/unique_handle.h"

namespace ombrix::drive {

struct StartOptions {
    std::string arguments;    // after the quoted program path, each with its leading blank
    std::string folder;       // the working folder; empty: this process's
    HANDLE output = nullptr;  // its standard output, inherited; null: none given
    bool detached = false;    // no console of its own or of ours, as started from the desktop
};

// A program this process started. It is left running when this goes: End() stops it.
class Program {
  public:
    // Empty when the system refuses to start it (GetLastError says why).
    static std::optional<Program> Start(const std::string& path, const StartOptions& options = {});

    DWORD Id() const { return id_; }
    HANDLE Process() const { return process_.get(); }
    bool Running() const;
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    // Ends it by force when it still runs.
    void End();

    // A visible top-level window of this program of the class; null when there is none.
    HWND Find(const char* className) const;
    // Null when none shows within `timeout`, or once the program has ended.
    HWND WaitForWindow(const char* className, std::chrono::milliseconds timeout) const;

  private:
    Program(platform::win32::UniqueHandle process, DWORD id)
        : process_(std::move(process)), id_(id) {}

    platform::win32::UniqueHandle process_;
    DWORD id_ = 0;
};

// A visible top-level window of the class, of the process `processId` (of any when 0).
HWND FindWindowOf(DWORD processId, const char* className);
// Polls every millisecond for such a window; null after `timeout`, or once `process` (when
// given) has ended.
HWND WaitForWindowOf(DWORD processId, const char* className, std::chrono::milliseconds timeout,
                     HANDLE process = nullptr);
// False when the window is still there after `timeout`.
bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout);
// Posts a click of the button `id` to its window: a modal window may follow.
void PressButton(HWND window, UINT id);

}  // namespace ombrix::drive
