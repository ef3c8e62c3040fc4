#include "cli/output.h"

#include <cstdio>

#include "core/case_fold.h"

namespace korvalis::cli {

namespace {

std::string HexByte(const char* format, unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
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
            out += HexByte("\\x%02X", static_cast<unsigned>(c - kInvalidByte));
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
            out += HexByte("\\u%04x", static_cast<unsigned>(c));
        } else {
            out.append(text, start, i - start);
        }
    }
    return out + "\"";
}

}  // namespace korvalis::cli
