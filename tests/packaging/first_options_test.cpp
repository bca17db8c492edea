// The options file the installer lays down: Ombrix loads it, and starts as it would without a
// file, but with the tool beside it located, on whatever day it first starts.
#include "packaging/install_actions/first_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "options/options_file.h"

namespace ombrix::packaging {
namespace {

TEST(FirstOptionsFile, LoadsAsTheStartUpValuesWithTheToolBesideOmbrix) {
    const std::pair<const char*, base::CalendarDate> cases[] = {
        {"C:\\Program Files\\Ombrix\\", {2027, 2, 28}},
        {"D:\\Tools & More (x64)\\Ombrix\\", {2024, 2, 29}},
    };
    for (const auto& [folder, firstStart] : cases) {
        const std::string file = FirstOptionsFile(folder);
        const auto stored = options::ParseOptionsFile(file, options::kOptionsSignature);
        ASSERT_TRUE(stored.has_value()) << file;
        const options::LoadedOptions loaded = options::ToLoadedOptions(*stored, firstStart);
        EXPECT_EQ(loaded.uptimePath, std::string(folder) + "uptime.exe");
        options::OptionState expected = options::DefaultOptionState(firstStart);
        expected.periodChosen = loaded.state.periodChosen;  // set by every loaded file
        EXPECT_EQ(loaded.state, expected) << folder;
    }
}

}  // namespace
}  // namespace ombrix::packaging
