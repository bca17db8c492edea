// The help pages against the program: every fixed message, caption and file name the program
// shows must be found, word for word, on the page that explains it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <string>

#include "about/html_help.h"
#include "about/sys_info.h"
#include "main/main_form.h"
#include "main/main_layout.h"
#include "main/version_check.h"
#include "options/launch_sequence.h"
#include "options/options_file.h"
#include "results/print_layout.h"
#include "results/report_file.h"
#include "results/results_form.h"
#include "runner/run_and_capture.h"
#include "support/test_support.h"
#include "uptime/tool.h"

namespace ombrix::about {
namespace {

// The page as a reader sees it: white space runs made one blank, the pages' entities resolved.
void ExpectOnPage(const std::string& page, const std::string& text) {
    std::string content = std::regex_replace(
        test::ReadFile(std::string(OMBRIX_HELP_SOURCE_DIR) + "/" + page), std::regex("\\s+"), " ");
    static const char* const kEntities[][2] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [entity, character] : kEntities) {
        content = std::regex_replace(content, std::regex(entity), character);
    }
    EXPECT_NE(content.find(text), std::string::npos) << page << " does not say: " << text;
}

TEST(HelpText, QuotesEveryFixedMessageAndName) {
    const std::string filter = main::kLocateFilter;
    const std::pair<const char*, std::vector<std::string>> quotes[] = {
        {"messages.htm",
         {options::kLocateMessage, options::kMachineMessage, options::kInvalidDateMessage,
          options::kFutureDateMessage, options::kMissingOutputMessage, runner::kTwoCopiesMessage,
          options::kOptionsRejectedMessage, kHelpNotAvailableMessage, kHelpViewerMissingMessage,
          kSysInfoUnavailable}},
        {"results_window.htm",
         {results::kResultsCaption, results::kCloseCaption, results::kSaveReportTitle,
          results::kReportEnd, results::kPrintHeader, std::string(results::kFrameWidth, '*')}},
        {"options_file.htm", {options::kOptionsFileName, options::kOptionsSignature}},
        {"menus.htm", {main::kLocateTitle, filter.substr(0, filter.find('|'))}},
        {"main_window.htm", {main::kMainCaption}}};
    for (const auto& [page, texts] : quotes) {
        for (const std::string& text : texts) {
            ExpectOnPage(page, text);
        }
    }
}

TEST(HelpText, ListsEveryStartUpRefusalAndControl) {
    // Windows 3.x, 9x, NT below the minimum, and a platform Ombrix does not know.
    for (const std::uint32_t platformId : {0u, 1u, 2u, 3u}) {
        const auto refusal = main::StartupRefusal({3, 51, 1057, platformId});
        ASSERT_TRUE(refusal.has_value()) << platformId;
        ExpectOnPage("messages.htm", *refusal);
    }
    for (const main::ControlDesign& design : main::kMainControls) {
        const std::string caption = design.caption;
        // Not the date separators or the numbers boxes start with.
        if (std::any_of(caption.begin(), caption.end(),
                        [](unsigned char c) { return std::isalpha(c) != 0; })) {
            ExpectOnPage("main_window.htm", caption);
        }
    }
}

TEST(HelpText, QuotesTheStandInAsItAnswers) {
    // Its usage line up to the end of the first sentence, and a report line.
    const std::string usage = uptime::UsageText("");
    const std::size_t sentenceEnd = usage.find("]. ");
    ASSERT_NE(sentenceEnd, std::string::npos) << usage;
    ExpectOnPage("uptime_tool.htm", usage.substr(0, sentenceEnd + 2));
    ExpectOnPage("uptime_tool.htm",
                 uptime::UptimeLine("WORKST7", 3 * 86400 + 4 * 3600 + 12 * 60 + 9));
}

}  // namespace
}  // namespace ombrix::about
