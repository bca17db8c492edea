// The report view: the text it shows and how that text breaks into rows.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "results/results_form.h"
#include "results/text_layout.h"

namespace ombrix::results {
namespace {

using V = std::vector<std::string>;

V Rows(const TextLayout& layout) {
    V rows;
    for (std::size_t i = 0; i < layout.RowCount(); ++i) {
        const auto r = layout.RowAt(i);
        rows.emplace_back(layout.Text().substr(r.begin, r.end - r.begin));
    }
    return rows;
}

TEST(TextLayout, BreaksAtEveryLineEndAndWrapsAtTheLastBlankThatFits) {
    // Width 0 does not wrap; a word wider than the row breaks at its edge.
    const std::tuple<std::string, int, V> cases[] = {
        {"one\r\ntwo\nthree\rfour", 0, {"one", "two", "three", "four"}},
        {"", 0, {""}},
        {"last\r\n", 0, {"last", ""}},
        {"a\r\n\r\nb", 0, {"a", "", "b"}},
        {"alpha beta gamma\r\nabcdefghijkl", 11, {"alpha beta ", "gamma", "abcdefghijk", "l"}},
        {"alpha beta gamma", 0, {"alpha beta gamma"}},
        {"a\tb\t\tc", 10, {"a\t", "b\t", "\tc"}},
        // Where a row ends: before its one line break, or where the next row starts.
        {"a\r\r\nb", 0, {"a", "", "b"}},
        {"\n\n", 0, {"", "", ""}},
        {"a\rb\n\rc", 0, {"a", "b", "", "c"}},
        {"abc def\r\nx", 4, {"abc ", "def", "x"}},
    };
    for (const auto& [text, width, rows] : cases) {
        TextLayout layout(text);
        layout.Wrap(width);
        EXPECT_EQ(Rows(layout), rows) << text << " at " << width;
    }
}

}  // namespace
}  // namespace ombrix::results
