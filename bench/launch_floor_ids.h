// The launch floor's window classes, which the benchmark looks for.
#pragma once

namespace ombrix::bench {

inline constexpr const char* kLaunchFloorClass = "OmbrixBenchLaunchFloor";
// The window that shows the output, of the results window's design.
inline constexpr const char* kLaunchOutputClass = "OmbrixBenchLaunchOutput";

}  // namespace ombrix::bench
