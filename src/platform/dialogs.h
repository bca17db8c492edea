// Dialogs: the message boxes the program shows.
#pragma once

#include <optional>
#include <string>

namespace ombrix::platform {

// Message box styles as the system numbers them.
enum class MessageStyle : unsigned {
    OkOnly = 0,          // OK button, no icon
    OkExclamation = 48,  // OK button and the exclamation icon
};

inline constexpr const char* kApplicationTitle = "Ombrix";
// What a step that ran out of memory says: in practice, one over a huge report.
inline constexpr const char* kOutOfMemoryMessage =
    "Ombrix does not have the memory to do that: the report is too large for the memory "
    "available.";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal message box titled with the application title; returns when it is closed.
    virtual void Show(const std::string& text, MessageStyle style) = 0;
};

// The settings of a standard file dialog. The filter takes the "description|pattern" form,
// entries joined by "|".
struct FileDialogSettings {
    std::string title;
    std::string filter;
    std::string fileName;
    unsigned flags = 0;  // OFN_ flags as the system numbers them
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The chosen file's full path, or nothing when the user cancelled or the dialog failed.
    virtual std::optional<std::string> ShowOpen(const FileDialogSettings& settings) = 0;
    // The Save dialog, answered the same way. One that cannot save files answers as if cancelled.
    virtual std::optional<std::string> ShowSave(const FileDialogSettings& /*settings*/) {
        return std::nullopt;
    }
};

}  // namespace ombrix::platform
