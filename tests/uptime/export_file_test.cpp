// Exported logs cut into records: every form wevtutil, PowerShell and Event Viewer write, fed
// in pieces of every size, so that no boundary between pieces can split a record wrongly.
#include <gtest/gtest.h>

#include "uptime/export_file.h"

namespace uptime {
namespace {

class Recorder final : public RecordSink {
  public:
    void Take(std::string_view xml) override { records.emplace_back(xml); }
    std::vector<std::string> records;
};

std::string Utf16(const std::string& utf8, bool bigEndian) {
    // Enough for the test texts: ASCII, "é" (U+00E9) and "😀" (U+1F600, a surrogate pair).
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            units += static_cast<char16_t>(c);
        } else if (utf8.compare(i, 2, "\xC3\xA9") == 0) {
            units += u'\u00E9';
            i += 1;
        } else if (utf8.compare(i, 4, "\xF0\x9F\x98\x80") == 0) {
            units += u"\U0001F600";
            i += 3;
        } else {
            ADD_FAILURE() << "no UTF-16 for byte " << int{c};
        }
    }
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : units) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

struct Outcome {
    std::vector<std::string> records;
    std::string failure;  // empty when the file was read
};

Outcome ReadInPieces(const std::string& bytes, std::size_t pieceSize) {
    Recorder recorder;
    XmlExportReader reader(recorder);
    for (std::size_t pos = 0; pos < bytes.size(); pos += pieceSize) {
        if (auto fed = reader.Feed(std::string_view(bytes).substr(pos, pieceSize)); !fed) {
            return {recorder.records, fed.Reason()};
        }
    }
    const auto finished = reader.Finish();
    if (finished) {
        EXPECT_EQ(*finished, recorder.records.size());
    }
    return {recorder.records, finished.Reason()};
}

const std::string kFirst = "<Event xmlns='e'><System><EventID>6005</EventID></System></Event>";
const std::string kSecond =
    "<Event xmlns='e'><System><EventID>6006</EventID></System>"
    "<EventData><Data Name='a'>x &lt;/Event&gt; y\r\nz \xC3\xA9 \xF0\x9F\x98\x80</Data></EventData>"
    "</Event>";

TEST(XmlExport, FindsEveryRecordInEveryFormAndPieceSize) {
    struct Case {
        const char* form;
        std::string text;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"wevtutil qe: one record per line, no root",
         kFirst + "\r\n" + kSecond + "\r\n",
         {kFirst, kSecond}},
        {"wevtutil /e:Events, with a declaration and blanks",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Events>\r\n  " + kFirst + "\r\n  " +
             kSecond + "\r\n</Events>\r\n",
         {kFirst, kSecond}},
        {"comments and a prefixed root",
         "<!-- <Event> in a comment is none --><ev:Events xmlns:ev='e'>" + kFirst +
             "<!-- x --></ev:Events>",
         {kFirst}},
        {"CDATA that holds an end tag",
         "<Event><Data><![CDATA[</Event><Event>]]></Data></Event>" + kFirst,
         {"<Event><Data><![CDATA[</Event><Event>]]></Data></Event>", kFirst}},
        {"an end tag with a blank and a namespace prefix",
         "<e:Event a='>'>x</e:Event >" + kFirst,
         {"<e:Event a='>'>x</e:Event >", kFirst}},
        {"a record cut short by the next one",
         "<Event><System><EventID>60" + kFirst,
         {"<Event><System><EventID>60", kFirst}},
        {"the last record cut short by the end of the file",
         kFirst + "\r\n" + kSecond.substr(0, 70),
         {kFirst, kSecond.substr(0, 70)}},
    };
    for (const Case& c : cases) {
        for (const bool utf16 : {false, true}) {
            for (const bool bigEndian : {false, true}) {
                if (!utf16 && bigEndian) {
                    continue;
                }
                const std::string bytes = utf16 ? Utf16(c.text, bigEndian) : c.text;
                for (std::size_t piece = 1; piece <= bytes.size(); piece += piece < 16 ? 1 : 37) {
                    SCOPED_TRACE(std::string(c.form) + (utf16 ? ", UTF-16" : ", UTF-8") +
                                 (bigEndian ? " big-endian" : "") + ", pieces of " +
                                 std::to_string(piece));
                    const Outcome outcome = ReadInPieces(bytes, piece);
                    EXPECT_EQ(outcome.failure, "");
                    EXPECT_EQ(outcome.records, c.records);
                }
            }
        }
    }
}

TEST(XmlExport, TakesByteOrderMarksAndUtf16WithoutOne) {
    const std::pair<std::string, const char*> files[] = {
        {"\xEF\xBB\xBF" + kFirst, "UTF-8 with its mark"},
        {Utf16(kFirst, false).substr(2), "UTF-16 little-endian without a mark"},
        {Utf16(kFirst, true).substr(2), "UTF-16 big-endian without a mark"},
    };
    for (const auto& [bytes, form] : files) {
        const Outcome outcome = ReadInPieces(bytes, 3);
        EXPECT_EQ(outcome.failure, "") << form;
        EXPECT_EQ(outcome.records, std::vector<std::string>{kFirst}) << form;
    }
}

TEST(XmlExport, BrokenUtf16BecomesReplacementCharacters) {
    // A lone high surrogate (D83D), "b", a lone low one (DC00), and a byte left at the end.
    const std::string bytes = Utf16("<Event>a", false) +
                              std::string(
                                  "\x3D\xD8"
                                  "b\0"
                                  "\x00\xDC",
                                  6) +
                              Utf16("</Event>", false).substr(2) + "x";
    const Outcome outcome = ReadInPieces(bytes, 1);
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(outcome.records,
              std::vector<std::string>{"<Event>a" + replacement + "b" + replacement + "</Event>"});
}

TEST(XmlExport, RefusesWhatIsNoEventExport) {
    const std::pair<std::string, const char*> files[] = {
        {"", "empty"},
        {"\xEF\xBB\xBF \r\n", "empty"},
        {"Level,Date and Time,Source,Event ID\r\nInformation,...", "does not begin with XML"},
        {Utf16("Keywords\tDate", false), "does not begin with XML"},
        {"<?xml version='1.0'?><Events></Events>", "no event records"},
        {"<html><body>EventID</body></html>", "no event records"},
    };
    for (const auto& [bytes, reason] : files) {
        const Outcome outcome = ReadInPieces(bytes, 5);
        EXPECT_NE(outcome.failure.find(reason), std::string::npos)
            << "\"" << bytes << "\": " << outcome.failure;
        EXPECT_TRUE(outcome.records.empty());
    }
}

TEST(XmlExport, KnowsAnEvtxFileByItsHeader) {
    EXPECT_TRUE(IsEvtxHeader(std::string("ElfFile\0\0\0\0\0", 12)));
    EXPECT_FALSE(IsEvtxHeader("ElfFile"));
    EXPECT_FALSE(IsEvtxHeader("<Event"));
}

}  // namespace
}  // namespace uptime
