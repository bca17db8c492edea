// The launch behind "Launch Uptime": its checks, then real runs of our helper program, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "launch/launch_sequence.h"

#include <gtest/gtest.h>

#include <new>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ombrix::launch {
namespace {

namespace fs = std::filesystem;

// Points the system temporary folder at `directory` while it lives.
class TempDirectoryOverride {
  public:
    explicit TempDirectoryOverride(const std::string& directory)
        : saved_(std::getenv(kName) != nullptr ? std::getenv(kName) : "") {
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

// The fixture is the results window: it notes what it shows, and tries a second launch while it
// is open, which must leave the open run and its file alone.
class LaunchSequenceTest : public ::testing::Test, public ResultsDisplay {
  protected:
    void ShowModal(std::string output) override {
        if (outOfMemoryWhileShowing) {
            throw std::bad_alloc();
        }
        shown.push_back(output);
        if (failWhileShowing) {
            throw std::runtime_error("the results window failed");
        }
        launch.Launch(options, uptimePath, today);
        ASSERT_EQ(messages.shown.size(), 1u) << "a second launch went ahead";
        EXPECT_EQ(messages.shown[0].text, "You cannot launch two copies of UPTIME.EXE at once.");
        EXPECT_TRUE(launch.LaunchActive()) << "the refusal leaves the open run alone";
        EXPECT_EQ(FilesIn(temp.path()).size(), 1u) << "the run's file lives on, and no other";
        messages.shown.clear();
    }

    // One launch as the user meets it; it always ends with the run dismissed and no file left.
    std::string Launched() {
        messages.shown.clear();
        shown.clear();
        launch.Launch(options, uptimePath, today);
        EXPECT_FALSE(launch.LaunchActive());
        EXPECT_TRUE(FilesIn(temp.path()).empty()) << "a temporary file was left behind";
        EXPECT_EQ(messages.shown.size() + shown.size(), 1u) << "one message or results window";
        return messages.shown.empty() ? kResultsWindow : messages.shown[0].text;
    }

    void ChooseDate(const std::string& day, const std::string& month, const std::string& year) {
        options.day = day;
        options.month = month;
        options.year = year;
    }
    // The switches the tool gets: with RemoteMachine ticked, the machine box's text follows
    // the tool's word.
    void PassToTool(const std::string& switches) {
        options.remoteMachine = true;
        options.machineName = switches;
    }

    test::ScratchDir temp;  // the system temporary folder during the test
    TempDirectoryOverride tempOverride{temp.path().string()};
    options::OptionState options;
    std::string uptimePath = test::HelperProgram("child_probe");
    test::RecordingMessages messages;
    LaunchSequence launch{messages, *this};
    std::vector<std::string> shown;  // what the results window showed
    bool failWhileShowing = false;
    bool outOfMemoryWhileShowing = false;
    base::CalendarDate today{2026, 3, 15};
};

TEST_F(LaunchSequenceTest, ChecksComeInTheirOrderEachWithItsMessage) {
    today = {2025, 12, 31};
    uptimePath.clear();
    options.remoteMachine = true;
    options.machineName = options::kMachinePlaceholder;
    options.restrictPeriod = true;  // with neither period chosen, the date is still checked
    ChooseDate("32", "12", "2025");

    EXPECT_EQ(Launched(), "You need to locate UPTIME.EXE before you can launch it.");
    uptimePath = test::HelperProgram("child_probe");
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    options.machineName = "SRV01";
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
    ChooseDate("31", "12", "2025");
    EXPECT_EQ(Launched(), kResultsWindow) << "today passes";
}

TEST_F(LaunchSequenceTest, AReportShowsItsOutputUnchangedAndAnyOtherCodeAMessage) {
    std::vector<std::array<std::string, 3>> rows = {
        // the tool's switches, what the user meets, what the results window shows
        {"--hex 00ff0d0a410a0d1a7f80 --stderr Lost! --stdin", kResultsWindow,
         std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80stdin:0", 17)},  // standard output alone
        {"--hex 4572720a00 --exit 1", "Err\r\n ", ""},  // shown as in results: NUL as a blank
        // some machines failed, the others are reported: a report all the same
        {"--hex 4f4b0d0a --exit 6", kResultsWindow, "OK\r\n"},
        {"--exit 6", "UPTIME.EXE ended with exit code 6 and printed nothing.", ""},
    };
#ifdef _WIN32
    // 259 is also the value of STILL_ACTIVE.
    rows.push_back({"--exit 259", "UPTIME.EXE ended with exit code 259 and printed nothing.", ""});
    rows.push_back(
        {"--exit -1", "UPTIME.EXE ended with exit code -1 (0xFFFFFFFF) and printed nothing.", ""});
#endif
    for (const auto& [tail, said, output] : rows) {
        PassToTool(tail);
        EXPECT_EQ(Launched(), said) << tail;
        EXPECT_EQ(shown.empty() ? "" : shown[0], output) << tail;
    }
}

// The wait for the tool fails in a way nobody foresaw.
struct FailingWait final : runner::ExitWaiter {
    bool WaitForExit(platform::CapturedProcess&) override {
        throw std::runtime_error("the wait failed");
    }
};

TEST_F(LaunchSequenceTest, AnUnforeseenFailureLeavesNoRunActiveAndNoFileBehind) {
    FailingWait failingWait;
    LaunchSequence failingLaunch{messages, *this, &failingWait};
    PassToTool("--hex 41 --sleep 30000");
    EXPECT_THROW(failingLaunch.Launch(options, uptimePath, today), std::runtime_error);
    // The tool was ended: until then it would hold the file, and Windows would not delete it.
    EXPECT_FALSE(failingLaunch.LaunchActive());
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    PassToTool("--hex 41");
    failWhileShowing = true;
    EXPECT_THROW(launch.Launch(options, uptimePath, today), std::runtime_error);
    EXPECT_FALSE(launch.LaunchActive());
    EXPECT_TRUE(FilesIn(temp.path()).empty());

    // A report the window has no memory to lay out is told plainly, not by an exception's name.
    outOfMemoryWhileShowing = true;
    EXPECT_EQ(Launched(), kReportTooLargeMessage);
}

}  // namespace
}  // namespace ombrix::launch
