// Help, Index without the system: the path beside the program, the file test, the viewer call
// and the messages, with a viewer that records what it is asked.
#include "about/html_help.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::about {
namespace {

using platform::HelpCall;
using platform::HelpCommand;
using test::RecordingMessages;
using test::ScratchDir;

struct ViewerRequest {
    std::uintptr_t owner;
    std::string path;
    HelpCommand command;
    std::uintptr_t data;
};

class RecordingViewer final : public platform::HelpViewer {
  public:
    HelpCall Show(std::uintptr_t owner, const std::string& path, HelpCommand command,
                  std::uintptr_t data) override {
        requests.push_back({owner, path, command, data});
        return answer;
    }
    std::vector<ViewerRequest> requests;
    HelpCall answer{true, 0x5150, ""};
};

constexpr std::uintptr_t kOwner = 0x1234;

TEST(HelpFilePath, IsTheProgramFolderThenTheFileName) {
    const std::string folder = ScratchDir().path().string();
    EXPECT_EQ(HelpFilePath(folder), folder + platform::kPathSeparator + "OmbrixHelp.chm");
}

TEST(ShowHelpFile, WithoutAContextIdShowsTheDefaultTopic) {
    RecordingViewer viewer;
    const HelpCall call = ShowHelpFile(viewer, kOwner, "help.chm");
    ASSERT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(viewer.requests[0].owner, kOwner);
    EXPECT_EQ(viewer.requests[0].path, "help.chm");
    EXPECT_EQ(viewer.requests[0].command, HelpCommand::DisplayTopic);
    EXPECT_EQ(static_cast<unsigned>(viewer.requests[0].command), 0u);
    EXPECT_EQ(viewer.requests[0].data, 0u);
    EXPECT_EQ(call.window, viewer.answer.window);
}

TEST(ShowHelpFile, AContextIdShowsItsTopic) {
    RecordingViewer viewer;
    ShowHelpFile(viewer, kOwner, "help.chm", 42);
    ASSERT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(viewer.requests[0].command, HelpCommand::HelpContext);
    EXPECT_EQ(static_cast<unsigned>(viewer.requests[0].command), 15u);
    EXPECT_EQ(viewer.requests[0].data, 42u);
}

TEST(ShowHelpFile, AContextIdIsPassedAsA32BitValue) {
    RecordingViewer viewer;
    ShowHelpFile(viewer, kOwner, "help.chm", -1);
    ShowHelpFile(viewer, kOwner, "help.chm", 0);
    ASSERT_EQ(viewer.requests.size(), 2u);
    EXPECT_EQ(viewer.requests[0].data, std::uintptr_t{0xFFFFFFFFu});
    // A context id of 0 is still a context id.
    EXPECT_EQ(viewer.requests[1].command, HelpCommand::HelpContext);
    EXPECT_EQ(viewer.requests[1].data, 0u);
}

TEST(ShowHelpIndex, OpensTheFileBesideTheProgramAtItsDefaultTopic) {
    ScratchDir folder;
    test::WriteFile(folder.File("OmbrixHelp.chm"), "ITSF");
    RecordingViewer viewer;
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    ASSERT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(viewer.requests[0].owner, kOwner);
    EXPECT_TRUE(
        std::filesystem::equivalent(viewer.requests[0].path, folder.File("OmbrixHelp.chm")));
    EXPECT_EQ(viewer.requests[0].command, HelpCommand::DisplayTopic);
    EXPECT_EQ(viewer.requests[0].data, 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShowHelpIndex, WithoutTheFileSaysHelpIsNotAvailable) {
    ScratchDir folder;
    test::WriteFile(folder.File("OtherHelp.chm"), "ITSF");
    RecordingViewer viewer;
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    EXPECT_TRUE(viewer.requests.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Help not available at this time.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_EQ(static_cast<unsigned>(messages.shown[0].style), 48u);
}

TEST(ShowHelpIndex, AFolderOfTheFilesNameIsNoHelpFile) {
    ScratchDir folder;
    std::filesystem::create_directory(folder.path() / "OmbrixHelp.chm");
    RecordingViewer viewer;
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    EXPECT_TRUE(viewer.requests.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kHelpNotAvailableMessage);
}

TEST(ShowHelpIndex, AMissingViewerIsReportedWithTheSystemsReason) {
    ScratchDir folder;
    test::WriteFile(folder.File("OmbrixHelp.chm"), "ITSF");
    RecordingViewer viewer;
    viewer.answer = HelpCall{false, 0, "hhctrl.ocx: The specified module could not be found."};
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    ASSERT_EQ(viewer.requests.size(), 1u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              std::string(kHelpViewerMissingMessage) + "\r\n\r\n" + viewer.answer.reason);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_NE(messages.shown[0].text, kHelpNotAvailableMessage);
}

TEST(ShowHelpIndex, AFileTheViewerCannotShowIsLeftToTheViewer) {
    ScratchDir folder;
    test::WriteFile(folder.File("OmbrixHelp.chm"), "not a help file");
    RecordingViewer viewer;
    viewer.answer = HelpCall{true, 0, ""};  // the viewer opened nothing
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    EXPECT_EQ(viewer.requests.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShowHelpIndex, EachChoiceOfIndexAsksAgain) {
    ScratchDir folder;
    RecordingViewer viewer;
    RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    test::WriteFile(folder.File("OmbrixHelp.chm"), "ITSF");
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    std::filesystem::remove(folder.path() / "OmbrixHelp.chm");
    ShowHelpIndex(kOwner, messages, viewer, folder.path().string());
    EXPECT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(messages.shown.size(), 2u);
}

#ifndef _WIN32
TEST(SystemHelpViewer, IsUnavailableOutsideWindows) {
    const HelpCall call =
        platform::SystemHelpViewer().Show(kOwner, "help.chm", HelpCommand::DisplayTopic, 0);
    EXPECT_FALSE(call.viewerAvailable);
    EXPECT_EQ(call.window, 0u);
    EXPECT_FALSE(call.reason.empty());
}
#endif

}  // namespace
}  // namespace ombrix::about
