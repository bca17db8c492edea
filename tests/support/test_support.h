// Helpers the tests share: scratch folders, helper programs, recorded message boxes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace ombrix::test {

// A fresh folder under the system temporary directory, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path inside the folder, as text the platform calls take.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A program built beside the tests ("child_probe", "uptime", ...).
std::string HelperProgram(const std::string& name);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

struct ShownMessage {
    std::string text;
    platform::MessageStyle style;
};

class RecordingMessages final : public platform::MessageBoxes {
  public:
    void Show(const std::string& text, platform::MessageStyle style) override {
        shown.push_back({text, style});
    }
    std::vector<ShownMessage> shown;
};

}  // namespace ombrix::test
