// Helpers the tests share: scratch folders, helper programs, recorded message boxes.
#pragma once

#include <cstdint>
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

// While it lives, `folder` refuses new files and removals, as a folder does where administrators
// let a user write its files but not make new ones; the files in it may still be written. Made
// with the file system's immutable mark, which binds root too (under Wine, set from Linux).
class FolderRefusingNewFiles {
  public:
    explicit FolderRefusingNewFiles(std::filesystem::path folder);
    ~FolderRefusingNewFiles();
    FolderRefusingNewFiles(const FolderRefusingNewFiles&) = delete;
    FolderRefusingNewFiles& operator=(const FolderRefusingNewFiles&) = delete;
    // False where the mark cannot be set (not root, a file system without it, not Wine), and for
    // an empty path, which stands for a folder left as it is.
    bool Refuses() const { return refuses_; }

  private:
    std::filesystem::path folder_;
    bool refuses_ = false;
};

// Gives the file marks of its own that a save must keep (on POSIX permissions 0640, on Windows
// the hidden attribute) and returns them as SpecialMarks tells them.
std::string MarkFileSpecially(const std::string& path);
std::string SpecialMarks(const std::string& path);

// While it lives, writing the file fails for a reason that is no refusal of access: on POSIX a
// file size limit of 16 bytes (standing for a full disk), on Windows another program holding
// the file open without sharing it.
class UnwritableForAWhile {
  public:
    explicit UnwritableForAWhile(const std::string& path);
    ~UnwritableForAWhile();
    UnwritableForAWhile(const UnwritableForAWhile&) = delete;
    UnwritableForAWhile& operator=(const UnwritableForAWhile&) = delete;
    // The system's text for the failure a write then meets.
    std::string Reason() const;

  private:
    std::uintptr_t held_ = 0;      // Windows: the handle that holds the file
    std::uint64_t sizeLimit_ = 0;  // POSIX: the limit before
};

void WriteFile(const std::string& path, const std::string& bytes);
// Makes the file `length` bytes long (sparse where the file system can); false when it cannot.
bool ResizeFile(const std::string& path, std::uint64_t length);
std::string ReadFile(const std::string& path);

struct ShownMessage {
    std::string text;
    platform::MessageStyle style;
};

struct RecordingMessages final : platform::MessageBoxes {
    void Show(const std::string& text, platform::MessageStyle style) override {
        shown.push_back({text, style});
    }
    std::vector<ShownMessage> shown;
};

}  // namespace ombrix::test
