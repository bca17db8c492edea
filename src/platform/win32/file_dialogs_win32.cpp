#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/message_boxes_win32.h"

namespace ombrix::platform::win32 {
namespace {

// "desc|pattern|desc|pattern" becomes the system's "desc\0pattern\0...\0\0".
std::string SystemFilter(const std::string& filter) {
    std::string result = filter;
    for (char& c : result) {
        if (c == '|') {
            c = '\0';
        }
    }
    result.append(2, '\0');
    return result;
}

// Both dialogs take the same settings; `open` tells which one to show.
std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogSettings& settings,
                                          bool open) {
    const std::string filter = SystemFilter(settings.filter);
    std::vector<char> file(32768, '\0');
    settings.fileName.copy(file.data(), file.size() - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = settings.title.c_str();
    dialog.Flags = settings.flags;
    const BOOL chosen = open ? ::GetOpenFileNameA(&dialog) : ::GetSaveFileNameA(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return std::string(file.data());
}

}  // namespace

std::optional<std::string> Win32FileDialogs::ShowOpen(const FileDialogSettings& settings) {
    return ShowFileDialog(owner_, settings, true);
}

std::optional<std::string> Win32FileDialogs::ShowSave(const FileDialogSettings& settings) {
    return ShowFileDialog(owner_, settings, false);
}

}  // namespace ombrix::platform::win32
