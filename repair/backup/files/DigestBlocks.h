#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What SHA-1 and SHA-256 share: the message in whole 64-byte blocks of
// big-endian words, and the digest written out in hexadecimal.
namespace tovask::digest {

inline constexpr std::size_t kBlockBytes = 64;

// The message, a 1 bit, zeros up to 8 bytes short of a whole block, and the
// length in bits as a big-endian 64-bit number.
inline std::string paddedMessage(std::string_view bytes) {
    std::string padded(bytes);
    padded.push_back('\x80');
    while (padded.size() % kBlockBytes != kBlockBytes - 8) {
        padded.push_back('\0');
    }
    const std::uint64_t bitLength = std::uint64_t{bytes.size()} * 8;
    for (int shift = 56; shift >= 0; shift -= 8) {
        padded.push_back(static_cast<char>(bitLength >> shift));
    }
    return padded;
}

inline std::uint32_t wordAt(const unsigned char* block, int index) {
    return std::uint32_t{block[4 * index]} << 24 | std::uint32_t{block[4 * index + 1]} << 16 |
           std::uint32_t{block[4 * index + 2]} << 8 | std::uint32_t{block[4 * index + 3]};
}

// Lowercase, each word's most significant digit first.
template <std::size_t Words>
std::string hexOf(const std::array<std::uint32_t, Words>& state) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint32_t word : state) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            hex.push_back(kDigits[(word >> shift) & 0xf]);
        }
    }
    return hex;
}

// Calls `compress` with each block of the padded message.
template <typename Compress>
void forEachBlock(std::string_view bytes, Compress compress) {
    const auto padded = paddedMessage(bytes);
    for (std::size_t offset = 0; offset < padded.size(); offset += kBlockBytes) {
        compress(reinterpret_cast<const unsigned char*>(padded.data() + offset));
    }
}

}  // namespace tovask::digest
