#include <gtest/gtest.h>

#include "repair/addresses/IpAddress.h"
#include "repair/addresses/ProxyAddress.h"
#include "repair/commands/CommandLineArguments.h"
#include "repair/network/DnsServers.h"
#include "repair/paths/LocalPaths.h"

namespace tovask {
namespace {

TEST(ProxyServerValue, ParsesEachForm) {
    const std::pair<std::wstring_view, std::vector<ProxyEntry>> cases[] = {
        {L"127.0.0.1:8080", {{L"", L"127.0.0.1", 8080}}},
        {L"http://proxy.corp:3128", {{L"HTTP", L"proxy.corp", 3128}}},
        {L"http=a:1;https=https://b:2; socks=c",
         {{L"HTTP", L"a", 1}, {L"HTTPS", L"b", 2}, {L"SOCKS", L"c", 1080}}},
        {L"[::1]:8080", {{L"", L"::1", 8080}}},
        {L"::1", {{L"", L"::1", 80}}},
        {L"proxy", {{L"", L"proxy", 80}}},
        {L"a:99999;b:x;[::1;;c:0", {}},
    };
    for (const auto& [text, entries] : cases) {
        EXPECT_EQ(parseProxyServer(text), entries) << testing::PrintToString(std::wstring(text));
    }
}

// Every spelling the system reads as an address on this machine.
TEST(ProxyHost, IsLoopbackOnlyForTheLoopbackNetwork) {
    for (const std::wstring_view host :
         {L"127.0.0.1", L"127.255.255.254", L"LocalHost", L"::1", L"0:0:0:0:0:0:0:1", L"127.1",
          L"0x7f.1", L"0X7F000001", L"2130706433", L"0177.0.0.1", L"127.0.0", L"localhost.",
          L"127.0.0.1.", L"::ffff:127.0.0.1", L"::FFFF:7f00:1"}) {
        EXPECT_TRUE(isLoopbackHost(host)) << testing::PrintToString(std::wstring(host));
    }
    for (const std::wstring_view host :
         {L"128.0.0.1", L"126.255.255.255", L"127.0.0.1.evil", L"localhost.evil", L"::2", L"::",
          L"0x80.1", L"0178.0.0.1", L"127.256.0.1", L"127.0.0.0.1", L"4294967296", L"localhost..",
          L"127..1", L"0x", L"::ffff:128.0.0.1", L"::ffff:0177.0.0.1"}) {
        EXPECT_FALSE(isLoopbackHost(host)) << testing::PrintToString(std::wstring(host));
    }
}

TEST(LenientIpv4, FillsTheRemainingBytesWithTheLastPart) {
    const std::pair<std::wstring_view, std::optional<Ipv4Address>> cases[] = {
        {L"10.1.258", 0x0A010102},     {L"10.0x10203", 0x0A010203},     {L"010.0.0.1", 0x08000001},
        {L"10.1.65536", std::nullopt}, {L"10.0x1000000", std::nullopt},
    };
    for (const auto& [text, address] : cases) {
        EXPECT_EQ(parseLenientIpv4(text), address) << testing::PrintToString(std::wstring(text));
    }
}

TEST(ScriptAddress, IsFetchedFromTheServerItNames) {
    const std::pair<std::wstring_view, std::optional<ProxyEntry>> cases[] = {
        {L"http://127.0.0.1:9000/proxy.pac", ProxyEntry{L"HTTP", L"127.0.0.1", 9000}},
        {L"HTTPS://user:secreto@[::1]/p.pac", ProxyEntry{L"HTTPS", L"::1", 443}},
        {L"http://localhost?x=1", ProxyEntry{L"HTTP", L"localhost", 80}},
        {L"http://:80/p.pac", std::nullopt},
        {L"file:///C:/p.pac", std::nullopt},
    };
    for (const auto& [address, server] : cases) {
        EXPECT_EQ(serverOfWebAddress(address), server)
            << testing::PrintToString(std::wstring(address));
    }
}

TEST(StartupCommand, NamesTheProgramItStarts) {
    const std::pair<std::wstring_view, std::wstring_view> cases[] = {
        {L"\"C:\\Program Files\\Steam\\steam.exe\" -silent",
         L"C:\\Program Files\\Steam\\steam.exe"},
        {L"C:\\Program Files\\Ofertas\\ofertas.EXE --bandeja C:\\x.exe",
         L"C:\\Program Files\\Ofertas\\ofertas.EXE"},
        {L"  C:\\Users\\ana\\p.exe", L"C:\\Users\\ana\\p.exe"},
        {L"C:\\Users\\ana\\x.exec.bat /a", L"C:\\Users\\ana\\x.exec.bat"},
        {L"", L""},
    };
    for (const auto& [command, program] : cases) {
        EXPECT_EQ(programOfCommand(command), program)
            << testing::PrintToString(std::wstring(command));
    }
}

TEST(FileUrl, GivesTheWindowsPath) {
    const std::pair<std::wstring_view, std::optional<std::wstring>> cases[] = {
        {L"file:///C:/Users/x/a.pac", L"C:\\Users\\x\\a.pac"},
        {L"FILE://C:\\Users\\x\\a.pac", L"C:\\Users\\x\\a.pac"},
        {L"file:C:/a.pac", L"C:\\a.pac"},
        {L"file:///C|/a.pac", L"C:\\a.pac"},
        {L"file://localhost/D:/a.pac", L"D:\\a.pac"},
        {L"file:///C:/Users/Jos%C3%A9/Mis%20datos/a.pac",
         L"C:\\Users\\Jos\u00e9\\Mis datos\\a.pac"},
        {L"file://server/share/a.pac", L"\\\\server\\share\\a.pac"},
        {L"file://127.0.0.1/C$/Users/bob/x.pac", L"C:\\Users\\bob\\x.pac"},
        {L"file://[::1]/d$", L"d:\\"},
        {L"file://127.0.0.1/C$x/a.pac", L"\\\\127.0.0.1\\C$x\\a.pac"},
        {L"file://Jos\u00e9/%C3%A9.pac", L"\\\\Jos\u00e9\\\u00e9.pac"},
        {L"file:///C:/a%C0%AF..%C0%AFb.pac", std::nullopt},
        {L"file:///C:/a%ED%A0%80.pac", std::nullopt},
        {L"file:///C:/a%F4%90%80%80.pac", std::nullopt},
        {L"file:///C:/a%2.pac", std::nullopt},
        {L"file:///C:/a%FF.pac", std::nullopt},
        {L"file:///", std::nullopt},
        {L"http://C:/a.pac", std::nullopt},
    };
    for (const auto& [url, path] : cases) {
        EXPECT_EQ(windowsPathOfFileUrl(url), path) << testing::PrintToString(std::wstring(url));
    }
}

TEST(UserWritableFolder, HoldsOnlyPathsBelowItAfterNormalising) {
    const std::vector<std::wstring> folders{L"C:\\Users\\ana\\", L"c:/programdata"};
    const std::pair<std::wstring_view, bool> cases[] = {
        {L"C:\\Users\\ana", true},
        {L"c:\\users\\ANA\\AppData\\x.exe", true},
        {L"C:\\Users\\ana\\.\\x\\..\\y.pac", true},
        {L"\\\\?\\C:\\ProgramData\\x.exe", true},
        {L"C:\\Users\\ana2\\x.exe", false},
        {L"C:\\Users\\ana\\..\\bob\\x.exe", false},
        {L"C:/Users/ana./x.pac", true},
        {L"C:/Users/ana . /x.pac", true},
        {L"C:\\Users\\ana\\...\\x.pac", true},
        {L"C:\\Users\\ana\\..\\..\\..\\..\\Windows\\x.exe", false},
        {L"C:\\Program Files\\x.exe", false},
    };
    for (const auto& [path, inside] : cases) {
        EXPECT_EQ(liesInAnyFolder(path, folders), inside)
            << testing::PrintToString(std::wstring(path));
    }
}

TEST(NameServerValue, SplitsOnCommasAndBlanks) {
    EXPECT_EQ(parseNameServers(L" 1.1.1.1, 8.8.8.8 2001:4860:4860::8888,,"),
              (std::vector<std::wstring>{L"1.1.1.1", L"8.8.8.8", L"2001:4860:4860::8888"}));
}

TEST(HijackerRanges, HoldTheirFirstAndLastAddressOnly) {
    // Before the range, its first address, its last, after it.
    const std::array<std::wstring_view, 4> ranges[] = {
        {L"85.255.111.255", L"85.255.112.0", L"85.255.127.255", L"85.255.128.0"},
        {L"67.209.255.255", L"67.210.0.0", L"67.210.15.255", L"67.210.16.0"},
        {L"93.188.159.255", L"93.188.160.0", L"93.188.167.255", L"93.188.168.0"},
        {L"77.67.82.255", L"77.67.83.0", L"77.67.83.255", L"77.67.84.0"},
        {L"213.109.63.255", L"213.109.64.0", L"213.109.79.255", L"213.109.80.0"},
        {L"64.28.175.255", L"64.28.176.0", L"64.28.191.255", L"64.28.192.0"},
    };
    for (const auto& [before, first, last, after] : ranges) {
        EXPECT_FALSE(isKnownHijackerServer(before)) << testing::PrintToString(std::wstring(before));
        EXPECT_TRUE(isKnownHijackerServer(first)) << testing::PrintToString(std::wstring(first));
        EXPECT_TRUE(isKnownHijackerServer(last)) << testing::PrintToString(std::wstring(last));
        EXPECT_FALSE(isKnownHijackerServer(after)) << testing::PrintToString(std::wstring(after));
    }
}

TEST(PublicResolvers, AreNamedInAnySpelling) {
    EXPECT_EQ(publicResolverName(L"8.8.4.4"), L"Google");
    EXPECT_EQ(publicResolverName(L"2001:4860:4860:0:0:0:0:8888"), L"Google");
    EXPECT_EQ(publicResolverName(L"2620:FE::FE"), L"Quad9");
    EXPECT_EQ(publicResolverName(L"208.67.220.220"), L"OpenDNS");
    EXPECT_EQ(publicResolverName(L"8.8.8.9"), std::nullopt);
}

TEST(StaticNameServer, LosesOnlyTheHijackersServers) {
    const std::pair<std::wstring_view, std::wstring_view> cases[] = {
        {L"85.255.112.36,8.8.8.8", L"8.8.8.8"},
        {L"85.255.112.36 85.255.113.1", L""},
        {L"10.0.0.1 85.255.112.1 10.0.0.2", L"10.0.0.1 10.0.0.2"},
        {L"10.0.0.1,10.0.0.2", L"10.0.0.1,10.0.0.2"},
    };
    for (const auto& [value, kept] : cases) {
        EXPECT_EQ(withoutHijackerServers(value), kept)
            << testing::PrintToString(std::wstring(value));
    }
}

}  // namespace
}  // namespace tovask
