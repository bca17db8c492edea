// Shared routines: numeric readings, digit tests, command-line splitting and the file test.
#include <gtest/gtest.h>

#include "platform/process_files.h"
#include "shared/command_line_split.h"
#include "shared/leading_number.h"
#include "shared/shared_routines.h"
#include "support/test_support.h"

namespace ombrix::shared {
namespace {

TEST(ReadsAsZero, OnlyTextsWithoutANonZeroLeadingNumber) {
    for (const char* zero :
         {"", "0", "00", "-0", "+0", " 0 ", "0.0", ".", "abc", "x5", "-", "0e5", "\t"}) {
        EXPECT_TRUE(ReadsAsZero(zero)) << '"' << zero << '"';
    }
    for (const char* nonzero : {"5", "-1", "07", "1a", ".5", "0 1", " 3", "1e-400", "+2"}) {
        EXPECT_FALSE(ReadsAsZero(nonzero)) << '"' << nonzero << '"';
    }
}

TEST(ContainsNonDigit, AnyCharacterOutsideTheDigits) {
    EXPECT_FALSE(ContainsNonDigit(""));
    EXPECT_FALSE(ContainsNonDigit("0123456789"));
    for (const char* text : {"1a", " 1", "-1", "1.0", "/", ":"}) {
        EXPECT_TRUE(ContainsNonDigit(text)) << text;
    }
}

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine(""), V{});
    EXPECT_EQ(SplitCommandLine("  my  server\t/p:5 "), (V{"my", "server", "/p:5"}));
    EXPECT_EQ(SplitCommandLine("\"a b\" c"), (V{"a b", "c"}));
    EXPECT_EQ(SplitCommandLine(R"(\\HOST /s)"), (V{R"(\\HOST)", "/s"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), (V{R"(a\"b)"}));
    EXPECT_EQ(SplitCommandLine(R"("a\\" b)"), (V{R"(a\)", "b"}));
    EXPECT_EQ(SplitCommandLine(R"("a""b")"), (V{R"(a"b)"}));
    EXPECT_EQ(SplitCommandLine(R"(x"y z"w)"), (V{"xy zw"}));
    EXPECT_EQ(SplitCommandLine("\"\""), (V{""}));
}

TEST(FileExists, FindsNormalFilesOnly) {
    test::ScratchDir dir;
    test::WriteFile(dir.File("present.txt"), "x");
    EXPECT_TRUE(FileExists(dir.File("present.txt")));
    EXPECT_FALSE(FileExists(dir.File("absent.txt")));
    EXPECT_FALSE(FileExists(dir.path().string())) << "a folder is not a file";
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(dir.File("pres*.txt"))) << "a wildcard matches what fits it";
    EXPECT_FALSE(FileExists(dir.File("nothing*.txt")));
}

TEST(TempDirectory, EndsWithTheSeparatorAndExists) {
    const std::string dir = GetTempDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), platform::kPathSeparator);
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

}  // namespace
}  // namespace ombrix::shared
