// The tool's output as a text box or message box shows it.
#include <gtest/gtest.h>

#include <string>

#include "shared/display_text.h"

namespace ombrix::shared {
namespace {

TEST(DisplayText, ShowsEveryOutputWholeWithCrLfLineEnds) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {std::string("a\0b\0", 4), "a b "},  // a NUL would end the text
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"\t\x0B\x0C\x0E\x80\xFF", "\t\x0B\x0C\x0E\x80\xFF"},  // other bytes stay
    };
    for (const auto& [output, shown] : cases) {
        EXPECT_EQ(DisplayText(output), shown) << output;
        EXPECT_EQ(ToDisplayText(output), shown) << output;
    }
}

TEST(FindControlByte, FindsTheFirstByteBelow0x0EWhereverItLies) {
    // At every place of two words and a tail: the control bytes, and two that are none.
    for (std::size_t at = 0; at < 18; ++at) {
        for (const char control : {'\0', '\t', '\n', '\r', '\x0E', '\x8D'}) {
            std::string text(19, 'a');
            text[at] = control;
            text[18] = '\xFF';
            const std::size_t expected =
                static_cast<unsigned char>(control) < 0x0E ? at : text.size();
            EXPECT_EQ(FindControlByte(text, 0), expected) << at << " " << int{control};
            EXPECT_EQ(FindControlByte(text, at + 1), text.size()) << "from past it, " << at;
        }
    }
}

}  // namespace
}  // namespace ombrix::shared
