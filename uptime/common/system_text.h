// Text between the tool's UTF-8 and the system: its code page, and its words for an error.
// Implemented with the rest of the tool's ties to the system (tool/win32, tool/posix).
#pragma once

#include <string>

#include "platform/process_files.h"

namespace uptime {

// The tool works in UTF-8; the command line and standard output use the system's code page.
std::string SystemTextToUtf8(const std::string& text);
std::string Utf8ToSystemText(const std::string& text);

// A system error as the tool prints it: the system's words without their closing period, then
// the code ("Access is denied, error 5"), unless the words, for a code the system has no text
// for, already end with it ("System error 1234").
inline std::string ReasonWithCode(std::string words, unsigned long code) {
    while (!words.empty() && words.back() == '.') {
        words.pop_back();
    }
    const std::string number = std::to_string(code);
    if (words.ends_with(" " + number)) {
        return words;
    }
    return words + ", error " + number;
}

// The same for the program's own SystemErrorText, in UTF-8.
inline std::string SystemReason(unsigned long code) {
    return ReasonWithCode(SystemTextToUtf8(ombrix::platform::SystemErrorText(code)), code);
}

}  // namespace uptime
