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
constexpr std::uintptr_t kOwner = 0x1234;
const HelpCall kOpened{true, 0x5150, ""};

struct ViewerRequest {
    std::uintptr_t owner;
    std::string path;
    HelpCommand command;
    std::uintptr_t data;
};

struct RecordingViewer final : platform::HelpViewer {
    HelpCall Show(std::uintptr_t owner, const std::string& path, HelpCommand command,
                  std::uintptr_t data) override {
        requests.push_back({owner, path, command, data});
        return answer;
    }
    std::vector<ViewerRequest> requests;
    HelpCall answer = kOpened;
};

TEST(HelpFilePath, IsTheProgramFolderThenTheFileName) {
    EXPECT_EQ(HelpFilePath("C:\\Ombrix"),
              std::string("C:\\Ombrix") + platform::kPathSeparator + "OmbrixHelp.chm");
}

TEST(ShowHelpFile, AContextIdShowsItsTopicAsA32BitValue) {
    using Asked = std::pair<HelpCommand, std::uintptr_t>;
    const auto asked = [](std::optional<std::int32_t> contextId) {
        RecordingViewer viewer;
        EXPECT_EQ(ShowHelpFile(viewer, kOwner, "help.chm", contextId).window, 0x5150u);
        EXPECT_EQ(viewer.requests.size(), 1u);
        EXPECT_EQ(viewer.requests.at(0).owner, kOwner);
        EXPECT_EQ(viewer.requests[0].path, "help.chm");
        return Asked{viewer.requests[0].command, viewer.requests[0].data};
    };
    EXPECT_EQ(asked(std::nullopt), Asked(HelpCommand::DisplayTopic, 0));
    EXPECT_EQ(asked(42), Asked(HelpCommand::HelpContext, 42));
    EXPECT_EQ(asked(0), Asked(HelpCommand::HelpContext, 0));
    EXPECT_EQ(asked(-1), Asked(HelpCommand::HelpContext, 0xFFFFFFFFu));
}

// Help, Index with `name` in the program's folder (a folder of that name when `asFolder`) and
// the viewer answering `answer`: how often the viewer was asked, and the message, "" for none.
std::pair<std::size_t, std::string> Index(const char* name, const HelpCall& answer,
                                          bool asFolder = false) {
    test::ScratchDir dir;
    if (asFolder) {
        std::filesystem::create_directory(dir.File(name));
    } else {
        test::WriteFile(dir.File(name), "ITSF");
    }
    RecordingViewer viewer;
    viewer.answer = answer;
    test::RecordingMessages messages;
    ShowHelpIndex(kOwner, messages, viewer, dir.path().string());
    for (const ViewerRequest& request : viewer.requests) {
        EXPECT_EQ(request.owner, kOwner);
        EXPECT_TRUE(std::filesystem::equivalent(request.path, dir.File(name)));
        EXPECT_EQ(request.command, HelpCommand::DisplayTopic);
        EXPECT_EQ(request.data, 0u);
    }
    EXPECT_LE(messages.shown.size(), 1u);
    for (const test::ShownMessage& shown : messages.shown) {
        EXPECT_EQ(shown.style, platform::MessageStyle::OkExclamation);
    }
    return {viewer.requests.size(), messages.shown.empty() ? "" : messages.shown[0].text};
}

TEST(ShowHelpIndex, OpensTheFileBesideTheProgramOrSaysWhyNot) {
    using Outcome = std::pair<std::size_t, std::string>;
    const std::string missing = kHelpViewerMissingMessage;
    // One after another: what an earlier choice of Index found is not remembered.
    EXPECT_EQ(Index("OmbrixHelp.chm", kOpened), Outcome(1, ""));
    // A file the viewer cannot show is left to the viewer to report.
    EXPECT_EQ(Index("OmbrixHelp.chm", {true, 0, ""}), Outcome(1, ""));
    EXPECT_EQ(Index("OtherHelp.chm", kOpened), Outcome(0, "Help not available at this time."));
    EXPECT_EQ(Index("OmbrixHelp.chm", kOpened, true), Outcome(0, kHelpNotAvailableMessage));
    EXPECT_EQ(Index("OmbrixHelp.chm", {false, 0, "hhctrl.ocx: gone."}),
              Outcome(1, missing + "\r\n\r\nhhctrl.ocx: gone."));
    EXPECT_EQ(Index("OmbrixHelp.chm", {false, 0, ""}), Outcome(1, missing));
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
