// Arbitrary record texts, keys and numbers written as one JSON document. Debian's nlohmann JSON
// parser, strict by default, must accept the text as JSON in valid UTF-8 and find every text
// again: unchanged when it was UTF-8, else with U+FFFD in place of what was not.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include "uptime/report/json_text.h"

namespace {

using Json = nlohmann::json;
using uptime::JsonText;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "JSON text fuzzer: %s\n", what);
        std::abort();
    }
}

// Every key and string of a document, decoded, in the order they stand; duplicates kept.
struct StringsInOrder final : nlohmann::json_sax<Json> {
    std::vector<std::string> strings;

    bool key(string_t& text) override { return Keep(text); }
    bool string(string_t& text) override { return Keep(text); }
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    bool Keep(const string_t& text) {
        strings.push_back(text);
        return true;
    }
};

// The parser's own writer refuses exactly the texts that are not UTF-8.
bool ValidUtf8(const std::string& text) {
    try {
        static_cast<void>(Json(text).dump());
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::string> written;
    JsonText text;
    text.BeginObject();
    text.Key("events");
    text.BeginArray();
    while (input.remaining_bytes() > 0) {
        text.BeginObject();
        for (int member = input.ConsumeIntegralInRange(0, 3); member > 0; --member) {
            written.push_back(input.ConsumeRandomLengthString(64));
            text.Key(written.back());
            switch (input.ConsumeIntegralInRange(0, 3)) {
                case 0:
                    written.push_back(input.ConsumeRandomLengthString(256));
                    text.String(written.back());
                    break;
                case 1: {
                    // An integer as its decimal digits, down to the least int64_t.
                    const auto value = input.ConsumeIntegral<std::int64_t>();
                    JsonText integer;
                    integer.Integer(value);
                    Require(integer.Text() == std::to_string(value), "an integer's digits differ");
                    text.Integer(value);
                    break;
                }
                case 2: {
                    // A finite number reads back as the same double; any other becomes null.
                    const double value = input.ConsumeFloatingPoint<double>();
                    JsonText number;
                    number.Number(value);
                    Require(std::isfinite(value)
                                ? std::strtod(number.Text().c_str(), nullptr) == value
                                : number.Text() == "null",
                            "a number read back differs, or one JSON cannot hold is not null");
                    text.Number(value);
                    break;
                }
                default:
                    text.Null();
                    break;
            }
        }
        text.EndObject();
    }
    text.EndArray();
    text.EndObject();

    StringsInOrder reader;
    Require(Json::sax_parse(text.Text(), &reader), "the document is not JSON in valid UTF-8");
    const std::vector<std::string>& read = reader.strings;
    Require(read.size() == written.size() + 1, "a text went missing");
    for (std::size_t index = 0; index < written.size(); ++index) {
        const std::string& back = read[index + 1];
        if (ValidUtf8(written[index])) {
            Require(back == written[index], "changed a text that was UTF-8");
        } else {
            Require(back.find("\xEF\xBF\xBD") != std::string::npos,
                    "dropped a byte that was not UTF-8");
            Require(back.size() <= 3 * written[index].size(), "replaced more than the bad bytes");
        }
    }
    return 0;
}
