// JSON text from whatever bytes a log holds: the bytes that are not UTF-8. Whole documents are
// the fuzzer's, which reads them back with a strict parser.
#include <gtest/gtest.h>

#include <string>

#include "uptime/report/json_text.h"

namespace uptime {
namespace {

TEST(JsonStringTest, EscapesAndReplacesWhatJsonCannotHoldAsIs) {
    struct Case {
        std::string bytes;
        std::string json;
    };
    // Escapes, and UTF-8 kept as it is, are the fuzzer's to check: it reads every text back.
    const Case cases[] = {
        {"\xEF\xBF\xBF \xF4\x8F\xBF\xBF",
         "\"\xEF\xBF\xBF \xF4\x8F\xBF\xBF\""},  // the last ones allowed
        // Each maximal bad part becomes one U+FFFD. (That nothing else but UTF-8 gets through
        // is the fuzzer's to check too.)
        {"\xE2\x82-", "\"\xEF\xBF\xBD-\""},    // cut short
        {"\xF0\x9F\x98", "\"\xEF\xBF\xBD\""},  // cut by the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
    }
}

}  // namespace
}  // namespace uptime
