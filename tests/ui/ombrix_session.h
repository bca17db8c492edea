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
// A message to another process's window; throws when it does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::string TextOf(HWND window);
// Relative to the client area of `parent`, or to the screen.
RECT RectOf(HWND window, HWND parent = nullptr);
std::string NameOf(Control control);
// Visible top-level windows of a process with the given class ("#32770" for dialogs).
std::vector<HWND> WindowsOf(DWORD processId, const std::string& className);

// In a scratch folder: app\ holds the program (as `programName`) and uptime.exe; temp\ is the
// program's TMP and TEMP.
class OmbrixFolder {
  public:
    explicit OmbrixFolder(const std::string& programName = "Ombrix.exe");

    std::filesystem::path App() const { return scratch_.path() / "app"; }
    std::filesystem::path Temp() const { return scratch_.path() / "temp"; }
    std::filesystem::path Program() const { return App() / programName_; }
    std::filesystem::path Tool() const { return App() / "uptime.exe"; }
    std::filesystem::path Options() const { return App() / "ombrixopts.cfg"; }

    void WriteOptions(const std::vector<std::string>& lines) const;  // CR LF after each
    std::optional<std::string> ReadOptions() const;
    std::vector<std::string> TempFiles() const;

  private:
    test::ScratchDir scratch_;
    std::string programName_;
};

// Each line followed by CR LF.
std::string FileOf(const std::vector<std::string>& lines);
// The options file the program writes with nothing changed, but for line 3, uptime.exe's path.
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

    // The visible main window; throws when none shows in time.
    HWND Main();
    HWND ControlWindow(Control control);
    std::string Text(Control control) { return TextOf(ControlWindow(control)); }
    int Check(Control control) {
        return static_cast<int>(Send(ControlWindow(control), BM_GETCHECK));
    }
    bool Enabled(Control control) { return ::IsWindowEnabled(ControlWindow(control)) != FALSE; }
    bool Visible(Control control) { return ::IsWindowVisible(ControlWindow(control)) != FALSE; }

    // A click on a check box or option button, handled when it returns.
    void Click(Control control) { Send(ControlWindow(control), BM_CLICK); }
    // A click on a push button, posted: it may open a modal window.
    void Press(Control control);
    // Typing that replaces the box's text, handled when it returns.
    void Type(Control control, const std::string& text);
    void Choose(main::win32::MenuId item);  // posted
    void CloseBox();

    // A visible top-level window of the program of this class (and caption, when given); throws
    // when none shows in time.
    HWND WaitForWindow(const std::string& className, std::chrono::milliseconds timeout = 5s,
                       const std::string& caption = {});
    bool Has(const std::string& className) { return !WindowsOf(processId_, className).empty(); }
    // Reads the message box, runs `whileShown`, presses OK and waits until the box has gone.
    ShownMessage AnswerMessageBox(const std::function<void()>& whileShown = {});

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
