// A window shown modally over its owner: made centred over it, run until it is closed, and one
// message with the system's reason when it cannot be opened.
#pragma once

#include <windows.h>

#include "platform/dialogs.h"
#include "platform/win32/base_window.h"

namespace ombrix::platform::win32 {

class ModalWindow : public BaseWindow {
  protected:
    // `openFailure` is the sentence shown when the window cannot be opened.
    ModalWindow(HWND owner, const char* openFailure) : owner_(owner), openFailure_(openFailure) {}

    // Makes the window and its contents, shows it and returns when it is closed. A window that
    // could not be opened is told through `messages`, with the system's reason; false then.
    bool RunModal(const CentredWindow& design, MessageBoxes& messages);

    HWND Owner() const { return owner_; }

    // The controls and whatever the window shows at first; false when they could not be made
    // (GetLastError says why).
    virtual bool CreateContents() = 0;
    // The window could not be opened; called before the user is told.
    virtual void OpenFailed() {}
    // The owner comes back before this window goes, so that it, not another program, is
    // activated.
    void OnClose() override;

  private:
    HWND owner_;
    const char* openFailure_;
};

}  // namespace ombrix::platform::win32
