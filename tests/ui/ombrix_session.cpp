#include "ui/ombrix_session.h"

#include <tlhelp32.h>

#include <cstring>
#include <sstream>
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

bool StartsWithNoCase(const char* text, const std::string& prefix) {
    return ::_strnicmp(text, prefix.c_str(), prefix.size()) == 0;
}

// This process's environment with TMP and TEMP pointing at `temp`.
std::string EnvironmentWithTemp(const std::string& temp) {
    std::string block;
    char* current = ::GetEnvironmentStringsA();
    for (const char* entry = current; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (!StartsWithNoCase(entry, "TMP=") && !StartsWithNoCase(entry, "TEMP=")) {
            block += std::string(entry) + '\0';
        }
    }
    ::FreeEnvironmentStringsA(current);
    return block + "TMP=" + temp + '\0' + "TEMP=" + temp + '\0' + '\0';
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
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
    std::string text(static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

RECT RectOf(HWND window, HWND parent) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string NameOf(Control control) {
    std::istringstream names(
        "CmdLine LaunchIt ExitButton CmdLineOpts Server NameIPAddress SSwitch ASwitch DoDates "
        "DateFrame DateSwitch DD MM YYYY DateSP PSwitch pd pswitchdays Menu_Settings_Cmdlin");
    std::string name;
    for (int i = 0; i <= static_cast<int>(control); ++i) {
        names >> name;
    }
    return name;
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
    test::WriteFile(Options().string(), FileOf(lines));
}

std::optional<std::string> OmbrixFolder::ReadOptions() const {
    return fs::exists(Options()) ? std::optional(test::ReadFile(Options().string())) : std::nullopt;
}

std::vector<std::string> OmbrixFolder::TempFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Temp())) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::string FileOf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

std::vector<std::string> DefaultOptionLines(const std::string& uptimePath) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::vector<std::string> lines{"Ombrix_OptsN",    "255",   uptimePath, "False", "False",
                                   "Name/IP Address", "False", "False",    "False", "1"};
    lines.insert(lines.end(), {std::to_string(now.wMonth), std::to_string(now.wYear), "5", "True"});
    return lines;
}

RunningOmbrix::RunningOmbrix(const OmbrixFolder& folder) {
    const std::string program = folder.Program().string();
    std::string commandLine = "\"" + program + "\"";
    std::string environment = EnvironmentWithTemp(folder.Temp().string());
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          environment.data(), folder.App().parent_path().string().c_str(), &startup,
                          &info)) {
        throw std::runtime_error("cannot start " + program + ": error " +
                                 std::to_string(::GetLastError()));
    }
    process_.reset(info.hProcess);
    ::CloseHandle(info.hThread);
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
        throw std::runtime_error("the main window has no control " + NameOf(control));
    }
    return window;
}

void RunningOmbrix::Press(Control control) {
    ::PostMessageA(Main(), WM_COMMAND, MAKEWPARAM(main::win32::ControlId(control), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ControlWindow(control)));
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

HWND RunningOmbrix::WaitForWindow(const std::string& className, std::chrono::milliseconds timeout,
                                  const std::string& caption) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : WindowsOf(processId_, className)) {
                if (caption.empty() || TextOf(window) == caption) {
                    found = window;
                }
            }
            return found != nullptr;
        },
        timeout);
    if (found == nullptr) {
        throw std::runtime_error("no window " + className + " \"" + caption + "\" showed within " +
                                 std::to_string(timeout.count()) + " ms");
    }
    return found;
}

ShownMessage RunningOmbrix::AnswerMessageBox(const std::function<void()>& whileShown) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND dialog : WindowsOf(processId_, "#32770")) {
            box = ::GetDlgItem(dialog, kMessageTextId) != nullptr ? dialog : box;
        }
        return box != nullptr;
    });
    if (box == nullptr) {
        throw std::runtime_error("no message box showed");
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
