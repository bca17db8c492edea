// Move-only owners of the window system's handles: top-level windows, GDI objects and menus.
#pragma once

#include <windows.h>

#include <utility>

namespace ombrix::platform::win32 {

template <typename Handle, typename Traits>
class UniqueOwner {
  public:
    UniqueOwner() = default;
    explicit UniqueOwner(Handle handle) : handle_(handle) {}
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    ~UniqueOwner() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

struct WindowTraits {
    static void Close(HWND window) { ::DestroyWindow(window); }
};
struct GdiTraits {
    static void Close(HGDIOBJ object) { ::DeleteObject(object); }
};
struct MenuTraits {
    static void Close(HMENU menu) { ::DestroyMenu(menu); }
};

// Only top-level windows are owned; controls die with their parent.
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;
using UniqueFont = UniqueOwner<HFONT, GdiTraits>;
using UniqueMenu = UniqueOwner<HMENU, MenuTraits>;

}  // namespace ombrix::platform::win32
