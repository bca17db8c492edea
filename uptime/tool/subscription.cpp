#include "uptime/tool/subscription.h"

#include "uptime/events/system_events.h"

namespace uptime {
namespace {

// Character data and attribute values with XML's special characters written as entities.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Select(const LogQuery& query) {
    return "<Select Path=\"" + Escaped(query.channel) + "\">" + Escaped(query.xpath) + "</Select>";
}

}  // namespace

std::string SubscriptionFile() {
    const std::string queryList = "<QueryList><Query Id=\"0\">" + Select(SystemLogQuery()) +
                                  Select(ApplicationLogQuery()) + "</Query></QueryList>";
    const char* lines[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<!-- The events uptime.exe reads, forwarded by every computer that Group Policy points",
        "     at this collector. Create it on the collector with: wecutil cs "
        "uptime-subscription.xml",
        "     Then report every forwarding machine with: uptime /c /s -->",
        "<Subscription xmlns=\"http://schemas.microsoft.com/2006/03/windows/events/subscription\">",
        "  <SubscriptionId>uptime</SubscriptionId>",
        "  <SubscriptionType>SourceInitiated</SubscriptionType>",
        "  <Description>Boots, shutdowns, restarts and their reasons, unexpected shutdowns, power "
        "losses, bluescreens, cleared logs, the system's version and uptime, and application "
        "failures: what uptime.exe reports.</Description>",
        "  <Enabled>true</Enabled>",
        "  <Uri>http://schemas.microsoft.com/wbem/wsman/1/windows/EventLog</Uri>",
        "  <ConfigurationMode>Normal</ConfigurationMode>",
        nullptr,  // the query
        "  <ReadExistingEvents>true</ReadExistingEvents>",
        "  <TransportName>HTTP</TransportName>",
        "  <ContentFormat>Events</ContentFormat>",
        "  <Locale Language=\"en-US\"/>",
        "  <LogFile>ForwardedEvents</LogFile>",
        "  <PublisherName>Microsoft-Windows-EventCollector</PublisherName>",
        // Every computer of the domain (Domain Computers) may forward to it.
        "  <AllowedSourceDomainComputers>O:NSG:BAD:P(A;;GA;;;DC)S:</AllowedSourceDomainComputers>",
        "</Subscription>",
    };
    std::string file;
    for (const char* line : lines) {
        file += line != nullptr ? line : "  <Query><![CDATA[" + queryList + "]]></Query>";
        file += "\r\n";
    }
    return file;
}

}  // namespace uptime
