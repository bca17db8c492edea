// The launch behind "Launch Uptime": its checks, then real runs of our helper program, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "options/launch_sequence.h"

#include <gtest/gtest.h>

#include <new>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

// Points the system temporary folder at `directory` while it lives.
class TempDirectoryOverride {
  public:
    explicit TempDirectoryOverride(const std::string& directory) {
        const char* saved = std::getenv(kName);
        saved_ = saved != nullptr ? saved : "";
        Set(directory);
    }
    ~TempDirectoryOverride() { Set(saved_); }

  private:
#ifdef _WIN32
    static constexpr const char* kName = "TMP";  // GetTempPath's first choice; "" removes it
    static void Set(const std::string& value) {
        _putenv_s(kName, value.c_str());
    }
#else
    static constexpr const char* kName = "TMPDIR";  // "" stands for /tmp
    static void Set(const std::string& value) {
        ::setenv(kName, value.c_str(), 1);
    }
#endif
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
        if (outOfMemoryWhileShowing) {
            throw std::bad_alloc();
        }
        shown.push_back(output);
        flagWhileOpen = runState.LaunchActive();
        filesWhileOpen = FilesIn(temp.path());
        if (failWhileShowing) {
            throw std::runtime_error("the results window failed");
        }
        runState.Dismiss();
    }

    void Launch(runner::ExitWaiter* waiter = nullptr) {
        LaunchEnvironment environment{options, uptimePath, runState, messages,
                                      *this,   waiter,     today};
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

    void ChooseDate(const std::string& day, const std::string& month, const std::string& year) {
        options.day = day;
        options.month = month;
        options.year = year;
    }
    // The switches the tool gets: with RemoteMachine ticked, the machine box's text follows "uptime
    // ".
    void PassToTool(const std::string& switches) {
        options.remoteMachine = true;
        options.machineName = switches;
    }

    test::ScratchDir temp;  // the system temporary folder during the test
    TempDirectoryOverride tempOverride{temp.path().string()};
    OptionState options;
    std::string uptimePath = test::HelperProgram("child_probe");
    runner::RunState runState;
    test::RecordingMessages messages;
    std::vector<std::string> shown;  // what the results window showed
    bool flagWhileOpen = false;
    bool failWhileShowing = false;
    bool outOfMemoryWhileShowing = false;
    std::vector<fs::path> filesWhileOpen;
    base::CalendarDate today{2026, 3, 15};
};

TEST_F(LaunchSequenceTest, ChecksComeInTheirOrderEachWithItsMessage) {
    today = {2025, 12, 31};
    uptimePath.clear();
    options.remoteMachine = true;
    options.machineName = kMachinePlaceholder;
    options.restrictPeriod = true;  // with neither period chosen, the date is still checked
    ChooseDate("32", "12", "2025");

    EXPECT_EQ(Launched(), "You need to locate UPTIME.EXE before you can launch it.");
    uptimePath = test::HelperProgram("child_probe");
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    options.machineName = "SRV01";
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
    ChooseDate("1", "1", "26");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "26 is 2026";
    ChooseDate("31", "12", "2025");
    EXPECT_EQ(Launched(), kResultsWindow) << "today passes";
}

TEST(ReadDayFirstDate, TakesOnlyWhatTheCommandLineCarriesAsTyped) {
    using Date = base::CalendarDate;
    const struct {
        const char* day;
        const char* month;
        const char* year;
        std::optional<Date> date;  // nothing: the invalid-date message
    } rows[] = {
        {"29", "02", "2024", Date{2024, 2, 29}},  // a leap year
        {"29", "02", "2023", std::nullopt},
        {"29", "02", "1900", std::nullopt},       // a century is common...
        {"29", "02", "2000", Date{2000, 2, 29}},  // ...unless it divides by 400
        {"7", "3", "0", Date{2000, 3, 7}},        // one or two digits: 0-29 are 2000-2029
        {"7", "3", "29", Date{2029, 3, 7}},
        {"7", "3", "30", Date{1930, 3, 7}},  // 30-99 are 1930-1999
        {"07", "03", "2005", Date{2005, 3, 7}},
        {"1", "1", "1601", Date{1601, 1, 1}},
        {"31", "12", "1600", std::nullopt},  // Windows keeps no time before 1601
        {"7", "3", "205", std::nullopt},     // three year digits: the tool refuses them
        {"7", "3", "20050", std::nullopt},
        {" 7", "3", "2005", std::nullopt},  // a blank would split the switch
        {"7", "3", "2005 ", std::nullopt},
        {"+7", "3", "2005", std::nullopt},  // the tool would get "+7"
        {"7", "3", "-205", std::nullopt},
        {"", "3", "2005", std::nullopt},
        {"0", "3", "2005", std::nullopt},
        {"007", "3", "2005", std::nullopt},
        {"31", "4", "2005", std::nullopt},
        {"7", "13", "2005", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadDayFirstDate(row.day, row.month, row.year), row.date)
            << '"' << row.day << "\"/\"" << row.month << "\"/\"" << row.year << '"';
    }
}

TEST_F(LaunchSequenceTest, ExitZeroShowsTheOutputUnchangedAndAnyOtherCodeAMessage) {
    std::vector<std::array<std::string, 3>> rows = {
        // the tool's switches, what the user meets, what the results window shows
        {"--hex 00ff0d0a410a0d1a7f80 --stderr Lost! --stdin", kResultsWindow,
         std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80stdin:0", 17)},  // standard output alone
        {"--hex 4572720a00 --exit 1", "Err\r\n ", ""},  // shown as in results: NUL as a blank
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

TEST_F(LaunchSequenceTest, AToolPathTooLongToStartIsRefusedAndLaterLaunchesRun) {
    uptimePath = (temp.path() / std::string(1000, 'd') / "uptime.exe").string();
    const std::string said = Launched();
    const std::string length = std::to_string(uptimePath.size());
    EXPECT_EQ(said.rfind("Ombrix cannot start UPTIME.EXE: its path is " + length, 0), 0u) << said;
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
    // The tool was ended: until then it would hold the file, and Windows would not delete it.
    EXPECT_FALSE(runState.LaunchActive());
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    PassToTool("--hex 41");
    failWhileShowing = true;
    EXPECT_THROW(Launch(), std::runtime_error);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(runState.LaunchActive());
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    // A report the window has no memory to lay out is told plainly, not by an exception's name.
    outOfMemoryWhileShowing = true;
    EXPECT_EQ(Launched(), kReportTooLargeMessage);
}

}  // namespace
}  // namespace ombrix::options
