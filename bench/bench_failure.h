// How the benchmark gives up: a measure it cannot take ends the run with the reason.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ombrix::bench {

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "ombrix_bench: %s\n", what.c_str());
    std::exit(1);
}

// The value, or the end of the run when there is none.
template <typename Value>
Value Must(Value value, const std::string& what) {
    if (!value) {
        Fail(what);
    }
    return value;
}

}  // namespace ombrix::bench
