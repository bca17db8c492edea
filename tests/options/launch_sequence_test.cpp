// The launch behind "Launch Uptime": its checks, then real runs of our helper programs, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "options/launch_sequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

#include "options/fake_option_view.h"
#include "options/option_form.h"
#include "platform/system_info.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;
using platform::MessageStyle;

// Points the system temporary folder at `directory` while it lives.
class TempDirectoryOverride {
  public:
    explicit TempDirectoryOverride(const std::string& directory) : saved_(Get()) { Set(directory); }
    ~TempDirectoryOverride() { Set(saved_.value_or("")); }
    TempDirectoryOverride(const TempDirectoryOverride&) = delete;
    TempDirectoryOverride& operator=(const TempDirectoryOverride&) = delete;

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";  // GetTempPath's first choice
    static void Set(const std::string& value) {
        _putenv_s(kVariable, value.c_str());
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Set(const std::string& value) {
        if (value.empty()) {
            ::unsetenv(kVariable);
        } else {
            ::setenv(kVariable, value.c_str(), 1);
        }
    }
#endif
    static std::optional<std::string> Get() {
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // the test runs on one thread
#endif
        const char* value = std::getenv(kVariable);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }

    std::optional<std::string> saved_;
};

std::vector<fs::path> FilesIn(const fs::path& directory) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        files.push_back(entry.path());
    }
    return files;
}

bool IsTempFileName(const std::string& name) {
    if (name.size() != 12 || name.substr(8) != ".TMP") {
        return false;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        if (name[i] < 'A' || name[i] > 'Z') {
            return false;
        }
    }
    return true;
}

// The results window as the launch sees it. It notes what it was given and what the temporary
// folder held while it was open, and on closing clears the flag, as the real window does.
class FakeResults final : public ResultsDisplay {
  public:
    FakeResults(const fs::path& tempDirectory, bool& launchActive)
        : tempDirectory_(tempDirectory), launchActive_(launchActive) {}

    void ShowModal(const std::string& output) override {
        shown.push_back(output);
        flagWhileOpen = launchActive_;
        filesWhileOpen = FilesIn(tempDirectory_);
        if (failToOpen) {
            throw std::runtime_error("the results window could not be created");
        }
        launchActive_ = false;
    }

    std::vector<std::string> shown;
    bool flagWhileOpen = false;
    std::vector<fs::path> filesWhileOpen;
    bool failToOpen = false;

  private:
    fs::path tempDirectory_;
    bool& launchActive_;
};

class CancelAfter final : public runner::ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess& child) override {
        return child.WaitForExit(std::chrono::milliseconds(200));
    }
};

const std::string kResultsWindow = "<results window>";

class LaunchSequenceTest : public ::testing::Test {
  protected:
    void Launch() {
        LaunchEnvironment environment{view,    uptimePath, launchActive, messages,
                                      results, waiter,     today};
        LaunchUptime(environment);
    }

    // One launch as the user meets it: the one message it showed, or kResultsWindow. Every
    // launch but a refused one ends with the flag cleared and the temporary folder empty.
    std::string Launched() {
        messages.shown.clear();
        results.shown.clear();
        Launch();
        EXPECT_FALSE(launchActive);
        EXPECT_TRUE(FilesIn(temp.path()).empty()) << "a temporary file was left behind";
        for (const test::ShownMessage& message : messages.shown) {
            EXPECT_EQ(message.style, MessageStyle::OkExclamation) << message.text;
        }
        if (messages.shown.size() + results.shown.size() != 1) {
            return std::to_string(messages.shown.size()) + " messages and " +
                   std::to_string(results.shown.size()) + " results windows";
        }
        return messages.shown.empty() ? kResultsWindow : messages.shown[0].text;
    }

    void ChooseDate(const std::string& dd, const std::string& mm, const std::string& yyyy) {
        view.Type(form, Control::DD, dd);
        view.Type(form, Control::MM, mm);
        view.Type(form, Control::YYYY, yyyy);
    }

    // A copy of a helper program at a path with blanks in it.
    std::string InstallWithBlanks(const std::string& helper) {
        fs::create_directories(tools.path() / "Program Files" / "Up Time");
        const fs::path program = tools.path() / "Program Files" / "Up Time" / "uptime tool.exe";
        fs::copy_file(test::HelperProgram(helper), program, fs::copy_options::overwrite_existing);
        return program.string();
    }

    test::ScratchDir tools;  // programs the tests put together
    test::ScratchDir temp;   // the system temporary folder during the test
    TempDirectoryOverride tempOverride{temp.path().string()};
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath = test::HelperProgram("child_probe");
    bool launchActive = false;
    test::RecordingMessages messages;
    FakeResults results{temp.path(), launchActive};
    runner::ExitWaiter* waiter = nullptr;
    shared::CalendarDate today{2026, 3, 15};
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
    EXPECT_EQ(Launched(), kResultsWindow);
}

TEST_F(LaunchSequenceTest, OnlyAnEmptyNameOrTheExactHintIsRefused) {
    view.Type(form, Control::NameIPAddress, "");
    EXPECT_EQ(Launched(), kResultsWindow) << "the name is not looked at unless Server is ticked";
    form.SetValue(Control::Server, kGrayed);
    EXPECT_EQ(Launched(), kResultsWindow) << "grayed is not ticked";

    view.Click(form, Control::Server);
    ASSERT_EQ(view.Value(Control::Server), kChecked);
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    view.Type(form, Control::NameIPAddress, "Name/IP Address");
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    for (const char* name :
         {"name/ip address", "NAME/IP ADDRESS", "Name/IP Address ", "10.0.0.7"}) {
        view.Type(form, Control::NameIPAddress, name);
        EXPECT_EQ(Launched(), kResultsWindow) << name;
    }
}

TEST(ReadDayFirstDate, DaysMustExistAndPartsBeDigits) {
    EXPECT_EQ(ReadDayFirstDate("07", "03", "2004"), (shared::CalendarDate{2004, 3, 7}));
    EXPECT_EQ(ReadDayFirstDate(" 7", "3 ", "2004"), (shared::CalendarDate{2004, 3, 7}));
    EXPECT_EQ(ReadDayFirstDate("29", "02", "2004"), (shared::CalendarDate{2004, 2, 29}));
    EXPECT_EQ(ReadDayFirstDate("29", "2", "2000"), (shared::CalendarDate{2000, 2, 29}));
    EXPECT_EQ(ReadDayFirstDate("31", "12", "999"), (shared::CalendarDate{999, 12, 31}));
    const char* const impossible[][3] = {
        {"31", "04", "2005"}, {"29", "02", "2005"}, {"29", "2", "1900"}, {"30", "02", "2004"},
        {"0", "1", "2005"},   {"1", "0", "2005"},   {"1", "13", "2005"}, {"1", "1", "0000"},
        {"", "3", "2005"},    {"1", "", "2005"},    {"1", "3", ""},      {" ", "3", "2005"},
        {"1a", "3", "2005"},  {"+1", "3", "2005"},  {"-1", "3", "2005"}, {"1 2", "3", "2005"},
        {"1.", "3", "2005"},  {"001", "3", "2005"}, {"1", "3", "20055"}, {"1", "Mar", "2005"},
    };
    for (const auto& date : impossible) {
        EXPECT_FALSE(ReadDayFirstDate(date[0], date[1], date[2]))
            << date[0] << "/" << date[1] << "/" << date[2];
    }
}

TEST(ReadDayFirstDate, ShortYearsFollowTheWindowsWindow) {
    struct Case {
        const char* yyyy;
        int year;
    };
    for (const Case c : {Case{"0", 2000}, Case{"00", 2000}, Case{"5", 2005}, Case{"29", 2029},
                         Case{"30", 1930}, Case{"99", 1999}, Case{"030", 30}, Case{"0099", 99}}) {
        EXPECT_EQ(ReadDayFirstDate("1", "2", c.yyyy), (shared::CalendarDate{c.year, 2, 1}))
            << c.yyyy;
    }
}

TEST_F(LaunchSequenceTest, TodayPassesAndTomorrowIsInTheFuture) {
    view.Click(form, Control::DoDates);
    view.Click(form, Control::DateSwitch);
    ChooseDate("15", "03", "2026");
    EXPECT_EQ(Launched(), kResultsWindow);
    ChooseDate("16", "03", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.");
    ChooseDate("15", "03", "26");
    EXPECT_EQ(Launched(), kResultsWindow) << "a two-digit year of this century";
    ChooseDate("01", "01", "29");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "29 is 2029";
    ChooseDate("01", "01", "30");
    EXPECT_EQ(Launched(), kResultsWindow) << "30 is 1930";
    ChooseDate("12", "3", "2026");
    EXPECT_EQ(Launched(), kResultsWindow) << "the 12th of March, not the 3rd of December";
    ChooseDate("3", "12", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.");

    today = {2025, 12, 31};
    ChooseDate("31", "12", "2025");
    EXPECT_EQ(Launched(), kResultsWindow);
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
}

TEST_F(LaunchSequenceTest, DaysTheCalendarLacksAreNoDates) {
    view.Click(form, Control::DoDates);
    view.Click(form, Control::DateSwitch);
    today = {2030, 1, 1};
    ChooseDate("31", "04", "2005");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("29", "02", "2005");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("29", "02", "2004");
    EXPECT_EQ(Launched(), kResultsWindow);
}

TEST_F(LaunchSequenceTest, DateIsTestedWhenTickedWhicheverPeriodIsChosen) {
    view.Click(form, Control::DoDates);
    view.Click(form, Control::PSwitch);
    ChooseDate("", "", "");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    ChooseDate("xx", "3", "2006");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");

    form.SetValue(Control::DoDates, kGrayed);
    ASSERT_EQ(view.Value(Control::DoDates), kGrayed);
    EXPECT_EQ(Launched(), kResultsWindow) << "a grayed box skips the date test";
}

TEST_F(LaunchSequenceTest, ToolGetsTheSwitchesAfterTheWordAtAPathWithBlanks) {
    uptimePath = InstallWithBlanks("child_probe");
    view.Click(form, Control::Server);
    view.Type(form, Control::NameIPAddress, "--args SRV01");
    view.Click(form, Control::SSwitch);
    view.Click(form, Control::ASwitch);
    view.Click(form, Control::DoDates);
    view.Type(form, Control::pd, "7");
    ASSERT_EQ(view.Text(Control::CmdLine), "uptime --args SRV01 /s /a /p:7");

    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(results.shown[0], "[--args]\n[SRV01]\n[/s]\n[/a]\n[/p:7]\n");
}

TEST_F(LaunchSequenceTest, WithNoOptionTheToolRunsAlone) {
    uptimePath = InstallWithBlanks("uptime");
    ASSERT_EQ(view.Text(Control::CmdLine), "uptime");
    ASSERT_EQ(Launched(), kResultsWindow) << "our uptime refuses any stray argument";
    const std::string expected = "\\\\" + platform::ComputerName() + " has been up for: ";
    EXPECT_EQ(results.shown[0].rfind(expected, 0), 0u) << results.shown[0];

    view.PutText(Control::CmdLine, "upt");
    EXPECT_EQ(Launched(), kResultsWindow) << "a line shorter than the word has no switches";
}

TEST_F(LaunchSequenceTest, SuccessShowsTheOutputUnchangedAndDeletesItAfterwards) {
    const std::string bytes = std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80", 10) +
                              "0123456701234567012345670123456701234567";
    view.PutText(Control::CmdLine, "uptime --hex 00ff0d0a410a0d1a7f80 --fill 40");
    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(results.shown[0], bytes);

    EXPECT_TRUE(results.flagWhileOpen) << "set until the results window closes";
    ASSERT_EQ(results.filesWhileOpen.size(), 1u) << "the file lives while the window is open";
    const fs::path file = results.filesWhileOpen[0];
    EXPECT_TRUE(IsTempFileName(file.filename().string())) << file;
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(LaunchSequenceTest, EmptyOutputOfASuccessGoesToTheResultsWindow) {
    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(results.shown[0], "");
}

TEST_F(LaunchSequenceTest, AnyOtherExitCodeShowsTheOutputAsTheMessage) {
    // Exit codes pass whole: a check of 16 bits would take 65536 for success.
#ifdef _WIN32
    const char* const codes[] = {"1", "3", "-1", "259", "65536", "-1073741819"};
#else
    const char* const codes[] = {"1", "3", "-1"};
#endif
    for (const char* code : codes) {
        view.PutText(Control::CmdLine, std::string("uptime --hex 4572720d0a00 --exit ") + code);
        EXPECT_EQ(Launched(), std::string("Err\r\n\0", 6)) << code;
    }
}

TEST_F(LaunchSequenceTest, AFailureWithoutOutputNamesItsExitCode) {
#ifdef _WIN32
    const char* const codes[] = {"5", "-1", "65536"};
#else
    const char* const codes[] = {"5", "255"};
#endif
    for (const char* code : codes) {
        view.PutText(Control::CmdLine, std::string("uptime --exit ") + code);
        const std::string said = Launched();
        EXPECT_NE(said, kResultsWindow);
        EXPECT_NE(said.find(std::string("exit code ") + code), std::string::npos) << said;
    }
}

TEST_F(LaunchSequenceTest, AProgramThatCannotStartIsNamedWithTheReason) {
    const std::string missing = (tools.path() / "gone" / "uptime.exe").string();
    const std::string textFile = tools.File("uptime.exe");
    test::WriteFile(textFile, "This is a text file, not a program.\r\n");
    fs::permissions(textFile, fs::perms::owner_all, fs::perm_options::add);

    for (const std::string& program : {missing, textFile}) {
        uptimePath = program;
        const std::string said = Launched();
        const std::string start = "Ombrix could not start " + program + ".\r\n\r\n";
        EXPECT_EQ(said.rfind(start, 0), 0u) << said;
        EXPECT_GT(said.size(), start.size()) << "the system's reason follows";
    }
}

TEST_F(LaunchSequenceTest, AnOutputFileThatCannotBeMadeIsNamedWithTheReason) {
    const std::string gone = (temp.path() / "gone").string();
    const TempDirectoryOverride missingFolder(gone);
    const std::string said = Launched();
    const std::string start = "Ombrix could not create the temporary file " + gone;
    EXPECT_EQ(said.rfind(start, 0), 0u) << said;
    EXPECT_NE(said.find(".TMP.\r\n\r\n"), std::string::npos) << said;
}

TEST_F(LaunchSequenceTest, ASecondLaunchIsRefusedByTheRunnerAlone) {
    launchActive = true;
    view.PutText(Control::CmdLine, "uptime --hex 41");
    Launch();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You cannot launch two copies of UPTIME.EXE at once.");
    EXPECT_TRUE(results.shown.empty());
    EXPECT_TRUE(launchActive) << "the earlier run's output still waits to be dismissed";
    EXPECT_TRUE(FilesIn(temp.path()).empty());
}

TEST_F(LaunchSequenceTest, ACancelledRunEndsQuietly) {
    CancelAfter cancel;
    waiter = &cancel;
    view.PutText(Control::CmdLine, "uptime --hex 41 --sleep 30000");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Launched(), "0 messages and 0 results windows");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(LaunchSequenceTest, AResultsWindowThatFailsStillLeavesNothingBehind) {
    results.failToOpen = true;
    EXPECT_THROW(Launch(), std::runtime_error);
    EXPECT_FALSE(launchActive);
    EXPECT_TRUE(FilesIn(temp.path()).empty());
}

#ifndef _WIN32
// Tools that spoil their own output file, as shell scripts reaching it through /proc.
class SpoilingToolTest : public LaunchSequenceTest {
  protected:
    void InstallScript(const std::string& body) {
        uptimePath = tools.File("uptime.exe");
        test::WriteFile(uptimePath, "#!/bin/sh\nout=$(readlink /proc/$$/fd/1)\n" + body);
        fs::permissions(uptimePath, fs::perms::owner_all, fs::perm_options::add);
    }
};

TEST_F(SpoilingToolTest, AMissingOutputFileIsAnInternalError) {
    InstallScript("rm -f \"$out\"\n");
    EXPECT_EQ(Launched(), "Internal Error! Can't find temporary file!.");
}

TEST_F(SpoilingToolTest, AnUnreadableOutputFileIsNamedWithTheReason) {
    // Even root cannot read the start of a process's memory.
    InstallScript("rm -f \"$out\" && ln -s /proc/self/mem \"$out\"\n");
    const std::string said = Launched();
    const std::string start = "Ombrix could not read the temporary file " + temp.path().string();
    EXPECT_EQ(said.rfind(start, 0), 0u) << said;
    EXPECT_NE(said.find("\r\n\r\n"), std::string::npos) << "the system's reason follows";
}
#endif

}  // namespace
}  // namespace ombrix::options
