// The launch floor: what a plain program does to run a tool and show its output. Started
// detached as Ombrix is, on a WM_COMMAND it runs the tool exactly as Ombrix's runner does (the
// same platform calls: the output file, the hidden child, the wait until the file is readable),
// reads the file back and deletes it, then shows the text in the system's EDIT control, in a
// window of the results window's design (frame, size, the view's place and font, the O.K button)
// centred over its own, which is centred on the screen. Closing that window makes it ready for the
// next run. A run that gives nothing ends the program with exit code 1.
//   launch_floor <tool path> [tool arguments]
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/command_line_split.h"
#include "base/twips.h"
#include "floor_ids.h"
#include "platform/process_files.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"
#include "results/results_form.h"
#include "results/win32/results_window_design.h"
#include "results/win32/results_window_ids.h"
#include "runner/file_name_generator.h"
#include "shared/shared_routines.h"

namespace {

namespace win32 = ombrix::platform::win32;
namespace results = ombrix::results;

using ombrix::bench::kLaunchFloorClass;
using ombrix::bench::kLaunchOutputClass;

std::string g_tool;
std::string g_arguments;
win32::UniqueWindow g_output;
win32::UniqueFont g_textFont;
win32::UniqueFont g_buttonFont;

// One run of the tool, as the launch sequence and the runner do it: its output, or nothing.
std::string RunOnce() {
    const std::string directory = ombrix::shared::GetTempDirectory();
    std::string path;
    do {
        path = ombrix::shared::JoinPath(directory, ombrix::runner::MakeTempFileName());
    } while (ombrix::shared::FileExists(path));
    std::string text;
    if (auto output = ombrix::platform::OutputFile::Create(path)) {
        auto started =
            ombrix::platform::CapturedProcess::Start(std::move(*output), g_tool, g_arguments);
        if (started) {
            (*started)->WaitForExit();
            (*started)->Finish();
            if (auto content = ombrix::platform::ReadWholeFile(path)) {
                text = std::move(*content);
            }
        }
    }
    static_cast<void>(ombrix::platform::RemoveFile(path));
    return text;
}

HWND CreateControl(const char* className, const char* text, DWORD exStyle, DWORD style,
                   const ombrix::base::Box& twips, UINT_PTR id,
                   const ombrix::base::LayoutScale& scale) {
    const ombrix::base::Box box = scale.ToPixels(twips);
    return ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                             box.left, box.top, box.width, box.height, g_output.get(),
                             reinterpret_cast<HMENU>(id), ::GetModuleHandleA(nullptr), nullptr);
}

// The output in an EDIT where the results window has its view; false when it cannot be shown.
// Laid out as any window of Ombrix's: in the message font's scale, centred over its owner.
bool ShowOutput(HWND owner, const std::string& text) {
    const int dpi = win32::WindowDpi(owner);
    g_buttonFont = win32::CreateMessageFont(dpi);
    const ombrix::base::LayoutScale scale = win32::FontLayoutScale(g_buttonFont.get(), dpi);
    const SIZE outer =
        win32::OuterSizeForClient(scale.Across(results::win32::kResultsClientWidth),
                                  scale.Down(results::win32::kResultsClientHeight),
                                  results::win32::kResultsWindowStyle, 0, false, dpi);
    RECT over{};
    ::GetWindowRect(owner, &over);
    const ombrix::base::Box at = ombrix::base::CentredOver(
        {over.left, over.top, over.right - over.left, over.bottom - over.top}, outer.cx, outer.cy);
    g_output.reset(::CreateWindowExA(0, kLaunchOutputClass, results::kResultsCaption,
                                     results::win32::kResultsWindowStyle, at.left, at.top, at.width,
                                     at.height, owner, nullptr, ::GetModuleHandleA(nullptr),
                                     nullptr));
    if (!g_output) {
        return false;
    }
    HWND edit = CreateControl(
        "EDIT", "", WS_EX_CLIENTEDGE,
        WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY,
        results::win32::kReportViewBox, results::win32::kReportView, scale);
    HWND button = CreateControl("BUTTON", results::kCloseCaption, 0, BS_PUSHBUTTON,
                                results::win32::kExitButtonBox, results::win32::kExitButton, scale);
    if (edit == nullptr || button == nullptr) {
        return false;
    }
    g_textFont = win32::CreateFixedFont(dpi, results::win32::kReportTextPoints);
    ::SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_textFont.get()), FALSE);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_buttonFont.get()), FALSE);
    ::SetWindowTextA(edit, text.c_str());
    ::SetFocus(edit);
    ::ShowWindow(g_output.get(), SW_SHOWNORMAL);
    ::UpdateWindow(g_output.get());
    return true;
}

LRESULT CALLBACK OutputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_COMMAND && LOWORD(wParam) == results::win32::kExitButton) {
        g_output.reset();
        return 0;
    }
    if (message == WM_NCDESTROY) {
        g_output.release();
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_COMMAND: {
            const std::string text = RunOnce();
            if (text.empty() || !ShowOutput(window, text)) {
                ::PostQuitMessage(1);
            }
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

bool Register(const char* className, WNDPROC procedure, HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    return ::RegisterClassA(&windowClass) != 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> args = ombrix::base::SplitCommandLine(::GetCommandLineA());
    if (args.size() < 2) {
        return 2;
    }
    g_tool = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        g_arguments += " " + args[i];
    }
    if (!Register(kLaunchFloorClass, Procedure, instance) ||
        !Register(kLaunchOutputClass, OutputProcedure, instance)) {
        return 3;
    }
    // Centred on the screen, as Ombrix's main window is, so that the output window stands where
    // Ombrix's results window does, whole on the screen.
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const ombrix::base::Box at = ombrix::base::CentredOver(
        {area.left, area.top, area.right - area.left, area.bottom - area.top}, 300, 200);
    win32::UniqueWindow window(
        ::CreateWindowExA(0, kLaunchFloorClass, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at.left,
                          at.top, at.width, at.height, nullptr, nullptr, instance, nullptr));
    MSG message{};
    int result = 0;
    while ((result = ::GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (!g_output || !::IsDialogMessageA(g_output.get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    g_output.reset();
    if (::IsWindow(window.get()) == FALSE) {
        window.release();  // destroyed by its close box
    }
    return result == 0 ? static_cast<int>(message.wParam) : 1;
}
