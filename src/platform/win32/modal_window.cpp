#include "platform/win32/modal_window.h"

#include "base/result.h"
#include "platform/process_files.h"
#include "platform/win32/modal_loop.h"

namespace ombrix::platform::win32 {

bool ModalWindow::RunModal(const CentredWindow& design, MessageBoxes& messages) {
    if (!CreateCentred(design, owner_) || !CreateContents()) {
        const DWORD error = ::GetLastError();
        Destroy();
        OpenFailed();
        messages.Show(base::WithReason(openFailure_, SystemErrorText(error)),
                      MessageStyle::OkExclamation);
        return false;
    }
    ::ShowWindow(Window(), SW_SHOWNORMAL);
    ::UpdateWindow(Window());
    platform::win32::RunModal(Window(), owner_);
    // Still there only when the program is being ended from outside.
    Destroy();
    return true;
}

void ModalWindow::OnClose() {
    ::EnableWindow(owner_, TRUE);
    Destroy();
}

}  // namespace ombrix::platform::win32
