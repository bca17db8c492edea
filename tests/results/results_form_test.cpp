// The results window's logic: the text it shows, Copy, and the end of the launch.
#include <gtest/gtest.h>

#include "results/results_form.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

struct FakeClipboard final : platform::Clipboard {
    bool PutText(const std::string& text, std::string& reason) override {
        if (!available) {
            reason = "The clipboard is held by another program.";
            return false;
        }
        content = text;
        return true;
    }
    bool available = true;
    std::string content;
};

TEST(DisplayText, ShowsEveryOutputWhole) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {std::string("a\0b\0", 4), "a b "},  // a NUL would end the text
        {"", ""},
        {"no line end", "no line end"},
        {"\xe9t\xe9\r\n", "\xe9t\xe9\r\n"},  // ANSI bytes pass unchanged
    };
    for (const auto& [output, shown] : cases) {
        EXPECT_EQ(DisplayText(output), shown) << output;
    }
}

TEST(ResultsForm, CopiesTheWholeTextOrSaysWhyNotAndClosingEndsTheLaunch) {
    bool launchActive = true;
    FakeClipboard clipboard;
    test::RecordingMessages messages;
    ResultsForm form("line 1\nline 2\n", launchActive, clipboard, messages);
    form.PopUp_CopyClip_Click();
    EXPECT_EQ(clipboard.content, "line 1\r\nline 2\r\n");
    EXPECT_TRUE(messages.shown.empty());

    clipboard.available = false;
    form.PopUp_CopyClip_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Ombrix could not put the results on the clipboard.\r\n\r\nThe clipboard is held "
              "by another program.");
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);

    EXPECT_TRUE(launchActive);
    form.Form_Unload();
    EXPECT_FALSE(launchActive);
}

}  // namespace
}  // namespace ombrix::results
