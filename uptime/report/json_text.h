// JSON text that is always valid JSON and valid UTF-8, whatever bytes the logs hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uptime {

// A JSON string literal, quotes included: quotes, backslashes and control characters escaped;
// bytes that are not UTF-8 (overlong forms, surrogates, code points past U+10FFFF, cut
// sequences) each replaced by U+FFFD, one per maximal bad part as Unicode recommends.
std::string JsonString(std::string_view bytes);

// Writes one JSON document in order: the caller opens and closes objects and arrays and gives
// every member's key before its value. Commas are placed here.
class JsonText {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view name);

    void String(std::string_view text);
    void Integer(std::int64_t value);
    // The shortest text that reads back as the same double; null for NaN and infinities, which
    // JSON cannot hold.
    void Number(double value);
    void Null();

    const std::string& Text() const { return text_; }

  private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);

    std::string text_;
    std::vector<bool> hasMembers_;  // per open object or array: a comma goes before the next
    bool afterKey_ = false;
};

}  // namespace uptime
