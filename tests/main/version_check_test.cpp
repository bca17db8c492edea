// The platform version check: the comparison and the refusal chosen for each system.
#include <gtest/gtest.h>

#include "main/version_check.h"

namespace ombrix::main {
namespace {

using platform::WindowsVersion;

TEST(CheckWindowsVersion, ComparesPlatformThenMajorMinorBuild) {
    const WindowsVersion xp{5, 1, 2600, 2};
    EXPECT_TRUE(CheckWindowsVersion(xp, 5, 1, 2600, 2));
    EXPECT_FALSE(CheckWindowsVersion(xp, 5, 1, 2601, 2));
    EXPECT_TRUE(CheckWindowsVersion(xp, 5, 0, 9999, 2)) << "a greater minor wins over the build";
    EXPECT_FALSE(CheckWindowsVersion(xp, 5, 2, 0, 2));
    EXPECT_TRUE(CheckWindowsVersion(xp, 4, 99, 9999, 2)) << "a greater major wins";
    EXPECT_FALSE(CheckWindowsVersion(xp, 6, 0, 0, 2));
    EXPECT_FALSE(CheckWindowsVersion(xp, 5, 1, 2600, 3)) << "platform first";
    EXPECT_TRUE(CheckWindowsVersion(WindowsVersion{4, 90, 3000, 1}, 4, 0, 0))
        << "the platform defaults to 1";
}

TEST(CheckWindowsVersion, TextModeHasTheBlankBeforeTheColonOnly) {
    EXPECT_EQ(CheckWindowsVersion(WindowsVersion{5, 1, 2600, 2}), "5.1.2600 :2");
    EXPECT_EQ(CheckWindowsVersion(WindowsVersion{0, 0, 0, 0}), "0.0.0 :0");
    EXPECT_EQ(CheckWindowsVersion(WindowsVersion{10, 0, 19045, 2}), "10.0.19045 :2");
}

TEST(StartupRefusal, EachSystemGetsItsMessage) {
    struct Case {
        const char* system;
        WindowsVersion version;
        const char* message;  // null: accepted
    };
    const Case cases[] = {
        {"Windows 3.11",
         {3, 11, 0, 0},
         "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups."},
        {"a failed query",
         {0, 0, 0, 0},
         "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups."},
        {"Windows 98", {4, 10, 1998, 1}, "Ombrix is not designed to run on Windows 95/98/Me."},
        {"Windows Me", {4, 90, 3000, 1}, "Ombrix is not designed to run on Windows 95/98/Me."},
        {"Windows NT 4", {4, 0, 1381, 2}, "Ombrix requires Windows NT v4 Service Pack 4 or later."},
        {"Windows NT 3.51",
         {3, 51, 1057, 2},
         "Ombrix requires Windows NT v4 Service Pack 4 or later."},
        {"an unknown platform below the minimum",
         {4, 0, 1381, 3},
         "Ombrix cannot determine your Windows Version."},
        {"Windows 2000", {5, 0, 2195, 2}, nullptr},
        {"Windows XP", {5, 1, 2600, 2}, nullptr},
        {"Windows 11", {10, 0, 22631, 2}, nullptr},
        {"an unknown platform above the minimum", {6, 0, 0, 3}, nullptr},
    };
    for (const Case& c : cases) {
        const auto refusal = StartupRefusal(c.version);
        if (c.message == nullptr) {
            EXPECT_FALSE(refusal) << c.system << ": " << refusal.value_or("");
        } else {
            EXPECT_EQ(refusal.value_or("(accepted)"), c.message) << c.system;
        }
    }
}

}  // namespace
}  // namespace ombrix::main
