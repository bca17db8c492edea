// Command-line splitting: the rules a Windows program's C runtime applies to its command line,
// checked directly and through a real child process, so that the table is known to be the
// runtime's (under Wine, mingw's runtime reads the line; natively, the POSIX start splits it).
#include "base/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runner/run_and_capture.h"
#include "support/test_support.h"

namespace ombrix::base {
namespace {

using Args = std::vector<std::string>;

// Backslashes are literal unless they stand before a quote: then 2n give n and a grouping
// quote, 2n+1 give n and a literal quote.
const std::pair<const char*, Args> kRows[] = {
    {"", {}},
    {"  \t ", {}},
    {"a  b\tc", {"a", "b", "c"}},
    {"\"a b\" c", {"a b", "c"}},
    {"a\"b c\"d", {"ab cd"}},
    {"\"\"", {""}},
    {"a \"\" b", {"a", "", "b"}},
    {"\"a\"\"b\" c", {"a\"b", "c"}},
    {"\\\\SRV01 /s", {"\\\\SRV01", "/s"}},
    {"a\\\"b", {"a\"b"}},
    {"a\\\\\"b c\"", {"a\\b c"}},
    {"a\\\\\\\"b", {"a\\\"b"}},
    {"\"C:\\Program Files\\\\\" next", {"C:\\Program Files\\", "next"}},
    {"\"ends open", {"ends open"}},
    {"trailing\\", {"trailing\\"}},
};

// Each row split here, and by a real child program's runtime, which writes back each argument
// it was given between [ and ].
TEST(CommandLineSplit, FollowsTheRuntimesQuoteAndBackslashRulesAsAChildProgramReadsThem) {
    const test::ScratchDir dir;
    for (const auto& [line, args] : kRows) {
        EXPECT_EQ(SplitCommandLine(line), args) << "line: " << line;
        const std::string outputPath = dir.File("args.out");
        runner::RunState state;
        const auto run = runner::RunAndCapture(
            {outputPath, test::HelperProgram("child_probe"), std::string(" --args ") + line},
            state);
        ASSERT_TRUE(run) << run.Reason();
        std::string expected = "[--args]\n";
        for (const std::string& arg : args) {
            expected += "[" + arg + "]\n";
        }
        EXPECT_EQ(test::ReadFile(outputPath), expected) << "line: " << line;
    }
}

}  // namespace
}  // namespace ombrix::base
