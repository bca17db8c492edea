// The launch floor: a window program, started detached as Ombrix is, that on a WM_COMMAND runs a
// tool exactly as Ombrix's runner does (the same platform calls: the output file, the hidden
// child, the wait until the file is readable), reads the file back and deletes it, then signals
// the named event given on its command line. Nothing is shown of the output.
//   launch_floor <event name> <tool path> [tool arguments]
#include <windows.h>

#include <string>

#include "base/command_line_split.h"
#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_handles.h"
#include "runner/file_name_generator.h"
#include "shared/shared_routines.h"

namespace {

constexpr const char* kClassName = "OmbrixBenchLaunchFloor";

std::string g_tool;
std::string g_arguments;
HANDLE g_done = nullptr;

// One run: as the launch sequence and the runner do it, without the results window.
void RunOnce() {
    const std::string directory = ombrix::shared::GetTempDirectory();
    std::string path;
    do {
        path = ombrix::shared::JoinPath(directory, ombrix::runner::MakeTempFileName());
    } while (ombrix::shared::FileExists(path));
    bool read = false;
    if (auto output = ombrix::platform::OutputFile::Create(path)) {
        auto started =
            ombrix::platform::CapturedProcess::Start(std::move(*output), g_tool, g_arguments);
        if (started) {
            (*started)->WaitForExit();
            (*started)->Finish();
            const auto content = ombrix::platform::ReadWholeFile(path);
            read = content && !content->empty();
        }
    }
    static_cast<void>(ombrix::platform::RemoveFile(path));
    // A run that gave nothing is not signalled: the benchmark then stops with an error.
    if (read) {
        ::SetEvent(g_done);
    }
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_COMMAND:
            RunOnce();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> args = ombrix::base::SplitCommandLine(::GetCommandLineA());
    if (args.size() < 3) {
        return 2;
    }
    g_tool = args[2];
    for (std::size_t i = 3; i < args.size(); ++i) {
        g_arguments += " " + args[i];
    }
    const ombrix::platform::win32::UniqueHandle done(
        ::OpenEventA(EVENT_MODIFY_STATE, FALSE, args[1].c_str()));
    g_done = done.get();
    if (g_done == nullptr) {
        return 3;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
    ombrix::platform::win32::UniqueWindow window(
        ::CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                          nullptr, nullptr, instance, nullptr));
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&message);
    }
    window.release();  // destroyed by its close box
    return 0;
}
