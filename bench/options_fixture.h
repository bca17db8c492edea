// The options file the benchmark gives Ombrix: where the tool is and what machine name it passes.
#pragma once

#include <filesystem>
#include <string>

namespace ombrix::bench {

// Writes ombrixopts.cfg into `folder`: the tool at `tool`, run for `machine` when it is not empty.
void WriteOptions(const std::filesystem::path& folder, const std::string& tool,
                  const std::string& machine);

}  // namespace ombrix::bench
