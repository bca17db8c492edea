// Random names for temporary files.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "runner/file_name_generator.h"

namespace ombrix::runner {
namespace {

TEST(MakeTempFileName, ExtensionsFollowTheArgument) {
    EXPECT_TRUE(std::regex_match(MakeTempFileName(), std::regex("[A-Z]{8}\\.TMP")));
    EXPECT_EQ(MakeTempFileName().size(), 12u);
    EXPECT_TRUE(std::regex_match(MakeTempFileName("*"), std::regex("[A-Z]{8}\\.[A-Z]{3}")));
    EXPECT_TRUE(std::regex_match(MakeTempFileName("log"), std::regex("[A-Z]{8}\\.log")));
    EXPECT_TRUE(std::regex_match(MakeTempFileName(".txt"), std::regex("[A-Z]{8}\\.\\.txt")))
        << "no test for a point already there";
    EXPECT_TRUE(std::regex_match(MakeTempFileName("**"), std::regex("[A-Z]{8}\\.\\*\\*")));
}

TEST(MakeTempFileName, CallsInQuickSuccessionDrawDifferentNames) {
    std::set<std::string> names;
    std::set<char> letters;
    for (int i = 0; i < 2000; ++i) {
        const std::string name = MakeTempFileName();
        names.insert(name);
        letters.insert(name.begin(), name.begin() + 8);
    }
    EXPECT_EQ(names.size(), 2000u);
    EXPECT_EQ(letters.size(), 26u) << "every letter from A to Z can be drawn";
}

}  // namespace
}  // namespace ombrix::runner
