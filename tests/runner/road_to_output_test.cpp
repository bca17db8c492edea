// The whole road: options chosen in the window's logic, the command line they make, a free
// temporary path, our uptime tool run hidden, and its output read back.
#include <gtest/gtest.h>

#include "options/fake_option_view.h"
#include "options/option_form.h"
#include "platform/process_files.h"
#include "platform/system_info.h"
#include "runner/file_name_generator.h"
#include "runner/run_and_capture.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix {
namespace {

using options::Control;

struct Captured {
    runner::RunOutcome outcome;
    std::string output;
};

Captured LaunchFromOptions(options::OptionForm& form, options::OptionView& view) {
    form.BuildCommandLine();
    const std::string line = view.Text(Control::CmdLine);
    const std::string tail = line.substr(options::kToolWord.size());
    const std::string directory = shared::GetTempDirectory();
    std::string path;
    do {
        path = shared::JoinPath(directory, runner::MakeTempFileName());
    } while (shared::FileExists(path));

    bool launchActive = false;
    test::RecordingMessages messages;
    Captured captured;
    captured.outcome =
        runner::RunAndCapture({path, test::HelperProgram("uptime"), tail}, launchActive, messages);
    const platform::FileContent content = platform::ReadWholeFile(path);
    EXPECT_TRUE(content.ok) << content.reason;
    captured.output = content.bytes;
    EXPECT_TRUE(platform::RemoveFile(path));
    return captured;
}

TEST(RoadToOutput, LocalUptimeWithSystemEvents) {
    options::FakeOptionView view;
    options::OptionForm form{view};
    view.Click(form, Control::SSwitch);
    view.Click(form, Control::DoDates);
    view.Type(form, Control::pd, "7");
    ASSERT_EQ(view.Text(Control::CmdLine), "uptime /s /p:7");

    const Captured captured = LaunchFromOptions(form, view);
    ASSERT_EQ(captured.outcome.kind, runner::RunOutcome::Kind::Finished);
    EXPECT_EQ(captured.outcome.exitCode, 0);
    EXPECT_NE(captured.output.find("\\\\" + platform::ComputerName() + " has been up for: "),
              std::string::npos)
        << captured.output;
    // Without events to read here, the tool says so after the uptime line.
    EXPECT_NE(captured.output.find("\r\nNo events are available"), std::string::npos)
        << captured.output;
}

TEST(RoadToOutput, RemoteMachineIsAnErrorWithTheToolsText) {
    options::FakeOptionView view;
    options::OptionForm form{view};
    view.Click(form, Control::Server);
    view.Type(form, Control::NameIPAddress, "FARAWAY-HOST");

    const Captured captured = LaunchFromOptions(form, view);
    ASSERT_EQ(captured.outcome.kind, runner::RunOutcome::Kind::Finished);
    EXPECT_NE(captured.outcome.exitCode, 0);
    EXPECT_NE(captured.output.find("\\\\FARAWAY-HOST"), std::string::npos) << captured.output;
    EXPECT_EQ(captured.output.find("has been up for"), std::string::npos) << captured.output;
}

}  // namespace
}  // namespace ombrix
