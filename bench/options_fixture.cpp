#include "options_fixture.h"

#include <windows.h>

#include "bench_failure.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::bench {

void WriteOptions(const std::filesystem::path& folder, const std::string& tool,
                  const std::string& machine) {
    const bool remoteMachine = !machine.empty();
    const std::string lines = std::string("Ombrix_OptsN\r\n255\r\n") + tool + "\r\nFalse\r\n" +
                              (remoteMachine ? "True" : "False") + "\r\n" +
                              (remoteMachine ? machine : "x") +
                              "\r\nFalse\r\nFalse\r\nFalse\r\n0\r\n0\r\n0\r\n5\r\nTrue\r\n";
    const platform::win32::UniqueHandle file(
        ::CreateFileA((folder / "ombrixopts.cfg").string().c_str(), GENERIC_WRITE, 0, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), lines.data(), static_cast<DWORD>(lines.size()), &written,
                              nullptr)) {
        Fail("cannot write the options file");
    }
}

}  // namespace ombrix::bench
