// The HTML face: log texts escaped for text and attributes, made valid UTF-8, stripped of
// controls and bidi overrides; a whole page made from hostile records; the timeline's geometry.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "uptime/report/html_report.h"
#include "uptime/report/html_text.h"
#include "uptime/report/svg_timeline.h"
#include "uptime/tool/machine_report.h"

namespace uptime {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(HtmlTextTest, EscapesMarkupAndCleansWhatCannotStandInAPage) {
    // What the page test below and the real tool's hostile records do not already hold.
    const std::pair<std::string, std::string> cases[] = {
        {"\xC2\x85\xC2\x9F", ""},                                  // C1 controls dropped
        {"\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD", ""},  // embeddings, pop
        {"\xE2\x80\x8F\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",           // a mark and Hebrew stay
         "\xE2\x80\x8F\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
        {"\xE0\x80\xBC>", kReplacement + kReplacement + kReplacement + "&gt;"},  // overlong '<'
        {"\xED\xA0\x80", kReplacement + kReplacement + kReplacement},            // a surrogate
        {"\xF4\x90\x80\x80", kReplacement + kReplacement + kReplacement + kReplacement},
        {"\xF0\x9F\x98", kReplacement + kReplacement + kReplacement},  // cut by the end
    };
    for (const auto& [bytes, html] : cases) {
        EXPECT_EQ(HtmlText(bytes), html) << bytes;
    }
}

// The run the tool makes of a log file's history.
MachineRun LogRun(const std::string& name, UtcSeconds now, std::vector<SystemEvent> events) {
    MachineReport report;
    report.name = name;
    report.history.emplace();
    report.history->machineName = name;
    report.history->subject = Subject::LogFile;
    report.history->now = now;
    report.history->events = std::move(events);
    return RunOf(report);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

TEST(HtmlReportTest, HostileRecordsStayTextInEveryPlaceThePageShowsThem) {
    const std::string comment = std::string("\"'<b>&]]>\0", 10) + "\xE2\x80\xAE\xFF\x01";
    const std::string expected = "&quot;&#39;&lt;b&gt;&amp;]]&gt;" + kReplacement + kReplacement;
    RunModel model;
    model.machines.push_back(LogRun("<i>\"PC\"</i>\xE2\x81\xA6", 100000,
                                    {{EventKind::Boot, 1000, "", 0},
                                     {EventKind::ShutdownRequest, 50000, comment, 0},
                                     {EventKind::Shutdown, 50010, "", 0},
                                     {EventKind::Boot, 52000, "", 0}}));
    model.machines.back().earlierNames = {"<old & 'odd'>"};
    model.notRead = {{"list.txt", "<not> read"}};
    const FixedFormatClock clock([](UtcSeconds) { return 0; });

    const std::string page = HtmlReport(model, clock, "UTC");
    // The comment stands in the events table, in its mark's title and as the last shutdown's
    // detail, whole and escaped each time.
    EXPECT_EQ(Count(page, expected), 3u);
    // The name isolated in the summary's row, the heading and the events table's caption; plain
    // in the timeline's title.
    EXPECT_EQ(Count(page, "\\\\<bdi>&lt;i&gt;&quot;PC&quot;&lt;/i&gt;</bdi>"), 3u);
    EXPECT_EQ(Count(page, "Timeline of \\\\&lt;i&gt;&quot;PC&quot;&lt;/i&gt; from"), 1u);
    EXPECT_NE(page.find("&lt;old &amp; &#39;odd&#39;&gt;"), std::string::npos);
    EXPECT_NE(page.find("list.txt: &lt;not&gt; read"), std::string::npos);
    EXPECT_EQ(Count(page, "<bdi>"), Count(page, "</bdi>"));
}

TEST(SvgTimelineTest, DrawsEachStretchWhereItsTimesFallAndKeepsShortOutagesVisible) {
    // A period of 10,000 s, 10 s a unit: the history begins at 1,000 (not known before); a 2 s
    // clean outage at 5,000, an unexpected one from 7,000 to 9,000, a bluescreen at the end.
    const MachineRun run = LogRun("PC", 10000,
                                  {{EventKind::Boot, 1000, "", 0},
                                   {EventKind::RestartRequest, 4990, "patch", 0},
                                   {EventKind::Shutdown, 5000, "", 0},
                                   {EventKind::Boot, 5002, "", 0},
                                   {EventKind::UnexpectedShutdown, 7000, "", 0},
                                   {EventKind::Boot, 9000, "", 0},
                                   {EventKind::Bluescreen, 9999, "0x0000007e", 0}});
    const FixedFormatClock clock([](UtcSeconds) { return 0; });
    const std::string svg = SvgTimeline(run, 0, 10000, clock, "t");

    // Each stretch's rect from its left end, with its width, and each mark's path from its
    // start: the 2 s outage (0.2 units) widened to 4 and centred on it, the bluescreen at the end
    // kept whole inside the picture. The shutdown and the unexpected shutdown are not marked.
    const char* const drawn[] = {
        R"(<rect class="unknown" x="0" width="1000")",
        R"(<rect class="up" x="100.00" width="400.00")",
        R"(<rect class="up" x="500.20" width="199.80")",
        R"(<rect class="up" x="900.00" width="100.00")",
        R"(<rect class="clean" x="498.10" width="4.00")",
        R"(<rect class="unexpected" x="700.00" width="200.00")",
        R"(<path class="boot" d="M95.00 )",
        R"(<path class="request" d="M494.00 )",
        R"(<path class="boot" d="M495.20 )",
        R"(<path class="boot" d="M895.00 )",
        R"(<path class="bluescreen" d="M994.00 )",
    };
    for (const char* part : drawn) {
        EXPECT_NE(svg.find(part), std::string::npos) << part << " in " << svg;
    }
    EXPECT_EQ(Count(svg, "<rect class=") + Count(svg, "<path class="), std::size(drawn));
    EXPECT_NE(svg.find("data-from=\"1970-01-01T00:00:00Z\" data-to=\"1970-01-01T02:46:40Z\""),
              std::string::npos);
    EXPECT_NE(svg.find("<title>01/01/1970 01:23:10 Restart requested: patch</title>"),
              std::string::npos);
}

}  // namespace
}  // namespace uptime
