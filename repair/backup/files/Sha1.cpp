#include "repair/backup/files/Sha1.h"

#include <array>
#include <cstdint>

#include "repair/backup/files/DigestBlocks.h"

namespace tovask {
namespace {

using Sha1State = std::array<std::uint32_t, 5>;

std::uint32_t rotateLeft(std::uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

void compressSha1Block(Sha1State& state, const unsigned char* block) {
    std::array<std::uint32_t, 80> words{};
    for (int i = 0; i < 16; ++i) {
        words[i] = digest::wordAt(block, i);
    }
    for (int i = 16; i < 80; ++i) {
        words[i] = rotateLeft(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
    }
    auto [a, b, c, d, e] = state;
    for (int i = 0; i < 80; ++i) {
        // Each 20 rounds mix the words with their own function and constant.
        std::uint32_t mixed = 0;
        std::uint32_t constant = 0;
        if (i < 20) {
            mixed = (b & c) | (~b & d);
            constant = 0x5a827999;
        } else if (i < 40) {
            mixed = b ^ c ^ d;
            constant = 0x6ed9eba1;
        } else if (i < 60) {
            mixed = (b & c) | (b & d) | (c & d);
            constant = 0x8f1bbcdc;
        } else {
            mixed = b ^ c ^ d;
            constant = 0xca62c1d6;
        }
        const std::uint32_t next = rotateLeft(a, 5) + mixed + e + constant + words[i];
        e = d;
        d = c;
        c = rotateLeft(b, 30);
        b = a;
        a = next;
    }
    const Sha1State added = {a, b, c, d, e};
    for (int i = 0; i < 5; ++i) {
        state[i] += added[i];
    }
}

}  // namespace

std::string sha1Hex(std::string_view bytes) {
    Sha1State state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
    digest::forEachBlock(bytes,
                         [&](const unsigned char* block) { compressSha1Block(state, block); });
    return digest::hexOf(state);
}

}  // namespace tovask
