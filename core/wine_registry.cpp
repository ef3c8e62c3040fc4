#include "core/wine_registry.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "core/case_fold.h"
#include "core/registry.h"
#include "core/text.h"

namespace korvalis {

namespace {

// The registry's value types, as the file names them in "hex(N):" and "str(N):".
constexpr std::uint32_t kTypeText = 1, kTypeExpandText = 2, kTypeBinary = 3, kTypeNumber = 4,
                        kTypeMultiText = 7;
// As much as the Windows reader's buffer holds: bytes, or UTF-16 units with the NUL.
constexpr std::size_t kValueLimit = 2048;

struct Value {
    std::uint32_t type = 0;
    std::u16string text;              // for the "..." and str(N) forms
    std::vector<std::uint8_t> bytes;  // for dword: and hex forms
    bool isText = false;
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf16(char32_t code, std::u16string& text)
{
    if (code >= kInvalidByte || code < 0x10000) {
        text += static_cast<char16_t>(code >= kInvalidByte ? 0xFFFD : code);
    } else {
        text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
}

std::u16string Utf16Of(std::string_view utf8)
{
    std::u16string text;
    for (std::size_t pos = 0; pos < utf8.size();) AppendUtf16(NextCodePoint(utf8, pos), text);
    return text;
}

// Reads a quoted text from `pos` (just past its opening quote) to the unescaped `end`, with
// Wine's escapes: \x with up to four hex digits and \ with up to three octal ones give a UTF-16
// unit, \n and its kin a control character, any other escaped character itself. Characters
// written as they are come as UTF-8.
std::optional<std::u16string> ParseQuoted(std::string_view line, std::size_t& pos, char end)
{
    std::u16string text;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == end) {
            ++pos;
            return text;
        }
        if (c != '\\') {
            AppendUtf16(NextCodePoint(line, pos), text);
            continue;
        }
        if (++pos >= line.size()) return std::nullopt;
        const char e = line[pos++];
        unsigned unit = 0;
        if (e == 'x') {
            int digits = 0;
            while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                unit = unit * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
                ++digits;
            }
            if (digits == 0) return std::nullopt;
        } else if (e >= '0' && e <= '7') {
            unit = static_cast<unsigned>(e - '0');
            for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                 ++digits)
                unit = unit * 8 + static_cast<unsigned>(line[pos++] - '0');
        } else {
            static constexpr std::string_view kLetters = "abtnvfre", kControls = "\a\b\t\n\v\f\r\x1b";
            const std::size_t at = kLetters.find(e);
            unit = static_cast<unsigned char>(at == std::string_view::npos ? e : kControls[at]);
        }
        text += static_cast<char16_t>(unit);
    }
    return std::nullopt;
}

// The data after "=": "...", str(N):"...", dword:XXXXXXXX, hex:.. or hex(N):..
std::optional<Value> ParseData(std::string_view data)
{
    Value value;
    std::size_t pos = 0;
    const auto typeInBrackets = [&](std::string_view word) -> bool {
        if (data.substr(pos, word.size()) != word) return false;
        pos += word.size();
        if (pos < data.size() && data[pos] == '(') {
            const std::size_t close = data.find(')', pos);
            if (close == std::string_view::npos) return false;
            std::uint32_t type = 0;
            for (std::size_t i = pos + 1; i < close; ++i) {
                const int digit = HexDigit(data[i]);
                if (digit < 0) return false;
                type = type * 16 + static_cast<std::uint32_t>(digit);
            }
            value.type = type;
            pos = close + 1;
        }
        if (pos >= data.size() || data[pos] != ':') return false;
        ++pos;
        return true;
    };
    if (!data.empty() && data[0] == '"') {
        value.type = kTypeText;
    } else if (value.type = kTypeText, typeInBrackets("str")) {
        if (pos >= data.size() || data[pos] != '"') return std::nullopt;
    } else if (pos = 0, data.substr(0, 6) == "dword:") {
        value.type = kTypeNumber;
        std::uint32_t number = 0;
        std::size_t digits = 0;
        for (pos = 6; pos < data.size() && HexDigit(data[pos]) >= 0; ++pos, ++digits)
            number = number * 16 + static_cast<std::uint32_t>(HexDigit(data[pos]));
        if (digits == 0 || digits > 8) return std::nullopt;
        for (int shift = 0; shift < 32; shift += 8)
            value.bytes.push_back(static_cast<std::uint8_t>(number >> shift));
        return value;
    } else if (pos = 0, value.type = kTypeBinary, typeInBrackets("hex")) {
        while (pos < data.size()) {
            if (data[pos] == ',' || data[pos] == ' ') {
                ++pos;
                continue;
            }
            if (pos + 1 >= data.size() || HexDigit(data[pos]) < 0 || HexDigit(data[pos + 1]) < 0)
                return std::nullopt;
            value.bytes.push_back(
                static_cast<std::uint8_t>(HexDigit(data[pos]) * 16 + HexDigit(data[pos + 1])));
            pos += 2;
        }
        return value;
    } else {
        return std::nullopt;
    }
    ++pos;
    auto text = ParseQuoted(data, pos, '"');
    if (!text) return std::nullopt;
    value.text = std::move(*text);
    value.isText = true;
    return value;
}

std::string HexPairs(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

// The conversion of the Windows reader, from the data as the registry would hand it over.
std::string ValueText(const Value& value)
{
    const std::string marker(RegReadErrorMarker);
    const bool wideType =
        value.type == kTypeText || value.type == kTypeExpandText || value.type == kTypeMultiText;
    if (value.isText) {
        // A quoted text stands for its UTF-16 units and the NUL that ends them.
        if (value.text.size() + 1 > kValueLimit) return marker;
        if (wideType) return Utf8FromUtf16(value.text);
        std::string narrow;
        for (std::size_t i = 0; i < value.text.size() * 2 + 1; ++i)
            narrow += static_cast<char>(i % 2 == 0 ? value.text[i / 2] & 0xFF : value.text[i / 2] >> 8);
        return narrow;
    }
    const std::size_t length = value.bytes.size();
    if (length > (wideType ? kValueLimit * 2 : kValueLimit)) return marker;
    if (value.type == kTypeNumber) {
        if (length < 4) return marker;
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = number << 8 | value.bytes[static_cast<std::size_t>(i)];
        std::string digits = std::to_string(number);
        if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
        return digits;
    }
    if (value.type == kTypeBinary) return HexPairs(value.bytes);
    if (length == 0) return {};
    if (!wideType) return std::string(value.bytes.begin(), value.bytes.end() - 1);
    std::u16string text((length - 1) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(value.bytes[2 * i] | value.bytes[2 * i + 1] << 8);
    return Utf8FromUtf16(text);
}

std::u32string Folded(std::u16string_view text)
{
    std::u32string folded;
    for (const char16_t unit : text) folded += FoldCase(unit);
    return folded;
}

// The key's parts, folded, in the view a 32-bit program sees: in a 64-bit prefix the 32-bit
// programs' own keys lie below Software\Wow6432Node.
std::vector<std::u32string> KeyParts(std::string_view key, bool win64)
{
    std::vector<std::u32string> parts;
    std::size_t start = 0;
    while (start <= key.size()) {
        const std::size_t end = std::min(key.find('\\', start), key.size());
        if (end > start) parts.push_back(Folded(Utf16Of(key.substr(start, end - start))));
        start = end + 1;
    }
    if (win64 && !parts.empty() && parts[0] == U"software") parts.insert(parts.begin() + 1, U"wow6432node");
    return parts;
}

// Lines with a continuation ("\" at the end) joined, as Wine wraps long hex data.
std::vector<std::string_view> Lines(std::string_view text, std::vector<std::string>& joined)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string_view::npos) {
            std::string whole(line.substr(0, line.size() - 1));
            while (start < text.size()) {
                end = std::min(text.find('\n', start), text.size());
                std::string_view next = text.substr(start, end - start);
                start = end + 1;
                if (!next.empty() && next.back() == '\r') next.remove_suffix(1);
                next.remove_prefix(std::min(next.find_first_not_of(" \t"), next.size()));
                const bool more = !next.empty() && next.back() == '\\';
                whole += next.substr(0, next.size() - (more ? 1 : 0));
                if (!more) break;
            }
            joined.push_back(std::move(whole));
            line = joined.back();
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string WineRegReadValue(std::string_view fileText, std::string_view key, std::string_view valueName)
{
    const std::string marker(RegReadErrorMarker);
    std::vector<std::string> joined;
    joined.reserve(fileText.size() / 64);  // the views into it must not move
    const std::vector<std::string_view> lines = Lines(fileText, joined);
    bool win64 = false;
    for (const auto line : lines) {
        if (line.starts_with('[')) break;
        if (line == "#arch=win64") win64 = true;
    }
    const std::vector<std::u32string> wanted = KeyParts(key, win64);
    const std::u32string wantedName = Folded(Utf16Of(valueName));

    bool inKey = false;
    for (const auto line : lines) {
        if (line.starts_with('[')) {
            std::size_t pos = 1;
            const auto name = ParseQuoted(line, pos, ']');
            std::vector<std::u32string> parts;
            if (name) {
                std::u16string_view rest = *name;
                while (!rest.empty()) {
                    const std::size_t cut = std::min(rest.find(u'\\'), rest.size());
                    if (cut > 0) parts.push_back(Folded(rest.substr(0, cut)));
                    rest.remove_prefix(std::min(cut + 1, rest.size()));
                }
            }
            inKey = name && parts == wanted;
            continue;
        }
        if (!inKey) continue;
        std::size_t pos = 0;
        std::optional<std::u16string> name;
        if (line.starts_with("@=")) {
            name = u"";
            pos = 1;
        } else if (line.starts_with('"')) {
            pos = 1;
            name = ParseQuoted(line, pos, '"');
        }
        // Value names are matched ignoring case too, as the registry does.
        if (!name || pos >= line.size() || line[pos] != '=' || Folded(*name) != wantedName) continue;
        const auto value = ParseData(line.substr(pos + 1));
        return value ? ValueText(*value) : marker;
    }
    return marker;
}

}  // namespace korvalis
