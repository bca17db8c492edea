// The help pages against the program: every fixed message, caption and file name the program
// shows must be found, word for word, on the page that explains it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

// The page's text as a reader sees it: the few entities the pages use resolved, runs of white
// space (line breaks of the source included) made one blank. Tags stay.
std::string PageText(const std::string& page) {
    const std::string html = test::ReadFile(std::string(OMBRIX_HELP_SOURCE_DIR) + "/" + page);
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!text.empty() && text.back() != ' ') {
                text += ' ';
            }
            continue;
        }
        bool replaced = false;
        for (const auto& [entity, character] : {std::pair{"&amp;", '&'}, std::pair{"&lt;", '<'},
                                                std::pair{"&gt;", '>'}, std::pair{"&quot;", '"'}}) {
            const std::string name(entity);
            if (html.compare(i, name.size(), name) == 0) {
                text += character;
                i += name.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            text += c;
        }
    }
    return text;
}

void ExpectOnPage(const std::string& page, const std::string& text) {
    const std::string content = PageText(page);
    EXPECT_NE(content.find(text), std::string::npos) << page << " does not say: " << text;
}

TEST(HelpText, ListsEveryFixedMessage) {
    for (const char* message :
         {options::kLocateMessage, options::kMachineMessage, options::kInvalidDateMessage,
          options::kFutureDateMessage, options::kMissingOutputMessage, runner::kTwoCopiesMessage,
          options::kOptionsRejectedMessage, kHelpNotAvailableMessage, kHelpViewerMissingMessage,
          kSysInfoUnavailable}) {
        ExpectOnPage("messages.htm", message);
    }
}

TEST(HelpText, ListsEveryStartUpRefusal) {
    // Platforms 0 (Windows 3.x), 1 (Windows 9x), 2 below the minimum, and one Ombrix does not
    // know: each has its own message.
    for (const std::uint32_t platformId : {0u, 1u, 2u, 3u}) {
        const auto refusal = main::StartupRefusal({3, 51, 1057, platformId});
        ASSERT_TRUE(refusal.has_value()) << platformId;
        ExpectOnPage("messages.htm", *refusal);
    }
}

TEST(HelpText, DescribesEveryControlOfTheMainWindow) {
    ExpectOnPage("main_window.htm", main::kMainCaption);
    for (const main::ControlDesign& design : main::kMainControls) {
        const std::string caption = design.caption;
        // Captions with words in them; not the date separators or the numbers boxes start with.
        if (std::none_of(caption.begin(), caption.end(),
                         [](unsigned char c) { return std::isalpha(c) != 0; })) {
            continue;
        }
        ExpectOnPage("main_window.htm", caption);
    }
}

TEST(HelpText, DescribesTheResultsWindowAndItsReports) {
    ExpectOnPage("results_window.htm", results::kResultsCaption);
    ExpectOnPage("results_window.htm", results::kCloseCaption);
    ExpectOnPage("results_window.htm", results::kSaveReportTitle);
    ExpectOnPage("results_window.htm", results::kReportEnd);
    ExpectOnPage("results_window.htm", results::kPrintHeader);
    ExpectOnPage("results_window.htm", std::string(results::kFrameWidth, '*'));
}

TEST(HelpText, DescribesTheOptionsFile) {
    ExpectOnPage("options_file.htm", options::kOptionsFileName);
    ExpectOnPage("options_file.htm", options::kOptionsSignature);
    ExpectOnPage("menus.htm", main::kLocateTitle);
    const std::string filter = main::kLocateFilter;
    ExpectOnPage("menus.htm", filter.substr(0, filter.find('|')));
}

TEST(HelpText, QuotesTheStandInAsItAnswers) {
    // Its usage line, up to the end of the first sentence.
    const std::string usage = uptime::UsageText("");
    const std::size_t sentenceEnd = usage.find("]. ");
    ASSERT_NE(sentenceEnd, std::string::npos) << usage;
    ExpectOnPage("uptime_tool.htm", usage.substr(0, sentenceEnd + 2));
    // The report line's form, as the page shows it for another computer.
    ExpectOnPage("uptime_tool.htm",
                 uptime::UptimeLine("WORKST7", 3 * 86400 + 4 * 3600 + 12 * 60 + 9));
}

}  // namespace
}  // namespace ombrix::about
