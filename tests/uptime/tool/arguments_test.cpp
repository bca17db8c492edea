// The stand-in tool's argument parsing.
#include <gtest/gtest.h>

#include "uptime/tool/arguments.h"

namespace uptime {
namespace {

using Args = std::vector<std::string>;

// "machine,... list:file collector:NAME/channel /t:N /w:N /s /a /? since Y-M-D /f:N /p:N", with
// only what is set (and /t: only where it is not the default). No row gives /l: or /o:.
std::string Described(const Arguments& a) {
    std::string text;
    for (const std::string& machine : a.machines) {
        text += (text.empty() ? "" : ",") + machine;
    }
    for (const std::string& list : a.listFiles) {
        text += " list:" + list;
    }
    if (a.channel) {
        text += " collector:" + a.channel->collector + "/" + a.channel->channel;
    }
    text += (a.parallel != 16 ? " /t:" + std::to_string(a.parallel) : "") +
            (a.waitSeconds ? " /w:" + std::to_string(*a.waitSeconds) : "");
    text += std::string(a.systemEvents ? " /s" : "") + (a.applicationFailures ? " /a" : "") +
            (a.help ? " /?" : "");
    if (a.since) {
        text += " since " + std::to_string(a.since->year) + "-" + std::to_string(a.since->month) +
                "-" + std::to_string(a.since->day);
    }
    text += a.face != Face::Text ? " /f:" + std::to_string(static_cast<int>(a.face)) : "";
    return a.previousDays ? text + " /p:" + std::to_string(*a.previousDays) : text;
}

// (The tests of the tool's runs and faces give /l:, /c, /f: and /o: as a user would.)
TEST(ParseArguments, AcceptsWhatOmbrixComposes) {
    const std::pair<Args, const char*> cases[] = {
        {{}, ""},
        {{"/P:12", "/A", "10.0.0.7"}, "10.0.0.7 /s /a /p:12"},  // any order or case; /a is /s too
        {{"/d:7/3/30"}, " since 1930-7-3"},  // a short year read through Windows' window
        {{"/?"}, " /?"},
        {{"/HELP"}, " /?"},
        // A fleet: several names, lists, limits; a name outside ASCII as it is.
        {{"\\\\SRV01", "SRV02", "/s", "10.0.0.7", "/M:a.txt", "/m:b.txt", "/t:1", "/W:3600"},
         "SRV01,SRV02,10.0.0.7 list:a.txt list:b.txt /t:1 /w:3600 /s"},
        {{"Büro-PC", "/t:256", "/w:1"}, "Büro-PC /t:256 /w:1"},
        {{"/f:TEXT"}, ""},
        {{"/E:Forwarded-Boots", "/C:\\\\COLL01"}, " collector:COLL01/Forwarded-Boots"},
    };
    for (const auto& [args, described] : cases) {
        const auto parsed = ParseArguments(args);
        ASSERT_TRUE(parsed) << described << ": " << parsed.Reason();
        EXPECT_EQ(Described(*parsed), described);
    }
}

TEST(ParseArguments, NamesEachFault) {
    const std::pair<Args, const char*> cases[] = {
        {{"/x"}, "/x"},
        {{"-s"}, "\"-s\" is not a switch"},  // a name that looks like a switch
        {{""}, "switch"},
        {{"\\\\"}, "machine name"},
        {{"SRV01", "SRV*"}, "\"SRV*\" is not a machine name"},
        {{"/d:1/1/2000", "/p:5"}, "only one"},
        {{"/d:2/30/2006"}, "2/30/2006"},
        {{"/p:0"}, "/p:0"},
        {{"/p:999999"}, "/p:999999"},
        {{"/l:"}, "needs the path"},
        {{"/m:"}, "/m: needs the path of a list"},
        {{"/l:a.xml", "\\\\SRV01"}, "not both: the log names its own machine"},
        {{"/l:a.xml", "/m:list.txt"}, "/m: or log files with /l:, not both"},
        {{"/c", "SRV01"}, "name the collector as /c:COLLECTOR"},
        {{"/c:COLL01", "/l:a.xml"}, "/l: or a collector with /c, not both"},
        {{"/c", "/c:COLL01"}, "only one collector"},
        {{"/c:*"}, "\"/c:*\" needs the collector's name"},
        {{"/e:Forwarded"}, "give it with /c or /c:COLLECTOR"},
        {{"/c", "/e:"}, "needs the name of a channel"},
        {{"/t:0"}, "\"/t:0\" needs, once, a whole number of machines"},
        {{"/t:257"}, "from 1 to 256"},
        {{"/t:8", "/t:8"}, "\"/t:8\" needs, once"},
        {{"/w:0"}, "\"/w:0\" needs, once, a whole number of seconds"},
        {{"/w:3601"}, "from 1 to 3600"},
        {{"/f:json", "/f:csv"}, "is not a face this tool writes; give, once, /f:text"},
        {{"/o:"}, "/o: needs, once, the path"},
        {{"/o:a.csv", "/o:b.csv"}, "/o: needs, once"},
    };
    for (const auto& [args, mentions] : cases) {
        const auto parsed = ParseArguments(args);  // a success has no reason to hold the words
        EXPECT_NE(parsed.Reason().find(mentions), std::string::npos) << mentions << parsed.Reason();
    }
}

}  // namespace
}  // namespace uptime
