#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvalis {

// The eight bytes that stand right before an .air file's type byte.
inline constexpr std::array<std::uint8_t, 8> kTypeMarker = {0x05, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};

// Finds the first type marker in a byte stream fed in pieces of any size, so a file is
// searched chunk by chunk with bounded memory and a marker may straddle two chunks.
// It also keeps a digest of every byte up to and including the type byte, so a later
// pass can tell whether that stretch of the file is still what this pass saw.
class MarkerScanner {
public:
    // The digest costs a multiply per byte; only the write routine's checks need it.
    explicit MarkerScanner(bool keepDigest = false) noexcept : m_keepDigest(keepDigest) {}

    // Consumes bytes up to and including the type byte of the first marker and returns
    // how many it consumed; once Complete(), it consumes nothing more.
    std::size_t Feed(const std::uint8_t* data, std::size_t size);

    [[nodiscard]] bool MarkerFound() const noexcept { return m_found; }
    [[nodiscard]] bool Complete() const noexcept { return m_complete; }
    [[nodiscard]] std::uint64_t MarkerOffset() const noexcept { return m_markerOffset; }
    [[nodiscard]] std::uint8_t TypeByte() const noexcept { return m_typeByte; }
    [[nodiscard]] std::uint64_t TypeByteOffset() const noexcept
    {
        return m_markerOffset + kTypeMarker.size();
    }
    [[nodiscard]] std::uint64_t BytesConsumed() const noexcept { return m_consumed; }
    [[nodiscard]] std::uint64_t Digest() const noexcept { return m_digest; }
    // The digest of the bytes up to and including the marker, the type byte left out.
    [[nodiscard]] std::uint64_t MarkerDigest() const noexcept { return m_markerDigest; }

private:
    bool m_keepDigest;
    std::size_t m_matched = 0;  // marker bytes matched so far, ending at the last byte fed
    bool m_found = false;
    bool m_complete = false;
    std::uint64_t m_markerOffset = 0;
    std::uint8_t m_typeByte = 0;
    std::uint64_t m_consumed = 0;
    std::uint64_t m_digest = 0xcbf29ce484222325ull;  // FNV-1a offset basis
    std::uint64_t m_markerDigest = 0;
};

}  // namespace korvalis
