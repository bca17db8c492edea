// One move-only owner for every kind of system handle: the traits say how it is let go, and
// (where the system has a second "no handle" value) how a fresh one is taken in.
#pragma once

#include <utility>

namespace ombrix::platform::win32 {

template <typename Handle, typename Traits>
class UniqueOwner {
  public:
    UniqueOwner() = default;
    explicit UniqueOwner(Handle handle) : handle_(Adopt(handle)) {}
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
    // Hands the handle on (to the system, or to a window that frees it itself).
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Traits::Close(handle_);
        }
        handle_ = Adopt(handle);
    }

  private:
    static Handle Adopt(Handle handle) {
        if constexpr (requires { Traits::Adopt(handle); }) {
            return Traits::Adopt(handle);
        } else {
            return handle;
        }
    }

    Handle handle_ = nullptr;
};

}  // namespace ombrix::platform::win32
