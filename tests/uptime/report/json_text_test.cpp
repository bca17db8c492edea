// JSON text from whatever bytes a log holds: escapes, bytes that are not UTF-8, and documents
// read back by a strict reader written apart from the writer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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
        {"\xE2\x82"
         "x",
         "\"\xEF\xBF\xBDx\""},                   // cut short
        {"\xF0\x9F\x98", "\"\xEF\xBF\xBD\""},    // cut by the end
        {"\xE2\x82\"", "\"\xEF\xBF\xBD\\\"\""},  // cut by a quote
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
    }
}

// What the fuzzer does not write: a boolean, a number JSON cannot hold, the lowest integer.
TEST(JsonTextTest, WritesWhatTheFuzzerDoesNot) {
    JsonText text;
    text.BeginObject();
    text.Key("done");
    text.Boolean(false);
    text.Key("notANumber");
    text.Number(std::nan(""));
    text.Key("upSeconds");
    text.Integer(std::numeric_limits<std::int64_t>::min());
    text.EndObject();
    EXPECT_EQ(text.Text(), R"({"done":false,"notANumber":null,"upSeconds":-9223372036854775808})");
}

// The reader the fuzzer trusts must refuse what is not JSON or not UTF-8.
TEST(StrictJsonTest, RefusesWhatIsNotJsonOrNotUtf8) {
    const std::string refused[] = {
        "",
        "{",
        "[1,]",
        "{\"a\"}",
        "{\"a\":1,}",
        "01",
        "1.",
        "-",
        "1e",
        "\"\x01\"",
        "\"\\x\"",
        "\"\\ud800\"",
        "\"\\udc00\"",
        "\"\xC0\xAF\"",
        "\"\xED\xA0\x80\"",
        "\"\xF4\x90\x80\x80\"",
        "\"\xE2\x82\"",
        "nul",
        "[1] 2",
        "'a'",
    };
    for (const std::string& text : refused) {
        StrictJson reader;
        EXPECT_FALSE(reader.Read(text)) << text;
    }
    StrictJson reader;
    ASSERT_TRUE(reader.Read(" [0, -1.5e+3, true, \"\\ud83d\\ude00\\u00e9\\/\"] "));
    EXPECT_EQ(reader.Strings().at(0), "\xF0\x9F\x98\x80\xC3\xA9/");
}

}  // namespace
}  // namespace uptime
