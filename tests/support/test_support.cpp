#include "support/test_support.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/process_files.h"
#include "runner/file_name_generator.h"

namespace ombrix::test {

ScratchDir::ScratchDir() {
    const std::filesystem::path base = platform::TempDirectory();
    for (;;) {
        path_ = base / ("ombrix-test-" + runner::MakeTempFileName(std::string_view("d")));
        if (std::filesystem::create_directory(path_)) {
            return;
        }
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string HelperProgram(const std::string& name) {
    const char* suffix = platform::kPathSeparator == '\\' ? ".exe" : "";
    return platform::ProgramDirectory() + platform::kPathSeparator + name + suffix;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace ombrix::test
