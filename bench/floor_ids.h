// The window classes of the benchmark's own programs, which the benchmark looks for.
#pragma once

namespace ombrix::bench {

inline constexpr const char* kStartupFloorClass = "OmbrixBenchFloor";
inline constexpr const char* kEmptyWindowClass = "OmbrixBenchEmpty";
inline constexpr const char* kLaunchFloorClass = "OmbrixBenchLaunchFloor";
// The launch floor's window that shows the output, of the results window's design.
inline constexpr const char* kLaunchOutputClass = "OmbrixBenchLaunchOutput";

}  // namespace ombrix::bench
