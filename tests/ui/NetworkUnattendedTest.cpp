// The proxy and DNS findings through the built program, on the Wine prefix's
// own registry and the system's own table of listening sockets.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "text/RegistryEncoding.h"

namespace tovask::testsupport {
namespace {

const std::wstring kSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::wstring kAdapter =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\"
    L"{6B7F1D2A-0C4E-4F58-9A31-2E5D8C7B9A10}";

RegistryValue bytes(std::uint32_t type, std::vector<std::uint8_t> raw) {
    return {type, std::move(raw)};
}

// A proxy on port 1 of this machine, where nothing listens; a WinHTTP
// proxy of the organisation, left alone.
const RegistryValue kDeadProxyBlob =
    bytes(REG_BINARY, {0x46, 0, 0,   0,   5,   0,   0,   0,   3,   0,   0,   0,   11,  0,
                       0,    0, '1', '2', '7', '.', '0', '.', '0', '.', '1', ':', '1', 7,
                       0,    0, 0,   '<', 'l', 'o', 'c', 'a', 'l', '>', 0,   0,   0,   0});
const RegistryValue kCorporateWinHttp =
    bytes(REG_BINARY, {0x28, 0,   0,   0,   2,   0,   0,   0,   3,   0,   0,   0,   23,  0,   0,
                       0,    'p', 'r', 'o', 'x', 'y', '.', 'c', 'o', 'r', 'p', '.', 'e', 'x', 'a',
                       'm',  'p', 'l', 'e', ':', '8', '0', '8', '0', 0,   0,   0,   0});

struct Seed {
    std::wstring key;  // with its root
    std::wstring name;
    RegistryValue value;
    RegistryView view = RegistryView::Default;
};

const std::vector<Seed> kSeeds = {
    {L"HKCU\\" + kSettings + L"\\", L"ProxyEnable", bytes(REG_DWORD, {1, 0, 0, 0})},
    {L"HKCU\\" + kSettings + L"\\", L"ProxyServer", tovask::stringValue(L"127.0.0.1:1")},
    {L"HKCU\\" + kSettings + L"\\", L"ProxyOverride", tovask::stringValue(L"<local>")},
    {L"HKCU\\" + kSettings + L"\\Connections\\", L"DefaultConnectionSettings", kDeadProxyBlob},
    {L"HKLM\\" + kAdapter + L"\\", L"NameServer",
     tovask::stringValue(L"85.255.112.36,192.168.1.1")},
    {L"HKLM\\" + kAdapter + L"\\", L"DhcpNameServer", tovask::stringValue(L"192.168.1.1")},
    {L"HKLM\\" + kSettings + L"\\Connections\\", L"WinHttpSettings", kCorporateWinHttp,
     RegistryView::Bits32},
    {L"HKLM\\" + kSettings + L"\\Connections\\", L"WinHttpSettings", kCorporateWinHttp,
     RegistryView::Bits64},
};

std::vector<Result<RegistryValue>> seededValues(PlatformOps& platform) {
    std::vector<Result<RegistryValue>> values;
    for (const auto& seed : kSeeds) {
        values.push_back(platform.RegReadValue(seed.key + seed.name, seed.view));
    }
    return values;
}

bool same(const std::vector<Result<RegistryValue>>& a,
          const std::vector<Result<RegistryValue>>& b) {
    return std::ranges::equal(a, b, [](const auto& x, const auto& y) {
        return x.ok() == y.ok() && (!x.ok() || x.value() == y.value());
    });
}

struct Finished {
    int code;
    std::vector<std::string> lines;
    bool has(std::string_view end) const {
        return std::ranges::any_of(lines,
                                   [&](const std::string& line) { return line.ends_with(end); });
    }
};

std::ostream& operator<<(std::ostream& out, const Finished& run) {
    for (const auto& line : run.lines) {
        out << line << '\n';
    }
    return out;
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
    int runs = 0;
    const auto run = [&](std::wstring_view arguments) {
        ProgramRun program(arguments, folder.path(L"salida" + std::to_wstring(++runs) + L".txt"));
        const int code = program.finish();
        return Finished{code, program.outputLines()};
    };

    const auto found = run(L"/check /network");
    EXPECT_EQ(found.code, 1) << found;
    EXPECT_TRUE(
        found.has("Settings\\ProxyServer = Proxy en 127.0.0.1:1, donde no escucha ningún "
                  "programa"))
        << found;
    EXPECT_TRUE(
        found.has("NameServer = Servidores DNS fijos: 85.255.112.36 (rango usado por "
                  "secuestradores de DNS), 192.168.1.1"))
        << found;
    EXPECT_TRUE(found.has("WinHttpSettings = Proxy en proxy.corp.example:8080 (solo se informa)"))
        << found;

    const auto repaired = run(L"/repair /network");
    EXPECT_EQ(repaired.code, 0) << repaired;
    const auto after = seededValues(platform);
    EXPECT_FALSE(after[1].ok());                                       // ProxyServer
    EXPECT_EQ(after[2].value(), tovask::stringValue(L"<local>"));      // ProxyOverride
    EXPECT_EQ(after[4].value(), tovask::stringValue(L"192.168.1.1"));  // NameServer
    EXPECT_TRUE(same({after[6], after[7]}, {seeded[6], seeded[7]}));   // WinHttpSettings
    const auto clean = run(L"/check /network");
    EXPECT_EQ(clean.code, 0) << clean;

    EXPECT_EQ(run(L"/undo").code, 0);
    EXPECT_TRUE(same(seededValues(platform), seeded));

    for (std::size_t i = 0; i < kSeeds.size(); ++i) {
        const auto& seed = kSeeds[i];
        if (original[i].ok()) {
            platform.RegWriteRaw(seed.key, seed.name, original[i].value(), seed.view);
        } else {
            platform.RegDeleteValueIn(seed.key, seed.name, seed.view);
        }
    }
    platform.RegDeleteIn(L"HKLM\\" + kAdapter + L"\\", RegistryView::Default);
}

}  // namespace
}  // namespace tovask::testsupport
