#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace tovask
