#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/system_library.h"

namespace ombrix::platform::win32 {
namespace {

// The dialogs' library, loaded the first time a dialog is shown.
SystemLibrary& CommonDialogs() {
    static SystemLibrary library("comdlg32.dll");
    return library;
}

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
    const auto show = open ? CommonDialogs().Find<decltype(::GetOpenFileNameA)>("GetOpenFileNameA")
                           : CommonDialogs().Find<decltype(::GetSaveFileNameA)>("GetSaveFileNameA");
    if (!show) {
        // Answered as a dialog that failed, once the user knows why nothing opens.
        Win32MessageBoxes(owner).Show(
            base::WithReason("Ombrix could not open the file dialog.", show.Reason()),
            MessageStyle::OkExclamation);
        return std::nullopt;
    }
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
    if (!(*show)(&dialog)) {
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
