#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvalis {

// A character's simple case folding (Unicode's one-to-one mapping): the same on every system.
char32_t FoldCase(char32_t c) noexcept;

// Where a byte that begins no UTF-8 character stands, past every character: kInvalidByte + byte.
inline constexpr char32_t kInvalidByte = 0x110000;

// The character of UTF-8 `text` at `i` (which must lie inside it), and `i` moved past it. A byte
// that begins no well-formed character gives kInvalidByte + the byte and moves `i` by one.
char32_t NextCodePoint(std::string_view text, std::size_t& i) noexcept;

// Each character of UTF-8 `text` folded, a byte of no character as NextCodePoint gives it.
std::u32string FoldedText(std::string_view text);

}  // namespace korvalis
