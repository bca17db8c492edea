// The stand-in tool's argument parsing.
#include <gtest/gtest.h>

#include "uptime/tool/arguments.h"

namespace uptime {
namespace {

using Args = std::vector<std::string>;

// "machine log:file /s /a /? since Y-M-D /p:N", with only what is set.
std::string Described(const Arguments& a) {
    std::string text = a.machine.value_or("") + (a.logFile ? " log:" + *a.logFile : "") +
                       (a.systemEvents ? " /s" : "") + (a.applicationFailures ? " /a" : "") +
                       (a.help ? " /?" : "");
    if (a.since) {
        text += " since " + std::to_string(a.since->year) + "-" + std::to_string(a.since->month) +
                "-" + std::to_string(a.since->day);
    }
    return a.previousDays ? text + " /p:" + std::to_string(*a.previousDays) : text;
}

TEST(ParseArguments, AcceptsWhatOmbrixComposes) {
    const std::pair<Args, const char*> cases[] = {
        {{}, ""},
        {{"\\\\SRV01", "/s", "/a", "/d:3/01/2006"}, "SRV01 /s /a since 2006-3-1"},
        {{"/P:12", "/A", "10.0.0.7"}, "10.0.0.7 /s /a /p:12"},  // any order or case; /a is /s too
        {{"/d:7/3/30"}, " since 1930-7-3"},  // a short year read through Windows' window
        {{"/?"}, " /?"},
        {{"/HELP"}, " /?"},
        // The path as given, blanks and all (the shell has taken its quotes off).
        {{"/L:C:\\Logs\\srv 01.xml", "/p:7", "/s"}, " log:C:\\Logs\\srv 01.xml /s /p:7"},
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
        {{"-s"}, "-s"},
        {{""}, "switch"},
        {{"A", "B"}, "B"},
        {{"\\\\"}, "machine name"},
        {{"/d:1/1/2000", "/p:5"}, "only one"},
        {{"/p:5", "/p:6"}, "only one"},
        {{"/d:2/30/2006"}, "2/30/2006"},
        {{"/d:"}, "valid date"},
        {{"/p:0"}, "/p:0"},
        {{"/p:"}, "whole number"},
        {{"/p:999999"}, "/p:999999"},
        {{"/l:"}, "needs the path"},
        {{"/l:a.xml", "/l:b.xml"}, "only one log file"},
        {{"/l:a.xml", "\\\\SRV01"}, "not both"},
    };
    for (const auto& [args, mentions] : cases) {
        const auto parsed = ParseArguments(args);
        EXPECT_FALSE(parsed) << mentions;
        EXPECT_NE(parsed.Reason().find(mentions), std::string::npos) << parsed.Reason();
    }
}

}  // namespace
}  // namespace uptime
