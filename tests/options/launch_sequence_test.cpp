// The launch behind "Launch Uptime": its checks, then real runs of our helper program, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "options/launch_sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "options/fake_option_view.h"
#include "options/option_form.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kTempVariable = "TMP";  // GetTempPath's first choice
void SetTemp(const std::string& value) {
    _putenv_s(kTempVariable, value.c_str());
}  // "" removes
#else
constexpr const char* kTempVariable = "TMPDIR";
void SetTemp(const std::string& value) {
    value.empty() ? ::unsetenv(kTempVariable) : ::setenv(kTempVariable, value.c_str(), 1);
}
#endif

// Points the system temporary folder at `directory` while it lives.
class TempDirectoryOverride {
  public:
    explicit TempDirectoryOverride(const std::string& directory) {
        const char* saved = std::getenv(kTempVariable);
        saved_ = saved != nullptr ? saved : "";
        SetTemp(directory);
    }
    ~TempDirectoryOverride() { SetTemp(saved_); }

  private:
    std::string saved_;
};

std::vector<fs::path> FilesIn(const fs::path& directory) {
    return std::vector<fs::path>(fs::directory_iterator(directory), fs::directory_iterator());
}

const std::string kResultsWindow = "<results window>";

// The fixture is the results window: it notes what it shows and what the temporary folder holds.
class LaunchSequenceTest : public ::testing::Test, public ResultsDisplay {
  protected:
    void ShowModal(const std::string& output) override {
        shown.push_back(output);
        flagWhileOpen = runState.LaunchActive();
        filesWhileOpen = FilesIn(temp.path());
        runState.Dismiss();
    }

    // One launch as the user meets it; it always ends with the flag cleared and no file left.
    std::string Launched() {
        messages.shown.clear();
        shown.clear();
        LaunchEnvironment environment{view, uptimePath, runState, messages, *this, nullptr, today};
        LaunchUptime(environment);
        EXPECT_FALSE(runState.LaunchActive());
        EXPECT_TRUE(FilesIn(temp.path()).empty()) << "a temporary file was left behind";
        EXPECT_EQ(messages.shown.size() + shown.size(), 1u) << "one message or results window";
        return messages.shown.empty() ? kResultsWindow : messages.shown[0].text;
    }

    void ChooseDate(const std::string& dd, const std::string& mm, const std::string& yyyy) {
        view.Type(form, Control::DD, dd);
        view.Type(form, Control::MM, mm);
        view.Type(form, Control::YYYY, yyyy);
    }

    test::ScratchDir temp;  // the system temporary folder during the test
    TempDirectoryOverride tempOverride{temp.path().string()};
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath = test::HelperProgram("child_probe");
    runner::RunState runState;
    test::RecordingMessages messages;
    std::vector<std::string> shown;  // what the results window showed
    bool flagWhileOpen = false;
    std::vector<fs::path> filesWhileOpen;
    base::CalendarDate today{2026, 3, 15};
};

TEST_F(LaunchSequenceTest, ChecksComeInTheirOrderEachWithItsMessage) {
    uptimePath.clear();
    view.Click(form, Control::Server);  // the machine box still holds its hint
    view.Click(form, Control::DoDates);
    view.Click(form, Control::DateSwitch);
    ChooseDate("32", "03", "2026");

    EXPECT_EQ(Launched(), "You need to locate UPTIME.EXE before you can launch it.");
    uptimePath = test::HelperProgram("child_probe");
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    view.Type(form, Control::NameIPAddress, "SRV01");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("16", "03", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.");
    ChooseDate("15", "03", "2026");
    EXPECT_EQ(Launched(), kResultsWindow) << "today passes";
    today = {2025, 12, 31};
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
}

TEST_F(LaunchSequenceTest, ExitZeroShowsTheOutputUnchangedAndAnyOtherCodeAMessage) {
    const std::string err("Err\r\n\0", 6);
    std::vector<std::array<std::string, 3>> rows = {
        // the tool's switches, what the user meets, what the results window shows
        {"--hex 00ff0d0a410a0d1a7f80 --stderr Lost! --stdin", kResultsWindow,
         std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80stdin:0", 17)},  // standard output alone
        {"--hex 4572720d0a00 --exit 1", err, ""},
        {"--hex 4572720d0a00 --exit -1", err, ""},
        {"--exit 5", "UPTIME.EXE ended with exit code 5 and printed nothing.", ""},
    };
#ifdef _WIN32
    rows.push_back({"--hex 4572720d0a00 --exit 65536", err, ""});  // not cut to 16 bits
    rows.push_back(
        {"--exit -1", "UPTIME.EXE ended with exit code -1 (0xFFFFFFFF) and printed nothing.", ""});
#endif
    for (const auto& [tail, said, output] : rows) {
        view.PutText(Control::CmdLine, "uptime " + tail);
        EXPECT_EQ(Launched(), said) << tail;
        EXPECT_EQ(shown.empty() ? "" : shown[0], output) << tail;
    }
    EXPECT_TRUE(flagWhileOpen) << "set until the results window closes";
    EXPECT_EQ(filesWhileOpen.size(), 1u) << "the file lives while the window is open";
}

TEST_F(LaunchSequenceTest, AProgramThatCannotStartIsNamedWithTheReason) {
    uptimePath = (temp.path() / "gone" / "uptime.exe").string();
    const std::string said = Launched();
    const std::string start = "Ombrix could not start " + uptimePath + ".\r\n\r\n";
    EXPECT_EQ(said.rfind(start, 0), 0u) << said;
    EXPECT_GT(said.size(), start.size()) << "the system's reason follows";
}

}  // namespace
}  // namespace ombrix::options
