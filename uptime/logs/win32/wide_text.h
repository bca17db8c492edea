// Conversions between the wide strings of the Windows API and the tool's UTF-8.
#pragma once

#include <string>

namespace uptime::win32 {

std::wstring Widen(const std::string& text, unsigned codePage);
std::string Narrow(const std::wstring& text, unsigned codePage);

// The system's text for an error code (the program's own SystemErrorText) as the tool prints it:
// in UTF-8, without its closing period, followed by the code.
std::string ErrorText(unsigned long error);

}  // namespace uptime::win32
