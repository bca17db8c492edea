#include "ui/ombrix_session.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <thread>

namespace ombrix::uitest {
namespace {

namespace fs = std::filesystem;

// The message box's text and icon controls, as the dialog template numbers them.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;

std::string ClassOf(HWND window) {
    char name[256] = {};
    const int length = ::GetClassNameA(window, name, static_cast<int>(sizeof name));
    return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

struct EnvironmentStrings {
    void operator()(char* block) const { ::FreeEnvironmentStringsA(block); }
};

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

// This process's environment with TMP and TEMP pointing at `temp`.
std::string EnvironmentWithTemp(const std::string& temp) {
    std::string block;
    std::unique_ptr<char, EnvironmentStrings> current(::GetEnvironmentStringsA());
    for (const char* entry = current.get(); entry != nullptr && *entry != '\0';
         entry += std::char_traits<char>::length(entry) + 1) {
        const std::string text = entry;
        if (!StartsWithNoCase(text, "TMP=") && !StartsWithNoCase(text, "TEMP=")) {
            block += text + '\0';
        }
    }
    block += "TMP=" + temp + '\0';
    block += "TEMP=" + temp + '\0';
    block += '\0';
    return block;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) {
        throw std::runtime_error("window " + ClassOf(window) + " did not answer message " +
                                 std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH));
    std::string text(length + 1, '\0');
    const auto got = static_cast<std::size_t>(
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(got, length));
    return text;
}

RECT RectOf(HWND window, HWND parent) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    if (parent != nullptr) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

int HeightOf(const RECT& rect) {
    return rect.bottom - rect.top;
}

std::string NameOf(Control control) {
    switch (control) {
        case Control::CmdLine:
            return "CmdLine";
        case Control::LaunchIt:
            return "LaunchIt";
        case Control::ExitButton:
            return "ExitButton";
        case Control::CmdLineOpts:
            return "CmdLineOpts";
        case Control::Server:
            return "Server";
        case Control::NameIPAddress:
            return "NameIPAddress";
        case Control::SSwitch:
            return "SSwitch";
        case Control::ASwitch:
            return "ASwitch";
        case Control::DoDates:
            return "DoDates";
        case Control::DateFrame:
            return "DateFrame";
        case Control::DateSwitch:
            return "DateSwitch";
        case Control::DD:
            return "DD";
        case Control::MM:
            return "MM";
        case Control::YYYY:
            return "YYYY";
        case Control::DateSP:
            return "DateSP";
        case Control::PSwitch:
            return "PSwitch";
        case Control::pd:
            return "pd";
        case Control::pswitchdays:
            return "pswitchdays";
        case Control::Menu_Settings_Cmdlin:
            return "Menu_Settings_Cmdlin";
    }
    return "control " + std::to_string(static_cast<int>(control));
}

std::vector<HWND> WindowsOf(DWORD processId, const std::string& className) {
    struct Search {
        DWORD processId;
        const std::string& className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && ::IsWindowVisible(window) &&
                ClassOf(window) == s.className) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

OmbrixFolder::OmbrixFolder(const std::string& programName) : programName_(programName) {
    fs::create_directory(App());
    fs::create_directory(Temp());
    fs::copy_file(test::HelperProgram("Ombrix"), Program());
    fs::copy_file(test::HelperProgram("uptime"), Tool());
}

void OmbrixFolder::WriteOptions(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    test::WriteFile(Options().string(), bytes);
}

std::optional<std::string> OmbrixFolder::ReadOptions() const {
    if (!fs::exists(Options())) {
        return std::nullopt;
    }
    return test::ReadFile(Options().string());
}

std::vector<std::string> OmbrixFolder::TempFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Temp())) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::vector<std::string> DefaultOptionLines(const std::string& uptimePath) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {"Ombrix_OptsN",
            "255",
            uptimePath,
            "False",
            "False",
            "Name/IP Address",
            "False",
            "False",
            "False",
            "1",
            std::to_string(now.wMonth),
            std::to_string(now.wYear),
            "5",
            "True"};
}

RunningOmbrix::RunningOmbrix(const OmbrixFolder& folder) {
    const std::string program = folder.Program().string();
    std::string commandLine = "\"" + program + "\"";
    const std::string environment = EnvironmentWithTemp(folder.Temp().string());
    const std::string directory = folder.Root().string();
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          const_cast<char*>(environment.c_str()), directory.c_str(), &startup,
                          &info)) {
        throw std::runtime_error("cannot start " + program + ": error " +
                                 std::to_string(::GetLastError()));
    }
    process_.reset(info.hProcess);
    platform::win32::UniqueHandle thread(info.hThread);
    processId_ = info.dwProcessId;
}

RunningOmbrix::~RunningOmbrix() {
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND RunningOmbrix::Main() {
    if (main_ == nullptr || !::IsWindow(main_)) {
        main_ = WaitForWindow(main::win32::kMainWindowClass);
    }
    return main_;
}

HWND RunningOmbrix::ControlWindow(Control control) {
    HWND window = ::GetDlgItem(Main(), static_cast<int>(main::win32::ControlId(control)));
    if (window == nullptr) {
        throw std::runtime_error("the main window has no control " +
                                 std::to_string(static_cast<int>(control)));
    }
    return window;
}

int RunningOmbrix::Check(Control control) {
    return static_cast<int>(Send(ControlWindow(control), BM_GETCHECK));
}

void RunningOmbrix::Click(Control control) {
    Send(ControlWindow(control), BM_CLICK);
}

void RunningOmbrix::Press(Control control) {
    HWND button = ControlWindow(control);
    ::PostMessageA(Main(), WM_COMMAND, MAKEWPARAM(main::win32::ControlId(control), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

void RunningOmbrix::Type(Control control, const std::string& text) {
    Send(ControlWindow(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RunningOmbrix::Choose(main::win32::MenuId item) {
    ::PostMessageA(Main(), WM_COMMAND, MAKEWPARAM(item, 0), 0);
}

void RunningOmbrix::CloseBox() {
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND RunningOmbrix::WaitForWindow(const std::string& className, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    const bool shown = WaitUntil(
        [&] {
            const std::vector<HWND> windows = WindowsOf(processId_, className);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeout);
    if (!shown) {
        throw std::runtime_error("no window of class " + className + " showed within " +
                                 std::to_string(timeout.count()) + " ms");
    }
    return found;
}

HWND RunningOmbrix::WaitForDialog(const std::string& caption, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    const bool shown = WaitUntil(
        [&] {
            for (HWND dialog : WindowsOf(processId_, "#32770")) {
                if (TextOf(dialog) == caption) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (!shown) {
        throw std::runtime_error("no dialog \"" + caption + "\" showed within " +
                                 std::to_string(timeout.count()) + " ms");
    }
    return found;
}

ShownMessage RunningOmbrix::AnswerMessageBox(const std::function<void()>& whileShown,
                                             std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    const bool shown = WaitUntil(
        [&] {
            for (HWND dialog : WindowsOf(processId_, "#32770")) {
                if (::GetDlgItem(dialog, kMessageTextId) != nullptr) {
                    box = dialog;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (!shown) {
        throw std::runtime_error("no message box showed within " + std::to_string(timeout.count()) +
                                 " ms");
    }
    ShownMessage message{TextOf(box), TextOf(::GetDlgItem(box, kMessageTextId)), false};
    if (HWND icon = ::GetDlgItem(box, kMessageIconId)) {
        message.hasIcon = ::IsWindowVisible(icon) && Send(icon, STM_GETICON) != 0;
    }
    if (whileShown) {
        whileShown();
    }
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    if (!WaitUntil([&] { return !::IsWindow(box); })) {
        throw std::runtime_error("the message box did not close on OK");
    }
    return message;
}

bool RunningOmbrix::WaitForExit(std::chrono::milliseconds timeout) {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

DWORD RunningOmbrix::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::vector<DWORD> RunningOmbrix::RunningTools() const {
    std::vector<DWORD> children;
    platform::win32::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        throw std::runtime_error("cannot list the processes");
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == processId_ &&
            StartsWithNoCase(entry.szExeFile, "uptime.exe")) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

}  // namespace ombrix::uitest
