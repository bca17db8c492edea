#include "main/win32/main_menu.h"

#include "main/win32/main_window_ids.h"

namespace ombrix::main::win32 {

HMENU CreateMainMenu() {
    HMENU bar = ::CreateMenu();
    HMENU ombrix = ::CreatePopupMenu();
    ::AppendMenuA(ombrix, MF_STRING, kMenuProgramLocation, "Program Location");
    ::AppendMenuA(ombrix, MF_STRING | MF_CHECKED, kMenuShowCommandLine, "Show Command Line");
    ::AppendMenuA(ombrix, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(ombrix, MF_STRING, kMenuExit, "Exit");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, kMenuHelpIndex, "Index");
    ::AppendMenuA(help, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(help, MF_STRING, kMenuAbout, "About Ombrix");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(ombrix), "Ombrix");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
    return bar;
}

}  // namespace ombrix::main::win32
