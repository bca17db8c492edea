// Reading an exported event log in one pass: the bytes of the file, in the encodings wevtutil,
// PowerShell and Event Viewer write, cut into the text of each <Event> record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace uptime {

// A file's bytes, read front to back.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of the file.
    virtual ombrix::base::Result<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

// Takes the records of a log one by one, in the order of the file.
class RecordSink {
  public:
    virtual ~RecordSink() = default;
    // The XML of one record. A record cut short or broken comes as it is, to be counted.
    virtual void Take(std::string_view xml) = 0;
};

// UTF-16 of either byte order to UTF-8, fed in pieces of any size. A lone surrogate, or a
// byte left over at the end, becomes U+FFFD.
class Utf16Decoder {
  public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    void Decode(std::string_view bytes, std::string& out);  // appends to `out`
    void Finish(std::string& out);

  private:
    void Unit(unsigned unit, std::string& out);

    bool bigEndian_;
    int pendingByte_ = -1;   // the first byte of a unit split between pieces
    unsigned highHalf_ = 0;  // a high surrogate waiting for its low half
};

// Where the text of an export goes once decoded to UTF-8, in pieces of any size.
class ExportText {
  public:
    virtual ~ExportText() = default;
    virtual void Feed(std::string_view text) = 0;
    virtual void Finish() = 0;
};

// Finds each <Event ...>...</Event> in XML fed in pieces of any size and hands it to the sink:
// with or without an enclosing root, around a declaration, comments and blanks. A record that
// a new <Event> start tag or the end of the text interrupts is handed on as it is.
class EventSplitter final : public ExportText {
  public:
    explicit EventSplitter(RecordSink& sink) : sink_(sink) {}
    void Feed(std::string_view text) override;
    void Finish() override;
    std::size_t Records() const { return records_; }  // handed on, broken ones included

  private:
    void Scan(bool atEnd);
    void HandOn(std::size_t end);

    RecordSink& sink_;
    std::string buffer_;     // text not yet consumed, from base_ on
    std::size_t base_ = 0;   // start of the open record, or of what is not yet consumed
    std::size_t scan_ = 0;   // where the search for markup goes on
    bool inRecord_ = false;  // buffer_ at base_ holds an open record's start tag
    std::size_t records_ = 0;
};

// The bytes of an XML export fed in pieces, decoded and split into records for the sink, or
// only decoded for a text sink that splits them itself.
class XmlExportReader {
  public:
    explicit XmlExportReader(RecordSink& sink)
        : splitter_(std::in_place, sink), text_(*splitter_) {}
    explicit XmlExportReader(ExportText& text) : text_(text) {}
    XmlExportReader(const XmlExportReader&) = delete;
    XmlExportReader& operator=(const XmlExportReader&) = delete;
    // A Failure as soon as the text shows that the file is not an XML export.
    ombrix::base::Result<void> Feed(std::string_view bytes);
    // The number of records (0 for a text sink); a Failure when the file is empty, or when it
    // held no record that this reader split.
    ombrix::base::Result<std::size_t> Finish();

  private:
    enum class Encoding { Unknown, Utf8, Utf16Little, Utf16Big };
    ombrix::base::Result<void> Pass(std::string_view text);

    std::optional<EventSplitter> splitter_;
    ExportText& text_;
    Encoding encoding_ = Encoding::Unknown;
    std::string head_;  // the first bytes, until they tell the encoding
    Utf16Decoder decoder_{false};
    std::string decoded_;
    bool started_ = false;  // the first character that is not blank has been seen
};

// Why a file that is XML but holds no <Event> element gives no report.
std::string_view NoRecordsReason();

// Whether a file that begins with these bytes is an .evtx log (which only Windows reads).
bool IsEvtxHeader(std::string_view head);

}  // namespace uptime
