#include "runner/file_name_generator.h"

#include <atomic>
#include <chrono>
#include <random>

namespace ombrix::runner {
namespace {

// Seeded afresh from the clock on every call. The counter keeps two calls within one clock
// tick from drawing the same name.
std::mt19937 FreshGenerator() {
    static std::atomic<unsigned> calls{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seed{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32),
                       calls.fetch_add(1, std::memory_order_relaxed)};
    return std::mt19937(seed);
}

void AppendLetters(std::string& text, int count, std::mt19937& generator) {
    std::uniform_int_distribution<int> letter('A', 'Z');
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>(letter(generator));
    }
}

}  // namespace

std::string MakeTempFileName(std::optional<std::string_view> extension) {
    std::mt19937 generator = FreshGenerator();
    std::string name;
    AppendLetters(name, 8, generator);
    if (!extension) {
        name += ".TMP";
    } else if (*extension == "*") {
        name += '.';
        AppendLetters(name, 3, generator);
    } else {
        name += '.';
        name += *extension;
    }
    return name;
}

}  // namespace ombrix::runner
