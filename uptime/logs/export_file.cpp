#include "uptime/logs/export_file.h"

#include <algorithm>

#include "base/text.h"
#include "uptime/common/utf8.h"
#include "uptime/events/xml_text.h"

namespace uptime {
namespace {

using ombrix::base::Failure;
using ombrix::base::IsBlank;

bool EndsName(char c) {
    return IsBlank(c) || c == '/' || c == '>';
}

constexpr char kNoRecords[] = "It holds no event records (no <Event> element).";

bool IsEventName(std::string_view name) {
    return LocalName(name) == "Event";
}

}  // namespace

void Utf16Decoder::Decode(std::string_view bytes, std::string& out) {
    out.reserve(out.size() + bytes.size() / 2 * 3 + 4);
    std::size_t i = 0;
    if (pendingByte_ >= 0 && !bytes.empty()) {
        const auto second = static_cast<unsigned char>(bytes[0]);
        const auto first = static_cast<unsigned>(pendingByte_);
        Unit(bigEndian_ ? first << 8 | second : second << 8 | first, out);
        pendingByte_ = -1;
        i = 1;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = bigEndian_ ? static_cast<unsigned>(data[i] << 8 | data[i + 1])
                                         : static_cast<unsigned>(data[i + 1] << 8 | data[i]);
        if (unit < 0x80 && highHalf_ == 0) {
            out.push_back(static_cast<char>(unit));
        } else {
            Unit(unit, out);
        }
    }
    if (i < bytes.size()) {
        pendingByte_ = data[i];
    }
}

void Utf16Decoder::Unit(unsigned unit, std::string& out) {
    if (highHalf_ != 0) {
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((highHalf_ - 0xD800) << 10) + (unit - 0xDC00));
            highHalf_ = 0;
            return;
        }
        AppendUtf8(out, 0xFFFD);
        highHalf_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        highHalf_ = unit;
    } else {
        AppendUtf8(out, unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
}

void Utf16Decoder::Finish(std::string& out) {
    if (highHalf_ != 0 || pendingByte_ >= 0) {
        AppendUtf8(out, 0xFFFD);
    }
    highHalf_ = 0;
    pendingByte_ = -1;
}

void EventSplitter::Feed(std::string_view text) {
    // What went before the open record (or all of it, between records) is done with.
    buffer_.erase(0, base_);
    scan_ -= base_;
    base_ = 0;
    buffer_.append(text);
    Scan(false);
}

void EventSplitter::Finish() {
    Scan(true);
    if (inRecord_) {
        HandOn(buffer_.size());  // cut short by the end of the file
    }
    buffer_.clear();
    base_ = 0;
    scan_ = 0;
}

void EventSplitter::HandOn(std::size_t end) {
    sink_.Take(std::string_view(buffer_).substr(base_, end - base_));
    ++records_;
    inRecord_ = false;
    base_ = end;
}

void EventSplitter::Scan(bool atEnd) {
    const std::string_view text(buffer_);
    // Markup that is not complete yet waits for the next piece.
    const auto waitAt = [&](std::size_t lt) {
        scan_ = lt;
        if (!inRecord_) {
            base_ = lt;
        }
    };
    for (;;) {
        const auto lt = text.find('<', scan_);
        if (lt == std::string_view::npos) {
            waitAt(text.size());
            return;
        }
        const std::string_view rest = text.substr(lt);
        // Comments, CDATA and processing instructions may hold "<" of their own.
        std::string_view terminator;
        if (rest.starts_with("<!--")) {
            terminator = "-->";
        } else if (rest.starts_with("<![CDATA[")) {
            terminator = "]]>";
        } else if (rest.starts_with("<?")) {
            terminator = "?>";
        } else if (!atEnd && (std::string_view("<!--").starts_with(rest) ||
                              std::string_view("<![CDATA[").starts_with(rest))) {
            waitAt(lt);
            return;
        }
        if (!terminator.empty()) {
            const auto end = text.find(terminator, lt + 2);
            if (end == std::string_view::npos) {
                waitAt(atEnd ? text.size() : lt);
                return;
            }
            scan_ = end + terminator.size();
            continue;
        }
        const bool closing = rest.size() > 1 && rest[1] == '/';
        const std::size_t nameStart = lt + (closing ? 2 : 1);
        std::size_t nameEnd = nameStart;
        while (nameEnd < text.size() && !EndsName(text[nameEnd])) {
            ++nameEnd;
        }
        if (nameEnd == text.size() && !atEnd) {
            waitAt(lt);
            return;
        }
        const bool event = IsEventName(text.substr(nameStart, nameEnd - nameStart));
        if (event && !closing) {
            if (inRecord_) {
                HandOn(lt);  // records do not nest: the open one was cut short
            }
            base_ = lt;
            inRecord_ = true;
            scan_ = nameEnd;
        } else if (event && inRecord_) {
            const auto gt = text.find('>', nameEnd);
            if (gt == std::string_view::npos) {
                waitAt(atEnd ? text.size() : lt);
                return;
            }
            HandOn(gt + 1);
            scan_ = gt + 1;
        } else {
            // Any other tag: attribute values hold no "<", so the search goes on after its name.
            scan_ = nameEnd;
            if (!inRecord_) {
                base_ = scan_;
            }
        }
    }
}

ombrix::base::Result<void> XmlExportReader::Feed(std::string_view bytes) {
    if (encoding_ == Encoding::Unknown) {
        head_.append(bytes);
        if (head_.size() < 4) {
            return {};
        }
        bytes = head_;
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            encoding_ = Encoding::Utf8;
            bytes.remove_prefix(3);
        } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with(std::string_view("<\0", 2))) {
            encoding_ = Encoding::Utf16Little;
            bytes.remove_prefix(bytes[0] == '<' ? 0 : 2);
        } else if (bytes.starts_with("\xFE\xFF") || bytes.starts_with(std::string_view("\0<", 2))) {
            encoding_ = Encoding::Utf16Big;
            bytes.remove_prefix(bytes[0] == '\0' ? 0 : 2);
        } else {
            encoding_ = Encoding::Utf8;
        }
        decoder_ = Utf16Decoder(encoding_ == Encoding::Utf16Big);
        const std::string head = std::move(head_);
        head_.clear();
        return Feed(std::string_view(head).substr(head.size() - bytes.size()));
    }
    if (encoding_ == Encoding::Utf8) {
        return Pass(bytes);
    }
    decoded_.clear();
    decoder_.Decode(bytes, decoded_);
    return Pass(decoded_);
}

ombrix::base::Result<void> XmlExportReader::Pass(std::string_view text) {
    if (!started_) {
        const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
        if (first != text.end()) {
            started_ = true;
            if (*first != '<') {
                return Failure{"It is not an event export: it does not begin with XML."};
            }
        }
    }
    text_.Feed(text);
    return {};
}

ombrix::base::Result<std::size_t> XmlExportReader::Finish() {
    if (encoding_ == Encoding::Unknown) {
        // A file shorter than a byte order mark and a character.
        encoding_ = Encoding::Utf8;
        std::string_view head = head_;
        for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
            if (head.starts_with(mark)) {
                head.remove_prefix(mark.size());
            }
        }
        if (auto passed = Pass(head); !passed) {
            return Failure{passed.Reason()};
        }
    }
    decoded_.clear();
    decoder_.Finish(decoded_);
    if (encoding_ != Encoding::Utf8) {
        if (auto passed = Pass(decoded_); !passed) {
            return Failure{passed.Reason()};
        }
    }
    text_.Finish();
    if (!started_) {
        return Failure{"It is empty."};
    }
    if (!splitter_) {
        return std::size_t{0};
    }
    if (splitter_->Records() == 0) {
        return Failure{kNoRecords};
    }
    return splitter_->Records();
}

std::string_view NoRecordsReason() {
    return kNoRecords;
}

bool IsEvtxHeader(std::string_view head) {
    return head.starts_with(std::string_view("ElfFile\0", 8));
}

}  // namespace uptime
