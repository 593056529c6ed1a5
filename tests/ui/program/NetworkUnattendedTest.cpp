// The proxy and DNS findings through the built program, on the Wine prefix's
// own registry and the system's own table of listening sockets.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "text/RegistryEncoding.h"

namespace tovask::testsupport {
namespace {

using namespace std::literals;

const std::wstring kSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::wstring kAdapter =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    L"{6B7F1D2A-0C4E-4F58-9A31-2E5D8C7B9A10}\\";

RegistryValue binary(std::string_view raw) {
    return {REG_BINARY, {raw.begin(), raw.end()}};
}

// Version, counter and flags, then each text after its length: a proxy on port 1
// of this machine, where nothing listens; a WinHTTP proxy of the organisation.
// clang-format off
const RegistryValue kDeadProxyBlob = binary("\x46\0\0\0\5\0\0\0\3\0\0\0\x0b\0\0\0" "127.0.0.1:1" "\7\0\0\0<local>\0\0\0\0"sv);
const RegistryValue kCorporateWinHttp = binary("\x28\0\0\0\2\0\0\0\3\0\0\0\x17\0\0\0" "proxy.corp.example:8080" "\0\0\0\0"sv);
// clang-format on

struct Seed {
    std::wstring key;  // with its root
    std::wstring name;
    RegistryValue value;
    bool leftAlone = false;  // else the repair changes it
    RegistryView view = RegistryView::Default;
};

const std::wstring kConnections = L"HKLM\\" + kSettings + L"Connections\\";
const std::vector<Seed> kSeeds = {
    {L"HKCU\\" + kSettings, L"ProxyEnable", tovask::dwordValue(1)},
    {L"HKCU\\" + kSettings, L"ProxyServer", tovask::stringValue(L"127.0.0.1:1")},
    {L"HKCU\\" + kSettings + L"Connections\\", L"DefaultConnectionSettings", kDeadProxyBlob},
    {kAdapter, L"NameServer", tovask::stringValue(L"85.255.112.36,192.168.1.1")},
    {kConnections, L"WinHttpSettings", kCorporateWinHttp, true, RegistryView::Bits32},
    {kConnections, L"WinHttpSettings", kCorporateWinHttp, true, RegistryView::Bits64},
};

std::vector<std::optional<RegistryValue>> seededValues(PlatformOps& platform) {
    std::vector<std::optional<RegistryValue>> values;
    for (const auto& seed : kSeeds) {
        const auto value = platform.RegReadValue(seed.key + seed.name, seed.view);
        values.push_back(value.ok() ? std::optional(value.value()) : std::nullopt);
    }
    return values;
}

TEST(NetworkUnattended, CheckRepairCheckUndoOnASeededMachine) {
    TestFolder folder;
    const HijackedPrefix prefix;
    Win32Platform platform;
    const auto original = seededValues(platform);
    for (const auto& seed : kSeeds) {
        ASSERT_FALSE(platform.RegWriteRaw(seed.key, seed.name, seed.value, seed.view));
    }
    const auto seeded = seededValues(platform);
    ProgramRuns run(folder);
    const auto& lines = run.lines();

    EXPECT_EQ(run(L"/check /network"), 1) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/repair /network"), 0) << testing::PrintToString(lines);
    // Port 1 is dead: the proxy and the DNS server are repaired, the organisation's proxy is not.
    const auto repaired = seededValues(platform);
    for (std::size_t i = 0; i < kSeeds.size(); ++i) {
        EXPECT_EQ(repaired[i] == seeded[i], kSeeds[i].leftAlone) << i;
    }
    EXPECT_EQ(run(L"/check /network"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/undo"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(seededValues(platform), seeded);

    for (std::size_t i = 0; i < kSeeds.size(); ++i) {
        const auto& seed = kSeeds[i];
        if (original[i]) {
            platform.RegWriteRaw(seed.key, seed.name, *original[i], seed.view);
        } else {
            platform.RegDeleteValueIn(seed.key, seed.name, seed.view);
        }
    }
    platform.RegDeleteIn(kAdapter, RegistryView::Default);
}

}  // namespace
}  // namespace tovask::testsupport
