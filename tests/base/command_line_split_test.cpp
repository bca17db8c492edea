// Command-line splitting: the rules a Windows program's C runtime applies to its command line,
// checked directly and through a real child process, so that the table is known to be the
// runtime's (under Wine, mingw's runtime reads the line; natively, the POSIX start splits it).
#include "base/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::base {
namespace {

using Args = std::vector<std::string>;

struct Row {
    const char* line;
    Args args;
};

// Backslashes are literal unless they stand before a quote: then 2n give n and a grouping
// quote, 2n+1 give n and a literal quote.
const Row kRows[] = {
    {"", {}},
    {"  \t ", {}},
    {"a  b\tc", {"a", "b", "c"}},
    {"\"a b\" c", {"a b", "c"}},
    {"a\"b c\"d", {"ab cd"}},
    {"\"\"", {""}},
    {"a \"\" b", {"a", "", "b"}},
    {"\"a\"\"b\" c", {"a\"b", "c"}},
    {"C:\\Tools\\uptime.exe", {"C:\\Tools\\uptime.exe"}},
    {"\\\\SRV01 /s", {"\\\\SRV01", "/s"}},
    {"a\\\\\\b", {"a\\\\\\b"}},
    {"a\\\"b", {"a\"b"}},
    {"a\\\\\"b c\"", {"a\\b c"}},
    {"a\\\\\\\"b", {"a\\\"b"}},
    {"\"C:\\Program Files\\\\\" next", {"C:\\Program Files\\", "next"}},
    {"\"ends open", {"ends open"}},
    {"trailing\\", {"trailing\\"}},
};

TEST(CommandLineSplit, FollowsTheRuntimesQuoteAndBackslashRules) {
    for (const Row& row : kRows) {
        EXPECT_EQ(SplitCommandLine(row.line), row.args) << "line: " << row.line;
    }
}

// What the child program was given, one argument a row, as the runtime split its command line.
Args ArgumentsSeenByChild(const std::string& tail) {
    const test::ScratchDir dir;
    const std::string outputPath = dir.File("args.out");
    auto output = platform::OutputFile::Create(outputPath);
    if (!output) {
        ADD_FAILURE() << output.Reason();
        return {};
    }
    auto child = platform::CapturedProcess::Start(std::move(*output),
                                                  test::HelperProgram("child_probe"), tail);
    if (!child) {
        ADD_FAILURE() << child.Reason();
        return {};
    }
    (*child)->WaitForExit();
    (*child)->Finish();
    Args args;
    const std::string text = test::ReadFile(outputPath);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("]\n", at);
        if (text[at] != '[' || end == std::string::npos) {
            ADD_FAILURE() << "unreadable output: " << text;
            break;
        }
        args.push_back(text.substr(at + 1, end - at - 1));
        at = end + 2;
    }
    return args;
}

TEST(CommandLineSplit, AChildProgramReadsItsLineTheSameWay) {
    for (const Row& row : kRows) {
        Args expected{"--args"};
        expected.insert(expected.end(), row.args.begin(), row.args.end());
        EXPECT_EQ(ArgumentsSeenByChild(std::string(" --args ") + row.line), expected)
            << "line: " << row.line;
    }
}

}  // namespace
}  // namespace ombrix::base
