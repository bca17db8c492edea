// The large-report measures' pieces: the stand-in tool run straight into a file, the least a
// viewer must do with that file, and the moment the tool wrote its last byte.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace ombrix::bench {

// Runs `program` with `arguments` to its end, its standard output into `output`.
void RunToFile(const std::filesystem::path& program, const std::string& arguments,
               const std::filesystem::path& output);

// Milliseconds to read the file whole and find where its lines end.
double ReadAndFindLineEnds(const std::filesystem::path& path);

// The performance-counter time the stand-in tool at `tool` noted when it wrote its last byte.
LONGLONG ToolEnd(const std::filesystem::path& tool);

}  // namespace ombrix::bench
