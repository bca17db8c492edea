// A stand-in tool for the benchmark: prints N bytes of report lines, N its first argument
// (given to it as the "machine name" of Ombrix's command line).
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const long long size = argc > 1 ? std::atoll(argv[1]) : 0;
    const std::string line =
        "\\\\BENCH has been up for: 12 day(s), 18 hour(s), 48 minute(s), 33 second(s)......\r\n";
    std::string block;
    while (block.size() < (1u << 20)) {
        block += line;
    }
    long long left = size;
    while (left > 0) {
        const auto chunk = static_cast<std::size_t>(
            std::min<long long>(left, static_cast<long long>(block.size())));
        std::fwrite(block.data(), 1, chunk, stdout);
        left -= static_cast<long long>(chunk);
    }
    return 0;
}
