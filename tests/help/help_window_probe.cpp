// Opens the help beside it through the system's viewer, as Help, Index does, and ends with the
// help window still open, so that the viewer is let go while the program ends. With "unowned"
// the help window has no owner and outlives every window of the program.
// Exit codes: 0 ended cleanly, 2 no window, 3 no help window, 4 a message was shown.
#include <windows.h>

#include <cstring>

#include "about/html_help.h"
#include "platform/win32/window_handles.h"

namespace {

struct CountingMessages final : ombrix::platform::MessageBoxes {
    void Show(const std::string&, ombrix::platform::MessageStyle) override { ++shown; }
    int shown = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const bool unowned = argc > 1 && std::strcmp(argv[1], "unowned") == 0;
    ombrix::platform::win32::UniqueWindow owner(
        ::CreateWindowExA(0, "STATIC", "Help owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                          200, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
    if (!owner) {
        return 2;
    }
    CountingMessages messages;
    ombrix::about::ShowHelpIndex(unowned ? 0 : reinterpret_cast<std::uintptr_t>(owner.get()),
                                 messages);
    if (messages.shown != 0) {
        return 4;
    }
    // A help window of this process.
    bool helpShown = false;
    for (HWND help = nullptr; (help = ::FindWindowExA(nullptr, help, "HH Parent", nullptr));) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(help, &process);
        helpShown = helpShown || process == ::GetCurrentProcessId();
    }
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&message);
    }
    owner.reset();
    return helpShown ? 0 : 3;
}
