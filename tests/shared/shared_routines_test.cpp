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
        {"0x10", std::nullopt, false},  // not decimal
        {"", std::nullopt, false},
        {"   ", std::nullopt, false},
        {"TRUE", std::nullopt, false},  // a word is no number, whatever CInt would make of it
        {"+", std::nullopt, false},
        {"--5", std::nullopt, false},
        {"- 5", std::nullopt, false},  // the sign belongs to the digits right after it
        {"1 2", std::nullopt, false},  // a blank inside would hide a typing slip
        {"1.0", std::nullopt, false},  // whole numbers only: the writer never wrote a point
        {"1e3", std::nullopt, false},
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
        {"a\nb\n", "a\r\nb\r\n"},           {"a\rb", "a\r\nb"}, {"a\r\r\nb", "a\r\n\r\nb"},
        {std::string("a\0b\0", 4), "a b "},  // a NUL would end the text
        {"a\r\nb\r\n", "a\r\nb\r\n"},
    };
    for (const auto& [output, shown] : cases) {
        EXPECT_EQ(DisplayText(output), shown) << output;
    }
}

}  // namespace
}  // namespace ombrix::shared
