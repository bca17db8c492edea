// The Windows Event Forwarding subscription that gathers, on a collector, exactly the events the
// report reads: the file for `wecutil cs` that ships beside the tool.
#pragma once

#include <string>

namespace uptime {

// The subscription's XML, lines ending in CR LF, made from the tool's own queries of the System
// and Application logs so that the two cannot drift apart.
std::string SubscriptionFile();

}  // namespace uptime
