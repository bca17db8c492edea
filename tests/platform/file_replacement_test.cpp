// Files: rewriting one in place, where the old content survives a write that fails at any step,
// and reading one too large for memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::platform {
namespace {

enum class Step { None, Grow, Write, Shrink, Flush };

// A file in memory whose chosen step fails once; a failing write gets half its bytes out first.
class FlakyFile final : public RewritableFile {
  public:
    FlakyFile(std::string old, Step failing) : content(std::move(old)), failing_(failing) {}

    base::Result<std::string> ReadAll() override { return content; }
    base::Result<> Resize(std::uint64_t length) override {
        const Step step = length > content.size() ? Step::Grow : Step::Shrink;
        if (FailsNow(step)) {
            return base::Failure{"No room."};
        }
        content.resize(static_cast<std::size_t>(length), '\0');
        return {};
    }
    base::Result<> WriteFromStart(std::string_view bytes) override {
        const bool fails = FailsNow(Step::Write);
        const std::string_view put = fails ? bytes.substr(0, bytes.size() / 2) : bytes;
        content.replace(0, put.size(), put);  // over the first bytes, and on past the end
        return fails ? base::Result<>(base::Failure{"Write fault."}) : base::Result<>();
    }
    base::Result<> Flush() override {
        return FailsNow(Step::Flush) ? base::Result<>(base::Failure{"Flush fault."})
                                     : base::Result<>();
    }

    std::string content;

  private:
    bool FailsNow(Step step) {
        const bool fails = step == failing_;
        failing_ = fails ? Step::None : failing_;
        return fails;
    }
    Step failing_;
};

TEST(RewriteInPlace, KeepsTheOldContentWhenAStepFailsAndTheNewOneOtherwise) {
    const std::string shorter = "new";
    const std::string longer = "new content, longer than the old";
    const std::string old = "the old content";
    for (const std::string& fresh : {shorter, longer}) {
        for (const Step failing :
             {Step::None, Step::Grow, Step::Write, Step::Shrink, Step::Flush}) {
            FlakyFile file(old, failing);
            const base::Result<> written = RewriteInPlace(file, fresh);
            // A step that a write of this length never takes cannot fail.
            const bool taken =
                failing != Step::None && (failing != Step::Grow || fresh.size() > old.size());
            EXPECT_EQ(std::pair(static_cast<bool>(written), file.content),
                      std::pair(!taken, taken ? old : fresh))
                << fresh << " " << static_cast<int>(failing);
        }
    }
}

TEST(ReplaceFileContent, ReplacesAFileNamedRelativeToTheCurrentFolderOrWithForwardSlashes) {
    // As a scheduled task names its report: `uptime /o:weekly.csv`, or `/o:D:/Reports/a.csv`.
    test::ScratchDir dir;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string forward = (dir.path() / "forward.csv").generic_string();
    for (const std::string& path : {std::string("relative.csv"), forward}) {
        test::WriteFile(path, "last week's report");
        EXPECT_EQ(ReplaceFileContent(path, "this week's report").Reason(), "") << path;
        EXPECT_EQ(test::ReadFile(path), "this week's report") << path;
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left behind";
}

TEST(ReadWholeFile, AFileTooLargeForMemoryFailsAsOutOfMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer ends the program on so large an allocation";
#endif
    test::ScratchDir dir;
    const std::string path = dir.File("huge.txt");
    // A terabyte that takes no room on the disk.
    std::ofstream(path, std::ios::binary).put('x');
    if (!test::ResizeFile(path, std::uint64_t{1} << 40)) {
        GTEST_SKIP() << "no sparse file of that size here";
    }
    const base::Result<std::string> read = ReadWholeFile(path);
    EXPECT_EQ(std::pair(read.Kind(), read.Reason()),
              std::pair(base::FailureKind::OutOfMemory,
                        std::string("The file is too large for the memory available.")));
}

}  // namespace
}  // namespace ombrix::platform
