// A child program for the runner's tests: prints, reads and exits as its arguments say.
//   --hex HEX      write these bytes to standard output
//   --fill N       write N bytes of "01234567" repeated
//   --stderr TEXT  write TEXT to the error stream
//   --args         write each argument received, one per line, between [ and ]
//   --stdin        write "stdin:N", N the bytes that standard input gave
//   --sleep MS     wait that long
//   --exit N       end with exit code N (default 0)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    int exitCode = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--hex" && hasValue) {
            const std::string hex = argv[++i];
            for (std::size_t j = 0; j + 1 < hex.size(); j += 2) {
                std::fputc(std::stoi(hex.substr(j, 2), nullptr, 16), stdout);
            }
        } else if (arg == "--fill" && hasValue) {
            const long count = std::atol(argv[++i]);
            for (long j = 0; j < count; ++j) {
                std::fputc('0' + static_cast<int>(j % 8), stdout);
            }
        } else if (arg == "--stderr" && hasValue) {
            std::fputs(argv[++i], stderr);
            std::fflush(stderr);
        } else if (arg == "--args") {
            for (int j = 1; j < argc; ++j) {
                std::printf("[%s]\n", argv[j]);
            }
        } else if (arg == "--stdin") {
            char buffer[64];
            const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
            std::printf("stdin:%zu", got);
        } else if (arg == "--sleep" && hasValue) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[++i])));
        } else if (arg == "--exit" && hasValue) {
            exitCode = std::atoi(argv[++i]);
        }
    }
    std::fflush(stdout);
    return exitCode;
}
