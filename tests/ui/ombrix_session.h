// Drives the real Ombrix.exe from outside, as a user would (drive/program.h).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "drive/program.h"
#include "main/win32/busy_waiter.h"
#include "main/win32/main_window_ids.h"
#include "options/option_view.h"
#include "options/options_file.h"
#include "platform/system_info.h"
#include "results/win32/results_window_ids.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::uitest {

using namespace std::chrono_literals;
using options::Control;
using test::TextOf;
namespace fs = std::filesystem;

// Polls until `done` holds; false when 5 s passed first.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!done() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
    }
    return done();
}

// The options the program starts with today, before it reads a file.
inline options::OptionState DefaultOptions() {
    return options::DefaultOptionState(platform::LocalToday());
}
// The options file as the program writes it for this state and uptime.exe's path.
inline std::string OptionsFileOf(const options::OptionState& state, const std::string& uptimePath) {
    return options::FormatOptionsFile(options::ToStoredOptions(state, uptimePath),
                                      options::kOptionsSignature);
}

// A scratch folder holding Ombrix.exe, uptime.exe and the options file; its temp\ is TMP, the
// temporary folder, of the programs this process starts. A program left running is ended by force.
// Start comes before anything that looks at the program.
class OmbrixSession {
  public:
    OmbrixSession() {
        fs::create_directory(Path("temp"));
        fs::copy_file(test::HelperProgram("Ombrix"), Path("Ombrix.exe"));
        fs::copy_file(test::HelperProgram("uptime"), Path("uptime.exe"));
        ::SetEnvironmentVariableA("TMP", Path("temp").string().c_str());
    }
    ~OmbrixSession() {
        if (program_) {
            program_->End();
        }
    }

    fs::path Path(const char* name) const { return scratch_.path() / name; }
    std::vector<fs::path> TempFiles() const {
        return {fs::directory_iterator(Path("temp")), fs::directory_iterator()};
    }
    void WriteOptions(const options::OptionState& state, const std::string& uptimePath) const {
        test::WriteFile(Path("ombrixopts.cfg").string(), OptionsFileOf(state, uptimePath));
    }

    void Start() {
        drive::StartOptions options;
        options.folder = scratch_.path().string();
        program_ = drive::Program::Start(Path("Ombrix.exe").string(), options);
        if (!program_) {
            throw std::runtime_error("cannot start " + Path("Ombrix.exe").string());
        }
    }
    bool WaitForExit() { return program_->WaitForExit(5s); }

    // A visible top-level window of the program of this class, or null.
    HWND Find(const char* className) const { return program_->Find(className); }
    // Null when none shows within 5 s.
    HWND WaitForWindow(const char* className) const {
        return program_->WaitForWindow(className, 5s);
    }
    HWND Main() const { return WaitForWindow(main::win32::kMainWindowClass); }
    HWND ControlWindow(Control control) {
        return ::GetDlgItem(Main(), static_cast<int>(main::win32::ControlId(control)));
    }
    // Posted, as a modal window may follow.
    void Post(UINT message, WPARAM wParam) { ::PostMessageA(Main(), message, wParam, 0); }
    void Press(Control control) { Post(WM_COMMAND, main::win32::ControlId(control)); }

    // The message box's text, after pressing its OK and waiting for it to go.
    std::string AnswerMessageBox() const {
        HWND box = WaitForWindow("#32770");
        const std::string text = TextOf(::GetDlgItem(box, 0xFFFF));  // as the template numbers it
        drive::PressButton(box, IDOK);
        drive::WaitUntilGone(box, std::chrono::seconds(5));
        return text;
    }

  private:
    test::ScratchDir scratch_;
    std::optional<drive::Program> program_;
};

// Nothing of a launch left open or on disk; the output file goes only once the tool has ended.
inline void ExpectIdle(OmbrixSession& app) {
    EXPECT_TRUE(WaitUntil([&] { return app.TempFiles().empty(); })) << "a file is left";
    for (const char* window :
         {results::win32::kResultsWindowClass, main::win32::kCancelWindowClass, "#32770"}) {
        EXPECT_EQ(app.Find(window), nullptr) << window;
    }
    EXPECT_TRUE(::IsWindowEnabled(app.Main()));
}

}  // namespace ombrix::uitest
