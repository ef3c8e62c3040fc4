#include "core/registry.h"

#include <windows.h>

#include <array>
#include <cstring>

#include "core/handles_win32.h"
#include "core/text.h"

namespace korvalis {

namespace {

// A value of any type reads up to this many bytes, text up to this many UTF-16 characters
// with its terminating NUL: the same 2,047 characters the ANSI call gave.
constexpr DWORD kValueBufferSize = 2048;

std::string Marker() { return std::string(RegReadErrorMarker); }

std::string FormatNumber(const BYTE* bytes)
{
    const std::uint32_t value =
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    std::string digits = std::to_string(value);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

std::string FormatBytes(const BYTE* bytes, DWORD length)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(std::size_t{length} * 2);
    for (DWORD i = 0; i < length; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

}  // namespace

std::string RegReadValue(std::uint32_t root, std::string_view key, std::string_view valueName)
{
    // The registry takes names as NUL-terminated text: a NUL inside would cut them short.
    if (key.find('\0') != std::string_view::npos || valueName.find('\0') != std::string_view::npos) {
        return Marker();
    }
    // The wide calls, because the ANSI ones turn every character the system's code page
    // lacks into "?", and a folder name in another script would then be lost.
    const std::wstring keyWide = WideFromUtf8(key);
    const std::wstring nameWide = WideFromUtf8(valueName);

    // Predefined roots are negative 32-bit numbers, sign-extended in a 64-bit process.
    const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
    // The simulators are 32-bit programs and recorded their paths in the 32-bit view.
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(rootKey, keyWide.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened) !=
        ERROR_SUCCESS) {
        return Marker();
    }
    const UniqueRegKey handle(opened);

    // Filled with spaces first, so a number shorter than four bytes reads the spaces behind it.
    std::array<BYTE, kValueBufferSize * sizeof(wchar_t)> buffer;
    buffer.fill(' ');
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(buffer.size());
    if (::RegQueryValueExW(handle.Get(), nameWide.c_str(), nullptr, &type, buffer.data(), &length) !=
        ERROR_SUCCESS) {
        return Marker();
    }
    // The types the system keeps as UTF-16 text; all others come as stored.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (length > (text ? buffer.size() : kValueBufferSize)) return Marker();

    switch (type) {
        case REG_DWORD:
            return FormatNumber(buffer.data());
        case REG_BINARY:
            return FormatBytes(buffer.data(), length);
        default:
            // Text loses its last character, normally the terminating NUL (of an odd byte count,
            // the half character at the end); other values lose their last byte. A value of no
            // bytes at all has no text to give, and reads as the empty text rather than as a failure.
            if (length == 0) return std::string();
            if (text) {
                std::wstring wide((length - 1) / sizeof(wchar_t), L'\0');
                std::memcpy(wide.data(), buffer.data(), wide.size() * sizeof(wchar_t));
                return Utf8FromWide(wide);
            }
            // Bytes of no declared text have no code page to read them in: they are passed on
            // as they are.
            return std::string(reinterpret_cast<const char*>(buffer.data()), length - 1);
    }
}

}  // namespace korvalis
