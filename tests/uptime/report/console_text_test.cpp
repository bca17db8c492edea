// The text face's safety: a report's own text passes byte for byte, a log's hostile texts do not.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "uptime/report/console_text.h"

namespace uptime {
namespace {

constexpr const char* kBad = "\xEF\xBF\xBD";  // U+FFFD

TEST(ConsoleTextTest, KeepsLineEndsAndTextReplacesWhatWouldUpsetAConsole) {
    using std::string;
    const std::pair<string, string> cases[] = {
        {"\\\\PC  99.9985%\r\n  \xC3\xA9t\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80\t|\r\n",
         "\\\\PC  99.9985%\r\n  \xC3\xA9t\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x98\x80\t|\r\n"},
        {"\xC2\x85\xC2\x9B\xC2\xA0", string(kBad) + kBad + "\xC2\xA0"},  // C1; NBSP stays
        {"one\rtwo\nthree\r\n", string("one") + kBad + "two" + kBad + "three\r\n"},
        {"\xE2\x80\xAE\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8F",
         string(kBad) + kBad + kBad + "\xE2\x80\x8F"},            // a mark stays
        {"\xF5\x80\x80\x80", string(kBad) + kBad + kBad + kBad},  // no lead byte past F4
    };
    for (const auto& [raw, shown] : cases) {
        EXPECT_EQ(ConsoleText(raw), shown) << raw;
    }
}

}  // namespace
}  // namespace uptime
