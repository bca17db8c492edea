#include "uptime/event_xml.h"

#include <utility>

namespace uptime {
namespace {

struct Element {
    std::string name;  // without a namespace prefix
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Element> children;
    std::string text;  // the character data directly inside

    const Element* Child(std::string_view childName) const {
        for (const Element& child : children) {
            if (child.name == childName) {
                return &child;
            }
        }
        return nullptr;
    }
    std::string Attribute(std::string_view attributeName) const {
        for (const auto& [key, value] : attributes) {
            if (key == attributeName) {
                return value;
            }
        }
        return {};
    }
};

std::string LocalName(std::string_view name) {
    const auto colon = name.find(':');
    return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Just enough XML for rendered events: elements, attributes, character data, the predefined
// and numeric entities, CDATA, comments and processing instructions. No DTDs.
class XmlReader {
  public:
    explicit XmlReader(std::string_view text) : in_(text) {}

    std::optional<Element> Document() {
        if (in_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3;
        }
        if (!SkipMisc()) {
            return std::nullopt;
        }
        Element root;
        if (!Peek('<') || !ReadElement(root, 0) || !SkipMisc() || pos_ != in_.size()) {
            return std::nullopt;
        }
        return root;
    }

  private:
    static constexpr int kMaxDepth = 32;

    bool Peek(char c) const { return pos_ < in_.size() && in_[pos_] == c; }
    bool StartsWith(std::string_view prefix) const {
        return in_.substr(pos_, prefix.size()) == prefix;
    }
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    void SkipSpace() {
        while (pos_ < in_.size() && IsSpace(in_[pos_])) {
            ++pos_;
        }
    }
    bool SkipPast(std::string_view terminator) {
        const auto end = in_.find(terminator, pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        pos_ = end + terminator.size();
        return true;
    }
    // Blanks, comments and processing instructions around the root element.
    bool SkipMisc() {
        for (;;) {
            SkipSpace();
            if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    std::string Name() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && !IsSpace(in_[pos_]) && in_[pos_] != '/' && in_[pos_] != '>' &&
               in_[pos_] != '=' && in_[pos_] != '<') {
            ++pos_;
        }
        return std::string(in_.substr(start, pos_ - start));
    }

    // Decodes `&...;` at pos_ onto `out`.
    bool Entity(std::string& out) {
        const auto end = in_.find(';', pos_);
        if (end == std::string_view::npos || end - pos_ > 10) {
            return false;
        }
        const std::string_view name = in_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "amp") {
            out += '&';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "apos") {
            out += '\'';
        } else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            if (digits.empty()) {
                return false;
            }
            std::uint32_t code = 0;
            for (const char c : digits) {
                std::uint32_t digit = 0;
                if (c >= '0' && c <= '9') {
                    digit = static_cast<std::uint32_t>(c - '0');
                } else if (hex && c >= 'a' && c <= 'f') {
                    digit = static_cast<std::uint32_t>(c - 'a' + 10);
                } else if (hex && c >= 'A' && c <= 'F') {
                    digit = static_cast<std::uint32_t>(c - 'A' + 10);
                } else {
                    return false;
                }
                code = code * (hex ? 16 : 10) + digit;
                if (code > 0x10FFFF) {
                    return false;
                }
            }
            if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
                return false;
            }
            AppendUtf8(out, code);
        } else {
            return false;
        }
        return true;
    }

    bool Attribute(Element& element) {
        std::string name = Name();
        SkipSpace();
        if (name.empty() || !Peek('=')) {
            return false;
        }
        ++pos_;
        SkipSpace();
        if (!Peek('\'') && !Peek('"')) {
            return false;
        }
        const char quote = in_[pos_++];
        std::string value;
        while (pos_ < in_.size() && in_[pos_] != quote) {
            if (in_[pos_] == '<') {
                return false;
            }
            if (in_[pos_] == '&') {
                if (!Entity(value)) {
                    return false;
                }
            } else {
                value += in_[pos_++];
            }
        }
        if (pos_ == in_.size()) {
            return false;
        }
        ++pos_;
        element.attributes.emplace_back(LocalName(name), std::move(value));
        return true;
    }

    bool ReadElement(Element& element, int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        ++pos_;  // '<'
        const std::string qualified = Name();
        if (qualified.empty()) {
            return false;
        }
        element.name = LocalName(qualified);
        for (;;) {
            const std::size_t before = pos_;
            SkipSpace();
            if (StartsWith("/>")) {
                pos_ += 2;
                return true;
            }
            if (Peek('>')) {
                ++pos_;
                break;
            }
            if (pos_ == before || !Attribute(element)) {
                return false;
            }
        }
        while (pos_ < in_.size()) {
            if (StartsWith("</")) {
                pos_ += 2;
                if (Name() != qualified) {
                    return false;
                }
                SkipSpace();
                if (!Peek('>')) {
                    return false;
                }
                ++pos_;
                return true;
            }
            if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else if (StartsWith("<![CDATA[")) {
                pos_ += 9;
                const auto end = in_.find("]]>", pos_);
                if (end == std::string_view::npos) {
                    return false;
                }
                element.text += in_.substr(pos_, end - pos_);
                pos_ = end + 3;
            } else if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (Peek('<')) {
                Element child;
                if (!ReadElement(child, depth + 1)) {
                    return false;
                }
                element.children.push_back(std::move(child));
            } else if (Peek('&')) {
                if (!Entity(element.text)) {
                    return false;
                }
            } else {
                element.text += in_[pos_++];
            }
        }
        return false;  // the document ended inside the element
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<unsigned> EventNumber(const std::string& text) {
    const std::string digits = Trim(text);
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 0xFFFF ? std::optional<unsigned>(value) : std::nullopt;
}

// Hex digits, blanks allowed between them; nothing when the text is not whole bytes of hex.
std::vector<std::uint8_t> HexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : text) {
        int nibble = 0;
        if (c >= '0' && c <= '9') {
            nibble = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            nibble = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            nibble = c - 'A' + 10;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        } else {
            return {};
        }
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + nibble));
            high = -1;
        }
    }
    return high < 0 ? bytes : std::vector<std::uint8_t>{};
}

void CollectLeaves(const Element& element, std::vector<EventField>& fields) {
    for (const Element& child : element.children) {
        if (child.children.empty()) {
            fields.push_back({child.name, child.text});
        } else {
            CollectLeaves(child, fields);
        }
    }
}

}  // namespace

std::string EventRecord::Field(std::string_view name) const {
    for (const EventField& field : fields) {
        if (field.name == name) {
            return field.value;
        }
    }
    return {};
}

std::string EventRecord::FieldAt(std::size_t index) const {
    return index < fields.size() ? fields[index].value : std::string();
}

std::optional<EventRecord> ParseEventXml(std::string_view xml) {
    const std::optional<Element> root = XmlReader(xml).Document();
    if (!root || root->name != "Event") {
        return std::nullopt;
    }
    const Element* system = root->Child("System");
    if (system == nullptr) {
        return std::nullopt;
    }
    const Element* id = system->Child("EventID");
    const Element* created = system->Child("TimeCreated");
    const std::optional<unsigned> number = id ? EventNumber(id->text) : std::nullopt;
    const std::optional<UtcSeconds> time =
        created ? ParseSystemTime(created->Attribute("SystemTime")) : std::nullopt;
    if (!number || !time) {
        return std::nullopt;
    }
    EventRecord record;
    record.eventId = *number;
    record.timeCreated = *time;
    if (const Element* provider = system->Child("Provider")) {
        record.provider = provider->Attribute("Name");
        record.sourceName = provider->Attribute("EventSourceName");
    }
    if (const Element* channel = system->Child("Channel")) {
        record.channel = Trim(channel->text);
    }
    if (const Element* data = root->Child("EventData")) {
        for (const Element& item : data->children) {
            if (item.name == "Data") {
                record.fields.push_back({item.Attribute("Name"), item.text});
            } else if (item.name == "Binary") {
                record.binary = HexBytes(item.text);
            }
        }
    }
    if (const Element* user = root->Child("UserData")) {
        CollectLeaves(*user, record.fields);
    }
    return record;
}

}  // namespace uptime
