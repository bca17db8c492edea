// Arbitrary bytes as an options file. Under the sanitizers the parser must neither crash nor
// read out of bounds, and whatever it accepts must come back unchanged from the file it writes.
// Which lines it accepts is the parser's table test's to check.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "options/options_file.h"

using ombrix::options::FormatOptionsFile;
using ombrix::options::kOptionsSignature;
using ombrix::options::ParseOptionsFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto options = ParseOptionsFile(bytes, kOptionsSignature);
    // The round trip also makes the writer stable: Format(Parse(written)) is Format(options).
    if (options && ParseOptionsFile(FormatOptionsFile(*options, kOptionsSignature),
                                    kOptionsSignature) != options) {
        std::fprintf(stderr, "options file fuzzer: no round trip\n");
        std::abort();
    }
    return 0;
}
