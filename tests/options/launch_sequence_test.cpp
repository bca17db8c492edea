// The launch behind "Launch Uptime": its checks, then real runs of our helper programs, with
// the system temporary folder pointed at a scratch folder so that nothing left behind escapes.
#include "options/launch_sequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "options/fake_option_view.h"
#include "options/option_form.h"
#include "platform/system_info.h"
#include "support/test_support.h"

namespace ombrix::options {
namespace {

namespace fs = std::filesystem;

// Points the system temporary folder at `directory` while it lives.
class TempDirectoryOverride {
  public:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";  // GetTempPath's first choice
#else
    static constexpr const char* kVariable = "TMPDIR";
#endif
    explicit TempDirectoryOverride(const std::string& directory) {
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // the test runs on one thread
#endif
        const char* saved = std::getenv(kVariable);
        saved_ = saved != nullptr ? saved : "";
        Set(directory);
    }
    ~TempDirectoryOverride() {
        Set(saved_);
    }
    TempDirectoryOverride(const TempDirectoryOverride&) = delete;
    TempDirectoryOverride& operator=(const TempDirectoryOverride&) = delete;

  private:
    static void Set(const std::string& value) {
#ifdef _WIN32
        _putenv_s(kVariable, value.c_str());  // empty removes it
#else
        value.empty() ? ::unsetenv(kVariable) : ::setenv(kVariable, value.c_str(), 1);
#endif
    }
    std::string saved_;
};

std::vector<fs::path> FilesIn(const fs::path& directory) {
    return std::vector<fs::path>(fs::directory_iterator(directory), fs::directory_iterator());
}

class CancelAfter final : public runner::ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess& child) override {
        return child.WaitForExit(std::chrono::milliseconds(200));
    }
};

const std::string kResultsWindow = "<results window>";

// The fixture stands in for the results window: it notes what it was given and what the
// temporary folder held while it was open, and on closing clears the flag, as the real one does.
class LaunchSequenceTest : public ::testing::Test, public ResultsDisplay {
  protected:
    void ShowModal(const std::string& output) override {
        shown.push_back(output);
        flagWhileOpen = launchActive;
        filesWhileOpen = FilesIn(temp.path());
        if (failToOpen) {
            throw std::runtime_error("the results window could not be created");
        }
        launchActive = false;
    }

    void Launch() {
        LaunchEnvironment environment{view,  uptimePath, launchActive, messages,
                                      *this, waiter,     today};
        LaunchUptime(environment);
    }

    // One launch as the user meets it: the one message it showed, or kResultsWindow. Every
    // launch but a refused one ends with the flag cleared and the temporary folder empty.
    std::string Launched() {
        messages.shown.clear();
        shown.clear();
        Launch();
        EXPECT_FALSE(launchActive);
        EXPECT_TRUE(FilesIn(temp.path()).empty()) << "a temporary file was left behind";
        for (const test::ShownMessage& message : messages.shown) {
            EXPECT_EQ(message.style, platform::MessageStyle::OkExclamation) << message.text;
        }
        if (messages.shown.size() + shown.size() != 1) {
            return std::to_string(messages.shown.size()) + " messages and " +
                   std::to_string(shown.size()) + " results windows";
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
        const fs::path folder = tools.path() / "Program Files" / "Up Time";
        fs::create_directories(folder);
        fs::copy_file(test::HelperProgram(helper), folder / "uptime tool.exe");
        return (folder / "uptime tool.exe").string();
    }

    test::ScratchDir tools;  // programs the tests put together
    test::ScratchDir temp;   // the system temporary folder during the test
    TempDirectoryOverride tempOverride{temp.path().string()};
    FakeOptionView view;
    OptionForm form{view};
    std::string uptimePath = test::HelperProgram("child_probe");
    bool launchActive = false;
    test::RecordingMessages messages;
    std::vector<std::string> shown;  // what the results window showed
    bool flagWhileOpen = false;
    std::vector<fs::path> filesWhileOpen;
    bool failToOpen = false;
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
    EXPECT_EQ(Launched(), kResultsWindow) << "today passes";
    today = {2025, 12, 31};
    ChooseDate("01", "01", "2026");
    EXPECT_EQ(Launched(), "You need to enter a date in the past.") << "tomorrow, in a new year";
}

TEST_F(LaunchSequenceTest, OnlyAnEmptyNameOrTheExactHintIsRefused) {
    view.Type(form, Control::NameIPAddress, "");
    EXPECT_EQ(Launched(), kResultsWindow) << "the name is not looked at unless Server is ticked";
    form.SetValue(Control::Server, kGrayed);
    EXPECT_EQ(Launched(), kResultsWindow) << "grayed is not ticked";

    view.Click(form, Control::Server);
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    view.Type(form, Control::NameIPAddress, "Name/IP Address");
    EXPECT_EQ(Launched(), "You need to enter a valid network name or IP address.");
    for (const char* name : {"name/ip address", "Name/IP Address "}) {
        view.Type(form, Control::NameIPAddress, name);
        EXPECT_EQ(Launched(), kResultsWindow) << '"' << name << '"';
    }
}

TEST_F(LaunchSequenceTest, TheDateIsTestedWhenTickedWhicheverPeriodIsChosen) {
    view.Click(form, Control::DoDates);
    view.Click(form, Control::PSwitch);
    ChooseDate("", "", "");
    EXPECT_EQ(Launched(), "You need to enter a valid date in the past.");
    form.SetValue(Control::DoDates, kGrayed);
    EXPECT_EQ(Launched(), kResultsWindow) << "a grayed box skips the date test";
}

TEST(ReadDayFirstDate, TakesDigitsWithBlanksAroundAndDaysTheCalendarHas) {
    // One or two year digits follow the Windows window; three or four stand as written.
    const struct {
        const char* dd;
        const char* mm;
        const char* yyyy;
        int year, month, day;
    } dates[] = {{" 7", "3 ", "2004", 2004, 3, 7}, {"31", "12", "999", 999, 12, 31},
                 {"1", "2", "0", 2000, 2, 1},      {"1", "2", "30", 1930, 2, 1},
                 {"1", "2", "030", 30, 2, 1},      {"1", "2", "0099", 99, 2, 1}};
    for (const auto& d : dates) {
        EXPECT_EQ(ReadDayFirstDate(d.dd, d.mm, d.yyyy),
                  (shared::CalendarDate{d.year, d.month, d.day}))
            << d.dd << "/" << d.mm << "/" << d.yyyy;
    }
    const char* const impossible[][3] = {
        {"31", "04", "2005"}, {"1", "1", "0000"},  {"", "3", "2005"},    {" ", "3", "2005"},
        {"1a", "3", "2005"},  {"+1", "3", "2005"}, {"1 2", "3", "2005"}, {"001", "3", "2005"},
        {"1", "Mar", "2005"}, {"1", "", "2005"},   {"1", "3", ""},       {"1", "3", "20055"}};
    for (const auto& date : impossible) {
        EXPECT_FALSE(ReadDayFirstDate(date[0], date[1], date[2]))
            << date[0] << "/" << date[1] << "/" << date[2];
    }
}

TEST_F(LaunchSequenceTest, ToolGetsTheSwitchesAfterTheWordAtAPathWithBlanks) {
    uptimePath = InstallWithBlanks("child_probe");
    view.Click(form, Control::Server);
    view.Type(form, Control::NameIPAddress, "--args SRV01");
    view.Click(form, Control::SSwitch);
    view.Click(form, Control::DoDates);
    view.Type(form, Control::pd, "7");
    ASSERT_EQ(view.Text(Control::CmdLine), "uptime --args SRV01 /s /p:7");
    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(shown[0], "[--args]\n[SRV01]\n[/s]\n[/p:7]\n");
}

TEST_F(LaunchSequenceTest, OurUptimeGetsExactlyTheSwitchesOfTheWindow) {
    uptimePath = InstallWithBlanks("uptime");
    ASSERT_EQ(Launched(), kResultsWindow) << "our uptime refuses any stray argument";
    const std::string up = "\\\\" + platform::ComputerName() + " has been up for: ";
    EXPECT_EQ(shown[0].rfind(up, 0), 0u) << shown[0];
    view.PutText(Control::CmdLine, "upt");
    EXPECT_EQ(Launched(), kResultsWindow) << "a line shorter than the word has no switches";

    view.Click(form, Control::SSwitch);
    view.Click(form, Control::DoDates);
    view.Type(form, Control::pd, "7");
    ASSERT_EQ(Launched(), kResultsWindow);
    // Without events to read here, the tool says so after the uptime line.
    EXPECT_NE(shown[0].find("\r\nNo events are available"), std::string::npos) << shown[0];

    // A remote machine is an error, and the tool's own text is the message.
    view.Click(form, Control::Server);
    view.Type(form, Control::NameIPAddress, "FARAWAY-HOST");
    const std::string said = Launched();
    EXPECT_NE(said.find("\\\\FARAWAY-HOST"), std::string::npos) << said;
    EXPECT_EQ(said.find("has been up for"), std::string::npos) << said;
}

TEST_F(LaunchSequenceTest, SuccessShowsTheOutputUnchangedAndDeletesItAfterwards) {
    view.PutText(Control::CmdLine, "uptime --hex 00ff0d0a410a0d1a7f80 --stderr Lost! --stdin");
    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(shown[0], std::string("\x00\xff\r\nA\n\r\x1a\x7f\x80stdin:0", 17))
        << "standard output alone, and standard input gives nothing";
    EXPECT_TRUE(flagWhileOpen) << "set until the results window closes";
    ASSERT_EQ(filesWhileOpen.size(), 1u) << "the file lives while the window is open";
    const fs::path file = filesWhileOpen[0];
    EXPECT_TRUE(std::regex_match(file.filename().string(), std::regex("[A-Z]{8}\\.TMP"))) << file;

    view.PutText(Control::CmdLine, "uptime");
    ASSERT_EQ(Launched(), kResultsWindow);
    EXPECT_EQ(shown[0], "") << "empty output is a result too";
}

TEST_F(LaunchSequenceTest, AnyOtherExitCodeShowsTheOutputOrNamesTheCode) {
    // Exit codes pass whole: a check of 16 bits would take 65536 for success.
    std::vector<std::string> codes = {"1", "-1"};
    // Without output the message names the code, a negative one in hexadecimal too.
    std::vector<std::string> silent = {"5"};
#ifdef _WIN32
    codes.push_back("65536");
    silent.push_back("-1 (0xFFFFFFFF)");
#endif
    for (const std::string& code : codes) {
        view.PutText(Control::CmdLine, "uptime --hex 4572720d0a00 --exit " + code);
        EXPECT_EQ(Launched(), std::string("Err\r\n\0", 6)) << code;
    }
    for (const std::string& code : silent) {
        view.PutText(Control::CmdLine, "uptime --exit " + code.substr(0, code.find(' ')));
        EXPECT_EQ(Launched(), "UPTIME.EXE ended with exit code " + code + " and printed nothing.");
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
    EXPECT_EQ(said.rfind("Ombrix could not create the temporary file " + gone, 0), 0u) << said;
    EXPECT_NE(said.find(".TMP.\r\n\r\n"), std::string::npos) << said;
}

TEST_F(LaunchSequenceTest, ASecondLaunchIsRefusedByTheRunnerAlone) {
    launchActive = true;
    Launch();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "You cannot launch two copies of UPTIME.EXE at once.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_TRUE(shown.empty());
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
    failToOpen = true;
    EXPECT_THROW(Launch(), std::runtime_error);
    EXPECT_FALSE(launchActive);
    EXPECT_TRUE(FilesIn(temp.path()).empty());
}

#ifndef _WIN32
// Tools that spoil their own output file: shell scripts that reach it through /proc.
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
