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
    const Case cases[] = {
        {"", R"("")"},
        {"plain text", R"("plain text")"},
        {"say \"hi\" C:\\Windows", R"("say \"hi\" C:\\Windows")"},
        {"a/b", R"("a/b")"},
        {"tab\tline\nreturn\rback\bfeed\f", R"("tab\tline\nreturn\rback\bfeed\f")"},
        {std::string("nul\0end", 7), R"("nul\u0000end")"},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},  // DEL is allowed as it is
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"\xEF\xBF\xBF \xF4\x8F\xBF\xBF",
         "\"\xEF\xBF\xBF \xF4\x8F\xBF\xBF\""},  // the last ones allowed
        // Each maximal bad part becomes one U+FFFD.
        {"a\x80"
         "b",
         "\"a\xEF\xBF\xBD"
         "b\""},                                                       // a lone continuation
        {"\xE9t\xE9", "\"\xEF\xBF\xBDt\xEF\xBF\xBD\""},                // Latin-1
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong '/'
        {"\xE0\x80\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // overlong, 3 bytes
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // > U+10FFFF
        {"\xF5\xFE\xFF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // never in UTF-8
        {"\xE2\x82"
         "x",
         "\"\xEF\xBF\xBDx\""},                   // cut short
        {"\xF0\x9F\x98", "\"\xEF\xBF\xBD\""},    // cut by the end
        {"\xE2\x82\"", "\"\xEF\xBF\xBD\\\"\""},  // cut by a quote
    };
    for (const Case& c : cases) {
        const std::string json = JsonString(c.bytes);
        EXPECT_EQ(json, c.json) << c.bytes;
        StrictJson reader;
        EXPECT_TRUE(reader.Read(json)) << json;
    }
}

TEST(JsonTextTest, DocumentReadsBackWithItsStringsAndNumbers) {
    JsonText text;
    text.BeginObject();
    text.Key("version");
    text.String("1.0");
    text.Key("machines");
    text.BeginArray();
    text.BeginObject();
    text.Key("na\"me");
    text.String("PC\x01\xFF");
    text.Key("upSeconds");
    text.Integer(std::numeric_limits<std::int64_t>::min());
    text.Key("availability");
    text.Number(99.98765432109876);
    text.Key("empty");
    text.BeginArray();
    text.EndArray();
    text.EndObject();
    text.BeginObject();
    text.EndObject();
    text.EndArray();
    text.Key("notANumber");
    text.Number(std::nan(""));
    text.Key("tiny");
    text.Number(1e-300);
    text.Key("done");
    text.Boolean(false);
    text.Key("lastBoot");
    text.Null();
    text.EndObject();

    EXPECT_EQ(text.Text(),
              "{\"version\":\"1.0\",\"machines\":[{\"na\\\"me\":\"PC\\u0001\xEF\xBF\xBD\","
              "\"upSeconds\":-9223372036854775808,\"availability\":99.98765432109876,"
              "\"empty\":[]},{}],\"notANumber\":null,\"tiny\":1e-300,\"done\":false,"
              "\"lastBoot\":null}");
    StrictJson reader;
    ASSERT_TRUE(reader.Read(text.Text()));
    const std::vector<std::string> strings = {
        "version",   "1.0",          "machines", "na\"me",     "PC\x01\xEF\xBF\xBD",
        "upSeconds", "availability", "empty",    "notANumber", "tiny",
        "done",      "lastBoot"};
    EXPECT_EQ(reader.Strings(), strings);
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
