#include "about/win32_about_support.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/test_support.h"

namespace ombrix::abouttest {
namespace {

thread_local MessageBoxWatcher* tWatcher = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
    return name;
}

}  // namespace

RegistryValueGuard::RegistryValueGuard(std::string keyName, std::string valueName)
    : keyName_(std::move(keyName)), valueName_(std::move(valueName)) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &key, &disposition) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot open HKLM\\" + keyName_);
    }
    createdKey_ = disposition == REG_CREATED_NEW_KEY;
    DWORD size = 0;
    if (::RegQueryValueExA(key, valueName_.c_str(), nullptr, &type_, nullptr, &size) ==
        ERROR_SUCCESS) {
        bytes_.resize(size);
        existed_ =
            ::RegQueryValueExA(key, valueName_.c_str(), nullptr, &type_,
                               reinterpret_cast<BYTE*>(bytes_.data()), &size) == ERROR_SUCCESS;
        bytes_.resize(size);
    }
    ::RegCloseKey(key);
}

RegistryValueGuard::~RegistryValueGuard() {
    if (createdKey_) {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyName_.c_str());
    } else if (existed_) {
        try {
            Set(type_, bytes_);
        } catch (...) {
            // Nothing more can be done for the next test.
        }
    } else {
        Remove();
    }
}

void RegistryValueGuard::Set(DWORD type, const std::string& bytes) {
    if (::RegSetKeyValueA(HKEY_LOCAL_MACHINE, keyName_.c_str(), valueName_.c_str(), type,
                          bytes.data(), static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set HKLM\\" + keyName_ + "\\" + valueName_);
    }
}

void RegistryValueGuard::Remove() {
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, keyName_.c_str(), valueName_.c_str());
}

MessageBoxWatcher::MessageBoxWatcher() {
    tWatcher = this;
    hook_ = ::SetWindowsHookExA(WH_CBT, &MessageBoxWatcher::Hook, nullptr, ::GetCurrentThreadId());
    if (hook_ == nullptr) {
        throw std::runtime_error("cannot watch the message boxes");
    }
}

MessageBoxWatcher::~MessageBoxWatcher() {
    ::UnhookWindowsHookEx(hook_);
    tWatcher = nullptr;
}

LRESULT CALLBACK MessageBoxWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && tWatcher != nullptr && ClassOf(box) == "#32770") {
        Shown shown{WindowText(box), WindowText(::GetDlgItem(box, 0xFFFF))};
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            // The box itself may not be visible yet: its children's own style tells.
            if ((::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) == 0) {
                continue;
            }
            shown.buttons += ClassOf(child) == "Button" ? 1 : 0;
            shown.icon = shown.icon || (ClassOf(child) == "Static" &&
                                        ::SendMessageA(child, STM_GETICON, 0, 0) != 0);
        }
        tWatcher->shown.push_back(shown);
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::optional<LaunchRecord> WaitForRecord(const std::string& path,
                                          std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > end) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(20ms);
    }
    LaunchRecord record;
    std::istringstream lines(test::ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("program=")) {
            record.program = line.substr(8);
        } else if (line.starts_with("show=")) {
            record.show = line.substr(5);
        } else if (line.starts_with("arg=")) {
            record.args.push_back(line.substr(4));
        }
    }
    return record;
}

void InstallRecorder(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(test::HelperProgram("launch_recorder"), path,
                               std::filesystem::copy_options::overwrite_existing);
}

bool SamePath(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace ombrix::abouttest
