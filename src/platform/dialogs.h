// Dialogs: the message boxes the program shows.
#pragma once

#include <string>

namespace ombrix::platform {

// Message box styles as the system numbers them.
enum class MessageStyle : unsigned {
    OkOnly = 0,          // OK button, no icon
    OkExclamation = 48,  // OK button and the exclamation icon
};

inline constexpr const char* kApplicationTitle = "Ombrix";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal message box titled with the application title; returns when it is closed.
    virtual void Show(const std::string& text, MessageStyle style) = 0;
};

}  // namespace ombrix::platform
