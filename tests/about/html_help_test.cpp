// Help, Index without the system: the file beside the program, shown through a viewer that
// records what it is asked, or a message saying why not.
#include "about/html_help.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/test_support.h"

namespace ombrix::about {
namespace {

using platform::HelpCommand;
constexpr std::uintptr_t kOwner = 0x1234;

struct RecordingViewer final : platform::HelpViewer {
    base::Result<std::uintptr_t> Show(std::uintptr_t owner, const std::string& path,
                                      HelpCommand command, std::uintptr_t data) override {
        EXPECT_EQ(owner, kOwner);
        EXPECT_EQ(command, HelpCommand::DisplayTopic);
        EXPECT_EQ(data, 0u);
        paths.push_back(path);
        return answer;
    }
    std::vector<std::string> paths;
    base::Result<std::uintptr_t> answer = std::uintptr_t{0x5150};
};

TEST(ShowHelpIndex, OpensTheFileBesideTheProgram) {
    test::ScratchDir dir;
    test::WriteFile(dir.File("OmbrixHelp.chm"), "ITSF");
    RecordingViewer viewer;
    test::RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, dir.path().string());
    ASSERT_EQ(viewer.paths.size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(viewer.paths[0], dir.File("OmbrixHelp.chm")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShowHelpIndex, WithoutTheFileSaysHelpIsNotAvailableAndCallsNoViewer) {
    test::ScratchDir dir;
    test::WriteFile(dir.File("OtherHelp.chm"), "ITSF");
    std::filesystem::create_directory(dir.File("sub"));
    std::filesystem::create_directory(dir.File("sub/OmbrixHelp.chm"));  // a folder is no file
    for (const std::string& folder : {dir.path().string(), dir.File("sub")}) {
        RecordingViewer viewer;
        test::RecordingMessages messages;
        ShowHelpIndex(kOwner, messages, viewer, folder);
        EXPECT_TRUE(viewer.paths.empty());
        ASSERT_EQ(messages.shown.size(), 1u) << folder;
        EXPECT_EQ(messages.shown[0].text, "Help not available at this time.");
        EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    }
}

TEST(ShowHelpIndex, AMissingViewerIsToldWithItsReason) {
    test::ScratchDir dir;
    test::WriteFile(dir.File("OmbrixHelp.chm"), "ITSF");
    RecordingViewer viewer;
    viewer.answer = base::Failure{"hhctrl.ocx: gone."};
    test::RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, dir.path().string());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              std::string(kHelpViewerMissingMessage) + "\r\n\r\nhhctrl.ocx: gone.");
}

}  // namespace
}  // namespace ombrix::about
