// The subscription file that ships for `wecutil cs` asks for exactly the events the tool reads.
#include <gtest/gtest.h>

#include "platform/process_files.h"
#include "support/test_support.h"
#include "uptime/tool/subscription.h"

namespace uptime {
namespace {

TEST(Subscription, TheShippedFileIsMadeFromTheToolsQueries) {
    const std::string folder = ombrix::platform::ProgramDirectory() +
                               ombrix::platform::kPathSeparator + "testdata" +
                               ombrix::platform::kPathSeparator;
    const std::string shipped = ombrix::test::ReadFile(folder + "uptime-subscription.xml");
    const std::string made = SubscriptionFile();
    if (shipped != made) {
        // What the file should hold, for packaging/uptime-subscription.xml.
        ombrix::test::WriteFile(folder + "uptime-subscription.made.xml", made);
    }
    EXPECT_EQ(shipped, made) << "packaging/uptime-subscription.xml no longer asks for what the "
                                "tool reads; the right file is "
                             << folder << "uptime-subscription.made.xml";
}

}  // namespace
}  // namespace uptime
