// Exported logs cut into records: every form wevtutil, PowerShell and Event Viewer write, fed
// in pieces of every size, so that no boundary between pieces can split a record wrongly.
#include <gtest/gtest.h>

#include "uptime/logs/export_file.h"
#include "uptime/recorded_system.h"

namespace uptime {
namespace {

using test::Utf16;

class Recorder final : public RecordSink {
  public:
    void Take(std::string_view xml) override { records.emplace_back(xml); }
    std::vector<std::string> records;
};

// The records the reader finds in `bytes` fed in pieces of `pieceSize`.
std::vector<std::string> ReadInPieces(const std::string& bytes, std::size_t pieceSize) {
    Recorder recorder;
    XmlExportReader reader(recorder);
    for (std::size_t pos = 0; pos < bytes.size(); pos += pieceSize) {
        const auto fed = reader.Feed(std::string_view(bytes).substr(pos, pieceSize));
        EXPECT_TRUE(fed) << fed.Reason();
    }
    const auto finished = reader.Finish();
    EXPECT_EQ(finished ? *finished : 0, recorder.records.size()) << finished.Reason();
    return recorder.records;
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
        const std::pair<std::string, const char*> encodings[] = {
            {c.text, "UTF-8"},
            {"\xEF\xBB\xBF" + c.text, "UTF-8 with its mark"},
            {Utf16(c.text, false), "UTF-16 little-endian"},
            {Utf16(c.text, true), "UTF-16 big-endian"},
            {Utf16(c.text, false, false), "UTF-16 little-endian without a mark"},
            {Utf16(c.text, true, false), "UTF-16 big-endian without a mark"},
        };
        for (const auto& [bytes, encoding] : encodings) {
            for (std::size_t piece = 1; piece <= bytes.size(); piece += piece < 16 ? 1 : 37) {
                SCOPED_TRACE(std::string(c.form) + ", " + encoding + ", pieces of " +
                             std::to_string(piece));
                EXPECT_EQ(ReadInPieces(bytes, piece), c.records);
            }
        }
    }
}

// A lone surrogate becomes U+FFFD in the hostile records' runs of the real program.
TEST(XmlExport, AByteLeftAtTheEndOfUtf16LosesNoRecord) {
    EXPECT_EQ(ReadInPieces(Utf16("<Event>a</Event>", false) + "x", 1),
              std::vector<std::string>{"<Event>a</Event>"});
}

}  // namespace
}  // namespace uptime
