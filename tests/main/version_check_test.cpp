// The platform version check: the comparison and the refusal chosen for each system.
#include "main/version_check.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(CheckWindowsVersion(xp), "5.1.2600 :2") << "the text has a blank before the colon";
}

TEST(StartupRefusal, EachSystemGetsItsMessage) {
    const char* const kOld =
        "Ombrix is not designed to run on Windows 3.11/Windows for Workgroups.";
    const char* const kNt = "Ombrix requires Windows NT v4 Service Pack 4 or later.";
    const struct {
        WindowsVersion version;
        const char* message;  // null: accepted
    } cases[] = {
        {{3, 11, 0, 0}, kOld},
        {{0, 0, 0, 0}, kOld},  // a failed query
        {{4, 10, 1998, 1}, "Ombrix is not designed to run on Windows 95/98/Me."},
        {{4, 0, 1381, 2}, kNt},
        {{3, 51, 1057, 2}, kNt},
        {{4, 0, 1381, 3}, "Ombrix cannot determine your Windows Version."},
        {{5, 0, 2195, 2}, nullptr},  // Windows 2000
        {{10, 0, 22631, 2}, nullptr},
        {{6, 0, 0, 3}, nullptr},  // an unknown platform above the minimum
    };
    for (const auto& c : cases) {
        const auto refusal = StartupRefusal(c.version);
        EXPECT_EQ(refusal.value_or("(accepted)"), c.message ? c.message : "(accepted)")
            << CheckWindowsVersion(c.version);
    }
}

}  // namespace
}  // namespace ombrix::main
