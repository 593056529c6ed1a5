#include <gtest/gtest.h>

#include "repair/network/ConnectionSettings.h"

namespace tovask {
namespace {

// Blobs as a registry export spells them ("46,00,..."), copied from
// Internet Settings\Connections of machines in the states their names say.
std::vector<std::uint8_t> bytesOf(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3) {
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoul(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

constexpr std::string_view kDirectOnly =
    "46,00,00,00,02,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
    "04,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
    "00,00,00,00,00,00,00,00";
constexpr std::string_view kLoopbackProxy =
    "46,00,00,00,0b,00,00,00,03,00,00,00,0e,00,00,00,31,32,37,2e,30,2e,30,2e,"
    "31,3a,38,30,38,30,07,00,00,00,3c,6c,6f,63,61,6c,3e,00,00,00,00,00,00,00,"
    "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
    "00,00,00,00,00";
constexpr std::string_view kScript =
    "46,00,00,00,15,00,00,00,05,00,00,00,00,00,00,00,00,00,00,00,37,00,00,00,"
    "66,69,6c,65,3a,2f,2f,2f,43,3a,2f,55,73,65,72,73,2f,61,6e,61,2f,41,70,70,"
    "44,61,74,61,2f,52,6f,61,6d,69,6e,67,2f,42,75,73,63,61,64,6f,72,2f,70,72,"
    "6f,78,79,2e,70,61,63,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
    "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";
// Automatic detection has run: its time and the address it ran from follow.
constexpr std::string_view kDetectedTrailing =
    "46,00,00,00,2f,00,00,00,09,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
    "01,00,00,00,80,3e,d5,de,b1,9d,d9,01,01,00,00,00,c0,a8,01,21,00,00,00,00,"
    "00,00,00,00,00,00,00,00,00,00,00,00";

struct BlobCase {
    const char* name;
    std::string_view hex;
    std::uint32_t counter;
    std::uint32_t flags;
    std::string_view proxyServer;
    std::string_view bypassList;
    std::string_view scriptAddress;
    std::size_t trailingSize;

    friend void PrintTo(const BlobCase& c, std::ostream* out) { *out << c.name; }
};

const BlobCase kBlobs[] = {
    {"DirectOnly", kDirectOnly, 2, 1, "", "", "", 32},
    {"LoopbackProxy", kLoopbackProxy, 11, 3, "127.0.0.1:8080", "<local>", "", 32},
    {"Script", kScript, 21, 5, "", "", "file:///C:/Users/ana/AppData/Roaming/Buscador/proxy.pac",
     32},
    {"DetectedTrailing", kDetectedTrailing, 47, 9, "", "", "", 36},
};

class ConnectionBlob : public testing::TestWithParam<BlobCase> {};

TEST_P(ConnectionBlob, DecodesAndEncodesToTheSameBytes) {
    const auto& expected = GetParam();
    const auto blob = bytesOf(expected.hex);
    const auto decoded = decodeConnectionSettings(blob);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value().version, 0x46u);
    EXPECT_EQ(decoded.value().counter, expected.counter);
    EXPECT_EQ(decoded.value().flags, expected.flags);
    EXPECT_EQ(decoded.value().proxyServer, expected.proxyServer);
    EXPECT_EQ(decoded.value().bypassList, expected.bypassList);
    EXPECT_EQ(decoded.value().scriptAddress, expected.scriptAddress);
    EXPECT_EQ(decoded.value().trailing.size(), expected.trailingSize);
    EXPECT_EQ(encodeConnectionSettings(decoded.value()), blob);
}

TEST_P(ConnectionBlob, RefusesEveryCutBeforeTheLastString) {
    const auto blob = bytesOf(GetParam().hex);
    const auto complete = blob.size() - GetParam().trailingSize;
    for (std::size_t size = 0; size < complete; ++size) {
        EXPECT_FALSE(decodeConnectionSettings(std::span(blob).first(size)).ok()) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(Captured, ConnectionBlob, testing::ValuesIn(kBlobs),
                         [](const auto& info) { return info.param.name; });

TEST(ConnectionBlobRefuses, CountBeyondTheEnd) {
    auto blob = bytesOf(kLoopbackProxy);
    blob[12] = 0xFF;  // the proxy server's length
    blob[15] = 0xFF;
    EXPECT_FALSE(decodeConnectionSettings(blob).ok());
}

TEST(ConnectionRepair, GoesDirectAndKeepsBypassAndTrailing) {
    const auto proxy = decodeConnectionSettings(bytesOf(kLoopbackProxy)).value();
    auto expected = proxy;
    expected.flags = connectionflags::kDirect | connectionflags::kAutoDetect;
    expected.counter = 12;
    expected.proxyServer.clear();
    EXPECT_EQ(repairedConnectionSettings(proxy, {.proxyServer = true}), expected);

    const auto script = decodeConnectionSettings(bytesOf(kScript)).value();
    const auto repaired = repairedConnectionSettings(script, {.scriptAddress = true});
    EXPECT_EQ(repaired.flags, connectionflags::kDirect | connectionflags::kAutoDetect);
    EXPECT_EQ(repaired.scriptAddress, "");
}

TEST(ConnectionRepair, KeepsTheEntryItDoesNotClear) {
    auto both = decodeConnectionSettings(bytesOf(kLoopbackProxy)).value();
    both.flags |= connectionflags::kAutoConfigScript;
    both.scriptAddress = "http://wpad.corp.example/proxy.pac";
    const auto repaired = repairedConnectionSettings(both, {.proxyServer = true});
    EXPECT_EQ(repaired.flags, connectionflags::kDirect | connectionflags::kAutoDetect |
                                  connectionflags::kAutoConfigScript);
    EXPECT_EQ(repaired.scriptAddress, both.scriptAddress);
}

// "netsh winhttp reset proxy" and "netsh winhttp set proxy proxy.corp.example:8080 <local>".
constexpr std::string_view kWinHttpDirect =
    "18,00,00,00,00,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00";
constexpr std::string_view kWinHttpProxy =
    "28,00,00,00,00,00,00,00,03,00,00,00,17,00,00,00,70,72,6f,78,79,2e,63,6f,"
    "72,70,2e,65,78,61,6d,70,6c,65,3a,38,30,38,30,07,00,00,00,3c,6c,6f,63,61,"
    "6c,3e";

TEST(WinHttpBlob, DecodesTheNamedProxyAndResetsToDirect) {
    const auto blob = bytesOf(kWinHttpProxy);
    const auto proxy = decodeWinHttpSettings(blob);
    ASSERT_TRUE(proxy.ok());
    EXPECT_TRUE(proxy.value().usesProxy());
    EXPECT_EQ(proxy.value().proxyServer, "proxy.corp.example:8080");
    EXPECT_EQ(proxy.value().bypassList, "<local>");
    EXPECT_EQ(encodeWinHttpSettings(proxy.value()), blob);
    EXPECT_FALSE(decodeWinHttpSettings(std::span(blob).first(blob.size() - 1)).ok());

    const auto direct = decodeWinHttpSettings(bytesOf(kWinHttpDirect)).value();
    EXPECT_FALSE(direct.usesProxy());
    auto reset = direct;
    reset.counter = 1;
    EXPECT_EQ(directWinHttpSettings(direct), reset);
    EXPECT_EQ(directWinHttpSettings(proxy.value()).accessType, winhttpaccess::kDirect);
    EXPECT_EQ(encodeWinHttpSettings(directWinHttpSettings(proxy.value())).size(), 20u);
}

}  // namespace
}  // namespace tovask
