// Ombrix.exe: starts the main window, which is the whole program.
#include <windows.h>
#include <commctrl.h>

#include "main/win32/main_window.h"
#include "platform/win32/window_procedure.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    try {
        ombrix::main::win32::MainWindow window;
        return window.Run();
    } catch (const std::exception& failure) {
        ombrix::platform::win32::ReportUnexpectedFailure(nullptr, failure);
    }
    return 1;
}
