#include "core/registry.h"

#include <windows.h>

#include <array>

#include "core/handles_win32.h"

namespace korvalis {

namespace {

constexpr DWORD kValueBufferSize = 2048;

std::string Marker() { return std::string(RegReadErrorMarker); }

// Converts between two code pages through UTF-16. Returns false when the text cannot be
// converted, or (checkFit) when a character has no place in the target code page.
bool Recode(std::string_view text, UINT from, UINT to, bool checkFit, std::string& out)
{
    out.clear();
    if (text.empty()) return true;
    if (from == CP_ACP) from = ::GetACP();
    if (to == CP_ACP) to = ::GetACP();
    if (text.size() > 0x7FFFFFFFu) return false;
    const int inSize = static_cast<int>(text.size());
    const DWORD inFlags = from == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int wideSize = ::MultiByteToWideChar(from, inFlags, text.data(), inSize, nullptr, 0);
    if (wideSize <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(from, inFlags, text.data(), inSize, wide.data(), wideSize);

    // The default-character report is refused for UTF-8, where every character fits anyway.
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = checkFit && to != CP_UTF8 ? &usedDefault : nullptr;
    const DWORD outFlags = usedDefaultOut != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
    const int outSize =
        ::WideCharToMultiByte(to, outFlags, wide.data(), wideSize, nullptr, 0, nullptr, usedDefaultOut);
    if (outSize <= 0 || usedDefault) return false;
    out.assign(static_cast<std::size_t>(outSize), '\0');
    ::WideCharToMultiByte(to, outFlags, wide.data(), wideSize, out.data(), outSize, nullptr, nullptr);
    return true;
}

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
    // The ANSI functions take names in the system code page and stop at a NUL.
    std::string keyAnsi;
    std::string nameAnsi;
    if (key.find('\0') != std::string_view::npos || valueName.find('\0') != std::string_view::npos ||
        !Recode(key, CP_UTF8, CP_ACP, true, keyAnsi) || !Recode(valueName, CP_UTF8, CP_ACP, true, nameAnsi)) {
        return Marker();
    }

    // Predefined roots are negative 32-bit numbers, sign-extended in a 64-bit process.
    const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
    // The simulators are 32-bit programs and recorded their paths in the 32-bit view.
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(rootKey, keyAnsi.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened) !=
        ERROR_SUCCESS) {
        return Marker();
    }
    const UniqueRegKey handle(opened);

    // Filled with spaces first, so a number shorter than four bytes reads the spaces behind it.
    std::array<BYTE, kValueBufferSize> buffer;
    buffer.fill(' ');
    DWORD type = 0;
    DWORD length = kValueBufferSize;
    if (::RegQueryValueExA(handle.Get(), nameAnsi.c_str(), nullptr, &type, buffer.data(), &length) !=
            ERROR_SUCCESS ||
        length > kValueBufferSize) {
        return Marker();
    }

    switch (type) {
        case REG_DWORD:
            return FormatNumber(buffer.data());
        case REG_BINARY:
            return FormatBytes(buffer.data(), length);
        default: {
            // Text loses its last byte, the terminating NUL. A value of no bytes at all has no
            // text to give, and reads as the empty text rather than as a failure.
            if (length == 0) return std::string();
            std::string utf8;
            const std::string_view ansi(reinterpret_cast<const char*>(buffer.data()), length - 1);
            if (!Recode(ansi, CP_ACP, CP_UTF8, false, utf8)) return Marker();
            return utf8;
        }
    }
}

}  // namespace korvalis
