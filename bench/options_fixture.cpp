#include "options_fixture.h"

#include <windows.h>

#include "bench_failure.h"
#include "options/options_file.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::bench {

void WriteOptions(const std::filesystem::path& folder, const std::string& tool,
                  const std::string& machine) {
    // As Ombrix writes it; a day of 0 keeps no date.
    const std::string lines =
        options::FormatOptionsFile({.uptimePath = tool,
                                    .remoteMachine = !machine.empty(),
                                    .machineName = machine.empty() ? "x" : machine,
                                    .dayCount = 5},
                                   options::kOptionsSignature);
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
