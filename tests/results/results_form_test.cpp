// The results window's logic: the text it shows, Copy, and the end of the launch.
#include <gtest/gtest.h>

#include "results/results_form.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

class FakeClipboard final : public platform::Clipboard {
  public:
    bool PutText(const std::string& text, std::string& reason) override {
        if (!available) {
            reason = "The clipboard is held by another program.";
            return false;
        }
        content = text;
        return true;
    }
    bool available = true;
    std::string content = "what was there before";
};

TEST(DisplayText, ShowsEveryOutputWhole) {
    EXPECT_EQ(DisplayText("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(DisplayText("a\nb\n"), "a\r\nb\r\n") << "lone LF";
    EXPECT_EQ(DisplayText("a\rb"), "a\r\nb") << "lone CR";
    EXPECT_EQ(DisplayText("a\r\r\nb"), "a\r\n\r\nb");
    EXPECT_EQ(DisplayText(std::string("a\0b\0", 4)), "a b ") << "a NUL would end the text";
    EXPECT_EQ(DisplayText(""), "");
    EXPECT_EQ(DisplayText("no line end"), "no line end");
    EXPECT_EQ(DisplayText("\xe9t\xe9\r\n"), "\xe9t\xe9\r\n") << "ANSI bytes pass unchanged";
}

TEST(ResultsForm, CopyPutsTheWholeTextOnTheClipboard) {
    bool launchActive = true;
    FakeClipboard clipboard;
    test::RecordingMessages messages;
    ResultsForm form("line 1\nline 2\n", launchActive, clipboard, messages);
    EXPECT_EQ(form.Text(), "line 1\r\nline 2\r\n");
    form.PopUp_CopyClip_Click();
    EXPECT_EQ(clipboard.content, form.Text());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ResultsForm, ClipboardFailureIsToldWithItsReason) {
    bool launchActive = true;
    FakeClipboard clipboard;
    clipboard.available = false;
    test::RecordingMessages messages;
    ResultsForm form("report", launchActive, clipboard, messages);
    form.PopUp_CopyClip_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("held by another program"), std::string::npos);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
}

TEST(ResultsForm, ClosingLetsTheNextLaunchThrough) {
    bool launchActive = true;
    FakeClipboard clipboard;
    test::RecordingMessages messages;
    ResultsForm form("x", launchActive, clipboard, messages);
    form.Form_Unload();
    EXPECT_FALSE(launchActive);
    form.Form_Unload();
    EXPECT_FALSE(launchActive) << "closing twice is harmless";
}

}  // namespace
}  // namespace ombrix::results
