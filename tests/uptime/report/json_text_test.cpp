// JSON text from whatever bytes a log holds: escapes, bytes that are not UTF-8, and documents
// read back by a strict reader written apart from the writer.
#include <gtest/gtest.h>

#include <string>

#include "fuzz/strict_json.h"
#include "uptime/report/json_text.h"

namespace uptime {
namespace {

using ombrix::testing::StrictJson;

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

// The fuzzer takes whatever this reader accepts as JSON: it must refuse what a faulty writer
// would write (a stray comma, an unclosed document, a raw control, a lone surrogate, bytes that
// are not UTF-8). A reader that refused too much would fail the fuzzer loudly.
TEST(StrictJsonTest, RefusesWhatAFaultyWriterWouldWrite) {
    for (const std::string text :
         {"{\"a\":1,}", "[1", "1.", "\"\x01\"", "\"\\ud800\"", "\"\xC0\xAF\"", "[1] 2"}) {
        StrictJson reader;
        EXPECT_FALSE(reader.Read(text)) << text;
    }
}

}  // namespace
}  // namespace uptime
