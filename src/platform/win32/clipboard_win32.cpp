#include "platform/win32/clipboard_win32.h"

#include <cstring>

#include "platform/process_files.h"
#include "platform/win32/last_failure.h"

namespace ombrix::platform::win32 {
namespace {

class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) {
        // Another program may hold the clipboard for a moment.
        for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
            open_ = ::OpenClipboard(owner) != FALSE;
            if (!open_) {
                ::Sleep(10);
            }
        }
    }
    ~OpenedClipboard() {
        if (open_) {
            ::CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

class GlobalMemory {
  public:
    explicit GlobalMemory(std::size_t size) : memory_(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalMemory() {
        if (memory_ != nullptr) {
            ::GlobalFree(memory_);
        }
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    HGLOBAL get() const { return memory_; }
    // After the clipboard has taken it, it is the clipboard's to free.
    void release() { memory_ = nullptr; }

  private:
    HGLOBAL memory_;
};

}  // namespace

base::Result<> Win32Clipboard::PutText(const std::string& text) {
    OpenedClipboard clipboard(owner_);
    if (!clipboard.IsOpen()) {
        return win32::LastFailure();
    }
    if (!::EmptyClipboard()) {
        return win32::LastFailure();
    }
    GlobalMemory memory(text.size() + 1);
    void* bytes = memory.get() != nullptr ? ::GlobalLock(memory.get()) : nullptr;
    if (bytes == nullptr) {
        return win32::LastFailure();
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory.get());
    if (::SetClipboardData(CF_TEXT, memory.get()) == nullptr) {
        return win32::LastFailure();
    }
    memory.release();
    return {};
}

}  // namespace ombrix::platform::win32
