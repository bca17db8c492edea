#include <windows.h>

#include "uptime/common/system_text.h"
#include "uptime/logs/win32/wide_text.h"

namespace uptime::win32 {

std::wstring Widen(const std::string& text, unsigned codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& text, unsigned codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string ErrorText(unsigned long error) {
    return error == ERROR_SUCCESS ? "the system gave no reason" : SystemReason(error);
}

}  // namespace uptime::win32
