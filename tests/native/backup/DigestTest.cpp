#include <gtest/gtest.h>

#include <string>

#include "repair/backup/files/Sha1.h"
#include "repair/backup/files/Sha256.h"

namespace tovask {
namespace {

struct DigestCase {
    const char* name;
    std::string message;
    const char* digest;
};

class Sha256Test : public testing::TestWithParam<DigestCase> {};

TEST_P(Sha256Test, GivesTheStandardDigest) {
    EXPECT_EQ(sha256Hex(GetParam().message), GetParam().digest);
}

// The test vectors published with the standard; the 448-bit message leaves no
// room for the length in its block, so padding takes a second one.
INSTANTIATE_TEST_SUITE_P(
    StandardVectors, Sha256Test,
    testing::Values(DigestCase{"Empty", "",
                               "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                    DigestCase{"Abc", "abc",
                               "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                    DigestCase{"FourHundredFortyEightBits",
                               "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"}),
    [](const testing::TestParamInfo<DigestCase>& info) { return info.param.name; });

class Sha1Test : public testing::TestWithParam<DigestCase> {};

TEST_P(Sha1Test, GivesTheStandardDigest) {
    EXPECT_EQ(sha1Hex(GetParam().message), GetParam().digest);
}

// The same vectors; a million letters take many blocks, each carried into the next.
INSTANTIATE_TEST_SUITE_P(
    StandardVectors, Sha1Test,
    testing::Values(DigestCase{"Empty", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
                    DigestCase{"Abc", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
                    DigestCase{"FourHundredFortyEightBits",
                               "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                               "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
                    DigestCase{"AMillionLetters", std::string(1'000'000, 'a'),
                               "34aa973cd4c4daa4f61eeb2bdbad27316534016f"}),
    [](const testing::TestParamInfo<DigestCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask
