#include "platform/win32/RegistryHive.h"

#include <algorithm>

namespace {

const char* const Signature = "Korvel registry 1";
const char* const HeaderComment =
    "; The registry of Korvel's user. Edit it only while no Korvel is running.\n"
    "; [key\\path] starts a key; \"name\"=\"text\" or \"name\"=dword:hex sets a value.\n"
    "; In texts \\\\ is a backslash, \\\" a double quote, \\xHH the byte HH;\n"
    "; in key names %HH is the byte HH.\n";

const char* const HexDigits = "0123456789abcdef";

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string HexByte(unsigned char byte) {
    return {HexDigits[byte >> 4], HexDigits[byte & 15]};
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence that begins at i, 0 when the bytes
// there are none (overlong forms, surrogates and code points past U+10FFFF
// are not valid).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if (!IsContinuation(at(i + k)))
            return 0;
    return length;
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

// Writes every byte that is not readable text, and the readable ones that
// the format reserves, as escapes.
template <class Escape> std::string EscapeBytes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const size_t length = IsControl(byte) ? 0 : Utf8SequenceLength(text, i);
        if (length == 0)
            out += Escape::Byte(byte);
        else if (length == 1)
            out += Escape::Readable(text[i]);
        else
            out.append(text, i, length);
        i += std::max<size_t>(length, 1);
    }
    return out;
}

struct QuotedEscape {
    static std::string Byte(unsigned char byte) { return "\\x" + HexByte(byte); }
    static std::string Readable(char c) {
        return (c == '\\' || c == '"') ? std::string{'\\', c} : std::string(1, c);
    }
};

struct KeyNameEscape {
    static std::string Byte(unsigned char byte) { return "%" + HexByte(byte); }
    // A backslash parts the names of a path; one inside a name, which
    // only a hand-edited file holds, is written as an escape.
    static std::string Readable(char c) {
        return c == '%' || c == '\\' ? Byte(static_cast<unsigned char>(c)) : std::string(1, c);
    }
};

std::string Quoted(const std::string& text) {
    return "\"" + EscapeBytes<QuotedEscape>(text) + "\"";
}

std::string KeyNameText(const std::string& name) {
    return EscapeBytes<KeyNameEscape>(name);
}

void AppendValues(std::string& out, const RegistryKey& key) {
    for (const RegistryValue& value : key.Values()) {
        out += Quoted(value.Name) + "=";
        if (value.Type == REG_DWORD) {
            const DWORD number = DwordValue(value.Data);
            out += "dword:";
            for (int shift = 28; shift >= 0; shift -= 4)
                out += HexDigits[(number >> shift) & 15];
        } else
            out += Quoted(value.Data);
        out += '\n';
    }
}

void AppendKey(std::string& out, const RegistryKey& key, const std::string& path) {
    if (!key.Values().empty() || key.Subkeys().empty())
        out += "\n[" + path + "]\n";
    AppendValues(out, key);
    for (const auto& subkey : key.Subkeys())
        AppendKey(out, *subkey, path + "\\" + KeyNameText(subkey->Name));
}

// Reads one line of the hive text.
class LineParser {
public:
    LineParser(const std::string& line, int number) : line_(line), number_(number) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw RegistryFormatError("line " + std::to_string(number_) + ": " + what);
    }

    RegistryPath KeyPath() {
        if (line_.back() != ']')
            Fail("a key line must end with \"]\"");
        const std::string inner = line_.substr(1, line_.size() - 2);
        RegistryPath path;
        if (inner.empty())
            return path;
        size_t start = 0;
        for (;;) {
            const size_t end = std::min(inner.find('\\', start), inner.size());
            if (path.size() == MaxKeyDepth)
                Fail("a key path may name at most " + std::to_string(MaxKeyDepth) + " keys");
            path.push_back(KeyName(inner.substr(start, end - start)));
            if (end == inner.size())
                return path;
            start = end + 1;
        }
    }

    RegistryValue Value() {
        RegistryValue value{QuotedText(), REG_SZ, {}};
        SkipBlanks();
        if (!Take('='))
            Fail("\"=\" expected after the value's name");
        SkipBlanks();
        if (Peek() == '"')
            value.Data = QuotedText();
        else if (line_.compare(pos_, 6, "dword:") == 0) {
            pos_ += 6;
            value.Type = REG_DWORD;
            value.Data = DwordData(HexNumber());
        } else
            Fail("a quoted text or dword: expected after \"=\"");
        if (pos_ != line_.size())
            Fail("unexpected text after the value");
        return value;
    }

private:
    char Peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }
    bool Take(char c) {
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }
    void SkipBlanks() {
        while (Peek() == ' ' || Peek() == '\t')
            ++pos_;
    }

    char HexPair(const std::string& text, size_t at) const {
        const int high = at + 1 < text.size() ? HexValue(text[at]) : -1;
        const int low = at + 1 < text.size() ? HexValue(text[at + 1]) : -1;
        if (high < 0 || low < 0)
            Fail("two hexadecimal digits expected after an escape");
        return static_cast<char>(high * 16 + low);
    }

    std::string KeyName(const std::string& text) const {
        if (text.empty())
            Fail("empty key name in the path");
        std::string name;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%') {
                name += HexPair(text, i + 1);
                i += 2;
            } else
                name += text[i];
        }
        return name;
    }

    std::string QuotedText() {
        if (!Take('"'))
            Fail("a quoted text expected");
        std::string text;
        for (;;) {
            if (pos_ >= line_.size())
                Fail("the closing double quote is missing");
            const char c = line_[pos_++];
            if (c == '"')
                return text;
            if (c != '\\') {
                text += c;
                continue;
            }
            const char escaped = Peek();
            ++pos_;
            if (escaped == '\\' || escaped == '"')
                text += escaped;
            else if (escaped == 'x') {
                text += HexPair(line_, pos_);
                pos_ += 2;
            } else
                Fail("unknown escape in a quoted text");
        }
    }

    DWORD HexNumber() {
        DWORD number = 0;
        size_t digits = 0;
        for (; HexValue(Peek()) >= 0; ++pos_, ++digits)
            number = number * 16 + static_cast<DWORD>(HexValue(Peek()));
        if (digits == 0 || digits > 8)
            Fail("dword: needs one to eight hexadecimal digits");
        return number;
    }

    const std::string& line_;
    const int number_;
    size_t pos_ = 0;
};

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

bool SameRegistryName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

// Shorter names first, which settles most comparisons at once.
bool RegistryNameOrder::operator()(const std::string& a, const std::string& b) const {
    if (a.size() != b.size())
        return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y)
            return x < y;
    }
    return false;
}

std::unique_ptr<RegistryKey> RegistryKey::Clone() const {
    auto copy = std::make_unique<RegistryKey>(Name);
    for (const RegistryValue& value : values_)
        copy->SetValue(value.Name, value.Type, value.Data);
    for (const auto& subkey : subkeys_) {
        copy->subkeys_.push_back(subkey->Clone());
        copy->subkeyIndex_.emplace(subkey->Name, copy->subkeys_.back().get());
    }
    return copy;
}

RegistryKey* RegistryKey::FindSubkey(const std::string& name) const {
    const auto found = subkeyIndex_.find(name);
    return found == subkeyIndex_.end() ? nullptr : found->second;
}

RegistryKey& RegistryKey::Subkey(const std::string& name) {
    const auto place = subkeyIndex_.lower_bound(name);
    if (place != subkeyIndex_.end() && !subkeyIndex_.key_comp()(name, place->first))
        return *place->second;
    subkeys_.push_back(std::make_unique<RegistryKey>(name));
    subkeyIndex_.emplace_hint(place, name, subkeys_.back().get());
    return *subkeys_.back();
}

RegistryKey& RegistryKey::Create(const std::vector<std::string>& path, bool* created) {
    RegistryKey* key = this;
    bool added = false;
    for (const std::string& name : path) {
        const size_t known = key->subkeys_.size();
        RegistryKey& next = key->Subkey(name);
        added = key->subkeys_.size() > known;
        key = &next;
    }
    if (created)
        *created = added;
    return *key;
}

const RegistryValue* RegistryKey::FindValue(const std::string& name) const {
    const auto found = valueIndex_.find(name);
    return found == valueIndex_.end() ? nullptr : &*found->second;
}

bool RegistryKey::SetValue(const std::string& name, DWORD type, const std::string& data) {
    const auto place = valueIndex_.lower_bound(name);
    if (place == valueIndex_.end() || valueIndex_.key_comp()(name, place->first)) {
        values_.push_back({name, type, data});
        valueIndex_.emplace_hint(place, name, std::prev(values_.end()));
        return true;
    }
    RegistryValue& existing = *place->second;
    if (existing.Type == type && existing.Data == data)
        return false;
    existing.Type = type;
    existing.Data = data;
    return true;
}

bool RegistryKey::DeleteValue(const std::string& name) {
    const auto found = valueIndex_.find(name);
    if (found == valueIndex_.end())
        return false;
    values_.erase(found->second);
    valueIndex_.erase(found);
    return true;
}

RegistryHive RegistryHive::Parse(const std::string& text) {
    RegistryHive hive;
    if (text.empty())
        return hive;
    RegistryKey* key = nullptr;
    // A byte-order mark, as some editors write one.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; start < text.size(); ++number) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = TrimBlanks(text.substr(start, end - start));
        start = end + 1;
        LineParser parser(line, number);
        if (number == 1) {
            if (line != Signature)
                parser.Fail(std::string("the first line must be \"") + Signature + "\"");
        } else if (line.empty() || line[0] == ';')
            continue;
        else if (line[0] == '[')
            key = &hive.Create(parser.KeyPath());
        else if (line[0] != '"')
            parser.Fail("a key in [brackets] or a \"value\" expected");
        else if (!key)
            parser.Fail("a value before the first key");
        else {
            const RegistryValue value = parser.Value();
            key->SetValue(value.Name, value.Type, value.Data);
        }
    }
    return hive;
}

std::string RegistryHive::Text() const {
    std::string out = std::string(Signature) + "\n" + HeaderComment;
    if (!root_->Values().empty()) {
        out += "\n[]\n";
        AppendValues(out, *root_);
    }
    for (const auto& subkey : root_->Subkeys())
        AppendKey(out, *subkey, KeyNameText(subkey->Name));
    return out;
}

RegistryHive RegistryHive::Clone() const {
    RegistryHive copy;
    copy.root_ = root_->Clone();
    return copy;
}

RegistryKey* RegistryHive::Find(const RegistryPath& path) const {
    RegistryKey* key = root_.get();
    for (size_t i = 0; key && i < path.size(); ++i)
        key = key->FindSubkey(path[i]);
    return key;
}

std::string DwordData(DWORD value) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

DWORD DwordValue(const std::string& data) {
    DWORD value = 0;
    for (size_t i = 0; i < 4 && i < data.size(); ++i)
        value |= static_cast<DWORD>(static_cast<unsigned char>(data[i])) << (8 * i);
    return value;
}
