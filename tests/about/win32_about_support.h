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

// One HKLM value changed for a test and put back after it; a key made for it is removed again.
// An empty value name is the key's default value.
class RegistryValueGuard {
  public:
    RegistryValueGuard(std::string keyName, std::string valueName);
    ~RegistryValueGuard();
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    void Set(DWORD type, const std::string& bytes);  // add a text's NUL yourself
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

// Answers every message box this thread shows with OK and records what it showed.
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

// helpers/launch_recorder's record: its "program=", "show=" and "arg=" lines.
struct LaunchRecord {
    std::string program;
    std::string show;
    std::vector<std::string> args;
};

// Nothing when no record came in time.
std::optional<LaunchRecord> WaitForRecord(const std::string& path,
                                          std::chrono::milliseconds timeout = 10s);

// Copies helpers/launch_recorder to `path`, making its folders.
void InstallRecorder(const std::string& path);

// Without regard to case, as Windows compares paths.
bool SamePath(const std::string& a, const std::string& b);

}  // namespace ombrix::abouttest
