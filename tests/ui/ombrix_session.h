// Drives the real Ombrix.exe from outside, as a user would: a folder of its own (so the options
// file beside the program belongs to one test), a temporary folder of its own, windows found by
// process and class, controls read and set through messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "main/win32/main_window_ids.h"
#include "options/option_view.h"
#include "platform/win32/unique_handle.h"
#include "support/test_support.h"

namespace ombrix::uitest {

using namespace std::chrono_literals;
using options::Control;

// Polls until `done` holds; false when `timeout` passed first.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);

// A message sent to another process's window; throws when the window does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The text of a window of any process, edit controls included (WM_GETTEXT).
std::string TextOf(HWND window);
// The window's rectangle relative to the client area of `parent`, or to the screen.
RECT RectOf(HWND window, HWND parent = nullptr);
int HeightOf(const RECT& rect);

// The control's name, for failure messages.
std::string NameOf(Control control);

// Visible top-level windows of a process with the given class ("#32770" for dialogs).
std::vector<HWND> WindowsOf(DWORD processId, const std::string& className);

// One program folder in a scratch folder: app\ holds the program (under `programName`) and
// uptime.exe; temp\ is what the program gets as TMP and TEMP.
class OmbrixFolder {
  public:
    explicit OmbrixFolder(const std::string& programName = "Ombrix.exe");

    const std::filesystem::path& Root() const { return scratch_.path(); }
    std::filesystem::path App() const { return Root() / "app"; }
    std::filesystem::path Temp() const { return Root() / "temp"; }
    std::filesystem::path Program() const { return App() / programName_; }
    std::filesystem::path Tool() const { return App() / "uptime.exe"; }
    std::filesystem::path Options() const { return App() / "ombrixopts.cfg"; }

    // Writes the options file: each line followed by CR LF.
    void WriteOptions(const std::vector<std::string>& lines) const;
    std::optional<std::string> ReadOptions() const;
    std::vector<std::string> TempFiles() const;

  private:
    test::ScratchDir scratch_;
    std::string programName_;
};

// The 14 lines of an options file as the program writes them at start-up with nothing
// changed, but for line 3, the path of uptime.exe.
std::vector<std::string> DefaultOptionLines(const std::string& uptimePath);

struct ShownMessage {
    std::string title;
    std::string text;
    bool hasIcon = false;
};

// Ombrix.exe started from an OmbrixFolder; ended by force if a test leaves it running.
class RunningOmbrix {
  public:
    explicit RunningOmbrix(const OmbrixFolder& folder);
    ~RunningOmbrix();
    RunningOmbrix(const RunningOmbrix&) = delete;
    RunningOmbrix& operator=(const RunningOmbrix&) = delete;

    DWORD ProcessId() const { return processId_; }

    // The visible main window; throws when none shows within the time.
    HWND Main();
    HWND ControlWindow(Control control);
    std::string Text(Control control) { return TextOf(ControlWindow(control)); }
    int Check(Control control);
    bool Enabled(Control control) { return ::IsWindowEnabled(ControlWindow(control)) != FALSE; }
    bool Visible(Control control) { return ::IsWindowVisible(ControlWindow(control)) != FALSE; }

    // A user's click on a check box or option button; returns when the program has handled it.
    void Click(Control control);
    // A user's click on a push button, posted: it may open a modal window.
    void Press(Control control);
    // Typing that replaces the box's text; returns when the program has handled it.
    void Type(Control control, const std::string& text);
    // A menu item chosen, posted.
    void Choose(main::win32::MenuId item);
    // The frame's close box.
    void CloseBox();

    // Waits for a visible top-level window of the program; throws when none shows in time.
    HWND WaitForWindow(const std::string& className, std::chrono::milliseconds timeout = 5s);
    bool Has(const std::string& className) { return !WindowsOf(processId_, className).empty(); }
    // Waits for a visible dialog of the program with this caption; throws when none shows.
    HWND WaitForDialog(const std::string& caption, std::chrono::milliseconds timeout = 10s);
    // Reads the message box that shows, runs `whileShown`, presses OK and waits until the box
    // has gone.
    ShownMessage AnswerMessageBox(const std::function<void()>& whileShown = {},
                                  std::chrono::milliseconds timeout = 5s);

    // True when the program ended within the time.
    bool WaitForExit(std::chrono::milliseconds timeout = 5s);
    DWORD ExitCode() const;
    // The uptime.exe processes the program has started that are still running.
    std::vector<DWORD> RunningTools() const;

  private:
    platform::win32::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

}  // namespace ombrix::uitest
