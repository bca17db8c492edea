// A stand-in for hhctrl.ocx: its HtmlHelpA notes every call and answers with a made-up window.
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Call {
    HWND owner;
    std::string file;  // "(null)" for a null pointer
    UINT command;
    DWORD_PTR data;
};

std::vector<Call>& Calls() {
    static std::vector<Call> calls;
    return calls;
}

}  // namespace

extern "C" {

__declspec(dllexport) HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    Calls().push_back({owner, file != nullptr ? file : "(null)", command, data});
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4242));
}

__declspec(dllexport) int WINAPI RecordedCallCount() {
    return static_cast<int>(Calls().size());
}

// The call `index` into the caller's variables; `file` gets at most `fileSize` - 1 characters.
__declspec(dllexport) void WINAPI
    RecordedCall(int index, HWND* owner, char* file, int fileSize, UINT* command, DWORD_PTR* data) {
    const Call& call = Calls().at(static_cast<std::size_t>(index));
    *owner = call.owner;
    lstrcpynA(file, call.file.c_str(), fileSize);
    *command = call.command;
    *data = call.data;
}

}  // extern "C"
