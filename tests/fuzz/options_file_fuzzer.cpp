// Arbitrary bytes as an options file. The parser must accept exactly what the format allows (the
// signature, then 13 lines: Booleans as words or numbers, 16-bit numbers with a sign and blanks
// around them, any number on line 2), read what those lines say, and write it back unchanged.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "options/options_file.h"

namespace {

using ombrix::options::FormatOptionsFile;
using ombrix::options::kOptionsSignature;
using ombrix::options::ParseOptionsFile;
using ombrix::options::StoredOptions;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "options file fuzzer: %s\n", what);
        std::abort();
    }
}

// The first 14 lines as a reader of text files sees them: split at LF, one CR before it dropped.
std::vector<std::string_view> FirstLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < bytes.size() && lines.size() < 14;) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view line = bytes.substr(start, end - start);
        if (end < bytes.size() && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The line without the blanks, tabs and CRs around its value.
std::string_view Trimmed(std::string_view line) {
    const std::size_t first = std::min(line.find_first_not_of(" \t\r"), line.size());
    return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

// A whole number of any size: digits, with one sign right before them.
bool IsNumber(std::string_view line) {
    std::string_view text = Trimmed(line);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return AllDigits(text);
}

// The line's number when it is one that fits 16 bits signed.
std::optional<long> NumberOf(std::string_view line) {
    if (!IsNumber(line)) {
        return std::nullopt;
    }
    std::string_view text = Trimmed(line);
    if (text.front() == '+') {
        text.remove_prefix(1);
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < -32768 ||
        value > 32767) {
        return std::nullopt;
    }
    return value;
}

bool SameBoolean(std::string_view line, bool value) {
    std::string lower(Trimmed(line));
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (lower == "true" || lower == "false") {
        return (lower == "true") == value;
    }
    // Any number: zero is False, whatever its sign or length.
    return IsNumber(line) && (lower.find_first_of("123456789") != std::string::npos) == value;
}

// The Boolean lines and the 16-bit number lines, counted from 0.
constexpr std::size_t kBooleanLines[] = {3, 4, 6, 7, 8, 13};
constexpr std::size_t kNumberLines[] = {9, 10, 11, 12};

// What the format allows, read line by line.
bool Allowed(std::string_view bytes) {
    const std::vector<std::string_view> lines = FirstLines(bytes);
    if (lines.size() != 14 || lines[0] != kOptionsSignature || !IsNumber(lines[1])) {
        return false;
    }
    return std::ranges::all_of(kBooleanLines,
                               [&](std::size_t i) {
                                   return SameBoolean(lines[i], true) ||
                                          SameBoolean(lines[i], false);
                               }) &&
           std::ranges::all_of(kNumberLines,
                               [&](std::size_t i) { return NumberOf(lines[i]).has_value(); });
}

void CheckAccepted(std::string_view bytes, const StoredOptions& options) {
    const std::vector<std::string_view> lines = FirstLines(bytes);
    Require(lines[2] == options.uptimePath, "UptimePath is not line 3");
    Require(lines[5] == options.machineName, "MachineName is not line 6");
    const bool booleans[] = {options.sinceDate,      options.remoteMachine,
                             options.showEvents,     options.showAppFailures,
                             options.restrictPeriod, options.showCommandLine};
    const int numbers[] = {options.day, options.month, options.year, options.dayCount};
    for (std::size_t i = 0; i < std::size(booleans); ++i) {
        Require(SameBoolean(lines[kBooleanLines[i]], booleans[i]), "a Boolean line");
    }
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        Require(NumberOf(lines[kNumberLines[i]]) == numbers[i], "a number line");
    }
    // The round trip also makes the writer stable: Format(Parse(written)) is Format(options).
    Require(ParseOptionsFile(FormatOptionsFile(options, kOptionsSignature), kOptionsSignature) ==
                options,
            "no round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto options = ParseOptionsFile(bytes, kOptionsSignature);
    Require(options.has_value() == Allowed(bytes),
            "rejected what the format allows, or the reverse");
    if (options) {
        CheckAccepted(bytes, *options);
    }
    return 0;
}
