// A stand-in for hhctrl.ocx: its HtmlHelpA notes every call and answers with a made-up window.
#include <windows.h>

#include <string>

namespace {

std::string calls;  // a line a call: owner, file ("(null)" for none), command and data

}  // namespace

extern "C" {

__declspec(dllexport) HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    calls += std::to_string(reinterpret_cast<UINT_PTR>(owner)) + " " +
             (file != nullptr ? file : "(null)") + " " + std::to_string(command) + " " +
             std::to_string(data) + "\n";
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4242));
}

__declspec(dllexport) const char* WINAPI RecordedCalls() {
    return calls.c_str();
}

}  // extern "C"
