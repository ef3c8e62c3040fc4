#include "cli/output.h"

#include "core/case_fold.h"

namespace korvalis::cli {

namespace {

// "\\x" and two upper-case hex digits, or "\\u" and four lower-case ones, as each format writes them.
std::string Escaped(const char* prefix, unsigned value, int digits, const char* hexDigits)
{
    std::string text = prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += hexDigits[(value >> shift) & 0xF];
    return text;
}

}  // namespace

std::string TsvText(std::string_view text, bool separators)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = NextCodePoint(text, i);
        if (c >= kInvalidByte) {
            out += Escaped("\\x", static_cast<unsigned>(c - kInvalidByte), 2, "0123456789ABCDEF");
        } else if (c == U'\t') {
            out += "\\t";
        } else if (c == U'\n') {
            out += "\\n";
        } else if (c == U'\r') {
            out += "\\r";
        } else if (c == U'\\' && !separators) {
            out += "\\\\";
        } else {
            out.append(text, start, i - start);
        }
    }
    return out;
}

std::string JsonText(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = NextCodePoint(text, i);
        if (c >= kInvalidByte) {
            out += "\xEF\xBF\xBD";
        } else if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == U'\n') {
            out += "\\n";
        } else if (c == U'\t') {
            out += "\\t";
        } else if (c == U'\r') {
            out += "\\r";
        } else if (c < 0x20) {
            out += Escaped("\\u", static_cast<unsigned>(c), 4, "0123456789abcdef");
        } else {
            out.append(text, start, i - start);
        }
    }
    return out + "\"";
}

}  // namespace korvalis::cli
