// Random names for temporary files.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "runner/file_name_generator.h"

namespace ombrix::runner {
namespace {

TEST(MakeTempFileName, EightLettersAndTheExtensionAsAsked) {
    EXPECT_TRUE(std::regex_match(MakeTempFileName(), std::regex("[A-Z]{8}\\.TMP")));
    EXPECT_TRUE(std::regex_match(MakeTempFileName("*"), std::regex("[A-Z]{8}\\.[A-Z]{3}")));
    EXPECT_TRUE(std::regex_match(MakeTempFileName(".txt"), std::regex("[A-Z]{8}\\.\\.txt")))
        << "a point already there is kept";
    EXPECT_TRUE(std::regex_match(MakeTempFileName("**"), std::regex("[A-Z]{8}\\.\\*\\*")))
        << "only a lone * draws letters";
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
