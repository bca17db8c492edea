#include "results/results_form.h"

namespace ombrix::results {

void ResultsForm::PopUp_CopyClip_Click() {
    std::string reason;
    if (!clipboard_.PutText(text_, reason)) {
        messages_.Show("Ombrix could not put the results on the clipboard.\r\n\r\n" + reason,
                       platform::MessageStyle::OkExclamation);
    }
}

std::string DisplayText(std::string_view output) {
    std::string text;
    text.reserve(output.size() + output.size() / 32);
    for (std::size_t i = 0; i < output.size(); ++i) {
        const char c = output[i];
        if (c == '\r') {
            text += "\r\n";
            if (i + 1 < output.size() && output[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            text += "\r\n";
        } else {
            text += c == '\0' ? ' ' : c;
        }
    }
    return text;
}

}  // namespace ombrix::results
