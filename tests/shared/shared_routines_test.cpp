// The shared readings: whole numbers as the options file holds them, and the tool's output as a
// text box or message box shows it.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "shared/display_text.h"
#include "shared/whole_number.h"

namespace ombrix::shared {
namespace {

TEST(ReadWholeNumber, LenientWithSignsAndBlanksStrictWithWhatIsNoNumber) {
    constexpr std::int64_t kLeast = -32768;
    constexpr std::int64_t kMost = 32767;
    const struct {
        const char* text;
        std::optional<std::int64_t> value;  // within -32768..32767
        bool number;                        // a whole number at all, whatever its size
    } rows[] = {
        {"-32768", -32768, true},
        {"32767", 32767, true},
        {"32768", std::nullopt, true},  // a number, outside 16 bits
        {"-32769", std::nullopt, true},
        {"99999999999999999999999", std::nullopt, true},  // too long for any range, still a number
        {"000000000000000000000032767", 32767, true},     // leading zeros drop out
        {"+5", 5, true},                                  // a plus sign, as Val and CInt take it
        {" 7", 7, true},                                  // blanks around, as CInt takes them
        {"7\t ", 7, true},
        {"-0", 0, true},                // a signed zero is zero
        {"0x10", std::nullopt, false},  // not decimal, nor a word whatever CInt would make of it
        {"", std::nullopt, false},
        {"   ", std::nullopt, false},
        {"+", std::nullopt, false},
        {"--5", std::nullopt, false},
        {"- 5", std::nullopt, false},  // no blank after the sign, nor inside the digits
        {"1.0", std::nullopt, false},  // whole numbers only: the writer never wrote a point
        {"\xEF\xBB\xBF"
         "5",
         std::nullopt, false},
    };
    for (const auto& row : rows) {
        const std::string text = row.text;
        EXPECT_EQ(ReadWholeNumber(text, kLeast, kMost), row.value) << '"' << text << '"';
        EXPECT_EQ(IsWholeNumber(text), row.number) << '"' << text << '"';
    }
}

TEST(DisplayText, ShowsEveryOutputWholeWithCrLfLineEnds) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {std::string("a\0b\0", 4), "a b "},  // a NUL would end the text
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"\t\x0B\x0C\x0E\x80\xFF", "\t\x0B\x0C\x0E\x80\xFF"},  // other bytes stay
        // Past the first eight bytes, which are looked at a word at a time.
        {"0123456789\n" + std::string(20, 'x') + "\r",
         "0123456789\r\n" + std::string(20, 'x') + "\r\n"},
    };
    for (const auto& [output, shown] : cases) {
        EXPECT_EQ(DisplayText(output), shown) << output;
        EXPECT_EQ(ToDisplayText(output), shown) << output;
    }
    // Without a lone line end the output becomes display text where it lies: no second copy.
    std::string large = std::string(1000, 'x') + std::string(1, '\0') + "\r\n";
    const char* storage = large.data();
    const std::string shown = ToDisplayText(std::move(large));
    EXPECT_EQ(shown.data(), storage);
    EXPECT_EQ(shown, std::string(1000, 'x') + " \r\n");
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
