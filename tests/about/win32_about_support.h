// What the Windows tests of the About box and System Information share: registry values set for
// one test, answered message boxes, and the record that helpers/launch_recorder writes.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::abouttest {

using namespace std::chrono_literals;

// Closes the key when it goes.
class UniqueKey {
  public:
    UniqueKey() = default;
    explicit UniqueKey(HKEY key) : key_(key) {}
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;
    ~UniqueKey() {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
        }
    }
    HKEY get() const { return key_; }
    HKEY* out() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

// One value under HKEY_LOCAL_MACHINE, changed for a test and put back as it was after it; the key
// is made when missing and removed again. An empty value name is the key's default value.
class RegistryValueGuard {
  public:
    RegistryValueGuard(std::string keyName, std::string valueName);
    ~RegistryValueGuard();
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    // `bytes` exactly as stored (add the terminating NUL of a text yourself).
    void Set(DWORD type, const std::string& bytes);
    void SetText(const std::string& text) { Set(REG_SZ, text + '\0'); }
    void Remove();

  private:
    std::string keyName_;
    std::string valueName_;
    bool createdKey_ = false;
    bool existed_ = false;
    DWORD type_ = 0;
    std::string bytes_;
};

// Answers every message box this thread shows with its OK button and records what it showed.
class MessageBoxWatcher {
  public:
    struct Shown {
        std::string title;
        std::string text;
        bool icon = false;
        int buttons = 0;
    };

    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<Shown> shown;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
};

// The lines of helpers/launch_recorder's record: "program=", "show=" and "arg=" lines.
struct LaunchRecord {
    std::string program;
    std::string show;
    std::vector<std::string> args;
};

// Waits for the record at `path`; nothing when none came in time.
std::optional<LaunchRecord> WaitForRecord(const std::string& path,
                                          std::chrono::milliseconds timeout = 10s);

// Copies helpers/launch_recorder to `path`, making its folders.
void InstallRecorder(const std::string& path);

// Text compared without regard to case, as Windows compares paths.
bool SamePath(const std::string& a, const std::string& b);

}  // namespace ombrix::abouttest
