// The launch behind "Launch Uptime": its checks, then real runs of our helper program, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "options/launch_sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
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
    void ShowModal(std::string output) override {
        shown.push_back(output);
        flagWhileOpen = runState.LaunchActive();
        filesWhileOpen = FilesIn(temp.path());
        if (failWhileShowing) {
            throw std::runtime_error("the results window failed");
        }
        runState.Dismiss();
    }

    void Launch(runner::ExitWaiter* waiter = nullptr) {
        const OptionState state = form.ReadState();
        LaunchEnvironment environment{state, uptimePath, runState, messages, *this, waiter, today};
        LaunchUptime(environment);
    }

    // One launch as the user meets it; it always ends with the flag cleared and no file left.
    std::string Launched() {
        messages.shown.clear();
        shown.clear();
        Launch();
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
    // The switches the tool gets: with Server ticked, the machine box's text follows "uptime ".
    void PassToTool(const std::string& switches) {
        if (view.Value(Control::Server) != kChecked) {
            view.Click(form, Control::Server);
        }
        view.Type(form, Control::NameIPAddress, switches);
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
    bool failWhileShowing = false;
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
    ChooseDate("16", "3", "26");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "26 is 2026";
    ChooseDate("15", "03", "2026");
    EXPECT_EQ(Launched(), kResultsWindow) << "today passes";
    today = {2025, 12, 31};
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
    ChooseDate(" 7", "3", "2005");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.")
        << "a blank would split the switch";
}

TEST(ReadDayFirstDate, TakesOnlyWhatTheCommandLineCarriesAsTyped) {
    using Date = base::CalendarDate;
    const struct {
        const char* dd;
        const char* mm;
        const char* yyyy;
        std::optional<Date> date;  // nothing: the invalid-date message
    } rows[] = {
        {"29", "02", "2024", Date{2024, 2, 29}},  // a leap year
        {"29", "02", "2023", std::nullopt},
        {"29", "02", "1900", std::nullopt},       // a century is common...
        {"29", "02", "2000", Date{2000, 2, 29}},  // ...unless it divides by 400
        {"29", "2", "00", Date{2000, 2, 29}},
        {"7", "3", "0", Date{2000, 3, 7}},  // one or two digits: 0-29 are 2000-2029
        {"7", "3", "29", Date{2029, 3, 7}},
        {"7", "3", "30", Date{1930, 3, 7}},  // 30-99 are 1930-1999
        {"7", "3", "99", Date{1999, 3, 7}},
        {"07", "03", "2005", Date{2005, 3, 7}},  // leading zeros pass unchanged
        {"1", "1", "1601", Date{1601, 1, 1}},
        {"31", "12", "9999", Date{9999, 12, 31}},
        {"7", "3", "205", std::nullopt},   // three year digits: the tool refuses them
        {"7", "3", "0205", std::nullopt},  // before 1601, which the tool refuses too
        {"31", "12", "1600", std::nullopt},
        {" 7", "3", "2005", std::nullopt},  // a blank would split the switch
        {"7 ", "3", "2005", std::nullopt},
        {"7", "3", "2005 ", std::nullopt},
        {"+7", "3", "2005", std::nullopt},  // the tool would get "+7"
        {"-7", "3", "2005", std::nullopt},
        {"7", "3", "-205", std::nullopt},
        {"", "3", "2005", std::nullopt},
        {"0", "3", "2005", std::nullopt},
        {"007", "3", "2005", std::nullopt},
        {"31", "4", "2005", std::nullopt},
        {"7", "13", "2005", std::nullopt},
        {"7", "3", "20050", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadDayFirstDate(row.dd, row.mm, row.yyyy), row.date)
            << '"' << row.dd << "\"/\"" << row.mm << "\"/\"" << row.yyyy << '"';
    }
}

TEST_F(LaunchSequenceTest, ExitZeroShowsTheOutputUnchangedAndAnyOtherCodeAMessage) {
    std::vector<std::array<std::string, 3>> rows = {
        // the tool's switches, what the user meets, what the results window shows
        {"--hex 00ff0d0a410a0d1a7f80 --stderr Lost! --stdin", kResultsWindow,
         std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80stdin:0", 17)},  // standard output alone
        {"--hex 4572720d0a00 --exit 1", "Err\r\n ", ""},  // a NUL shows as a blank, as in results
        {"--hex 4572720a00410a --exit 1", "Err\r\n A\r\n", ""},
        {"--hex 4572720d0a00 --exit -1", "Err\r\n ", ""},
        {"--exit 5", "UPTIME.EXE ended with exit code 5 and printed nothing.", ""},
    };
#ifdef _WIN32
    rows.push_back({"--hex 4572720d0a00 --exit 65536", "Err\r\n ", ""});  // not cut to 16 bits
    rows.push_back(
        {"--exit -1", "UPTIME.EXE ended with exit code -1 (0xFFFFFFFF) and printed nothing.", ""});
#endif
    for (const auto& [tail, said, output] : rows) {
        PassToTool(tail);
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

TEST_F(LaunchSequenceTest, AnOverLongToolPathIsRefusedAndLaterLaunchesStillRun) {
    uptimePath = (temp.path() / std::string(1000, 'd') / "uptime.exe").string();
    const std::string said = Launched();
    EXPECT_EQ(said.rfind("Ombrix cannot start UPTIME.EXE: its path is " +
                             std::to_string(uptimePath.size()) + " characters long",
                         0),
              0u)
        << said;
    EXPECT_EQ(Launched(), said) << "refused again for the same reason, not as a second copy";
    uptimePath = test::HelperProgram("child_probe");
    EXPECT_EQ(Launched(), kResultsWindow);
}

// The wait for the tool fails in a way nobody foresaw.
class FailingWait final : public runner::ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess&) override {
        throw std::runtime_error("the wait failed");
    }
};

TEST_F(LaunchSequenceTest, AnUnforeseenFailureLeavesNoRunActiveAndNoFileBehind) {
    FailingWait failingWait;
    PassToTool("--hex 41 --sleep 30000");
    EXPECT_THROW(Launch(&failingWait), std::runtime_error);
    EXPECT_FALSE(runState.LaunchActive());
    // The tool was ended: until then it would hold the file, and Windows would not delete it.
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    PassToTool("--hex 41");
    failWhileShowing = true;
    EXPECT_THROW(Launch(), std::runtime_error);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(runState.LaunchActive());
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    failWhileShowing = false;
    EXPECT_EQ(Launched(), kResultsWindow) << "the next launch runs";
}

}  // namespace
}  // namespace ombrix::options
