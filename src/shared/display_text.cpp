#include "shared/display_text.h"

namespace ombrix::shared {

std::string DisplayText(std::string_view output) {
    std::string text;
    text.reserve(output.size() + output.size() / 64);
    std::size_t i = 0;
    while (i < output.size()) {
        // Copy the plain run up to the next character that needs looking at in one piece.
        std::size_t plain = i;
        while (plain < output.size() && output[plain] != '\r' && output[plain] != '\n' &&
               output[plain] != '\0') {
            ++plain;
        }
        text.append(output, i, plain - i);
        if (plain == output.size()) {
            break;
        }
        const char c = output[plain];
        i = plain + 1;
        if (c == '\0') {
            text += ' ';
        } else {
            text += "\r\n";
            if (c == '\r' && i < output.size() && output[i] == '\n') {
                ++i;
            }
        }
    }
    return text;
}

}  // namespace ombrix::shared
