#include "uptime/fleet/machine_list.h"

#include <algorithm>
#include <cstddef>
#include <unordered_set>
#include <utility>

#include "uptime/fleet/machine_names.h"
#include "uptime/logs/export_file.h"

namespace uptime {
namespace {

using ombrix::base::Failure;
using ombrix::base::FailureKind;

constexpr std::size_t kLongestName = 255;  // a DNS name's limit

// The list as UTF-8: Notepad and PowerShell save UTF-8 with or without a byte order mark, and
// UTF-16 with one; UTF-16 without a mark shows itself by the zero byte of its first letter.
std::string AsUtf8(std::string_view bytes) {
    const auto starts = [bytes](std::string_view mark) { return bytes.starts_with(mark); };
    if (starts("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
    }
    const bool little = starts("\xFF\xFE");
    const bool big = starts("\xFE\xFF");
    const bool unmarked = bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0';
    if (!little && !big && !unmarked) {
        return std::string(bytes);
    }
    std::string text;
    Utf16Decoder decoder(big);
    decoder.Decode(unmarked ? bytes : bytes.substr(2), text);
    decoder.Finish(text);
    return text;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Why the line's text is no machine name, in a sentence; empty when it is one.
std::string Refusal(std::size_t lineNumber, std::string_view name) {
    const std::string line = "Line " + std::to_string(lineNumber);
    const std::string quoted = line + ": \"" + std::string(name) + "\"";
    if (name.starts_with('/') || name.starts_with('-')) {
        return quoted + " looks like a switch, not a machine name.";
    }
    if (name.find('\\') != std::string_view::npos) {
        return quoted + " holds a \\, which no machine name does.";
    }
    if (name.find_first_of(" \t") != std::string_view::npos) {
        return quoted + " holds a blank: give one machine name per line.";
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return line + " holds a control character, which no machine name does.";
        }
    }
    if (!IsUtf8(name)) {
        return line + " is not UTF-8 text: save the list as UTF-8 or Unicode.";
    }
    if (name.size() > kLongestName) {
        return line + " is longer than any machine name can be.";
    }
    return {};
}

}  // namespace

ombrix::base::Result<std::vector<std::string>> ParseMachineList(std::string_view bytes) {
    const std::string text = AsUtf8(bytes);
    std::vector<std::string> names;
    std::size_t lineNumber = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        // A line ends at CR LF, LF or a lone CR.
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string_view line = std::string_view(text).substr(pos, end - pos);
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++lineNumber;
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        if (line.starts_with("\\\\")) {
            line.remove_prefix(2);
            if (line.empty()) {
                return Failure{"Line " + std::to_string(lineNumber) + ": no name follows \\\\.",
                               FailureKind::BadRequest};
            }
        }
        if (std::string refusal = Refusal(lineNumber, line); !refusal.empty()) {
            return Failure{std::move(refusal), FailureKind::BadRequest};
        }
        names.emplace_back(line);
    }
    if (names.empty()) {
        return Failure{"The list holds no machine names.", FailureKind::BadRequest};
    }
    return WithoutRepeats(std::move(names));
}

std::vector<std::string> WithoutRepeats(std::vector<std::string> names) {
    std::unordered_set<std::string> seen;
    std::vector<std::string> kept;
    kept.reserve(names.size());
    for (std::string& name : names) {
        if (seen.insert(NameKey(name)).second) {
            kept.push_back(std::move(name));
        }
    }
    return kept;
}

}  // namespace uptime
