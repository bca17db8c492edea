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
    EXPECT_EQ(ombrix::test::ReadFile(folder + "uptime-subscription.xml"), SubscriptionFile())
        << "packaging/uptime-subscription.xml no longer asks for what the tool reads";
}

}  // namespace
}  // namespace uptime
