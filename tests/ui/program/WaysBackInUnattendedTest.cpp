// The other ways back in through the built program, on the Wine prefix's own
// registry: each hijack beside a legitimate neighbour, checked, repaired,
// checked again and undone, the neighbours untouched throughout.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/ui/HijackedPrefix.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"
#include "text/RegistryEncoding.h"

namespace tovask::testsupport {
namespace {

struct Seed {
    std::wstring key;  // with its root
    std::wstring name;
    RegistryValue value;
    bool leftAlone = false;  // else the repair changes or removes it
};

RegistryValue text(std::wstring_view value) {
    return tovask::stringValue(value);
}

RegistryValue names(std::wstring_view name) {
    RegistryValue value{REG_MULTI_SZ, {}};
    for (const wchar_t c : std::wstring(name) + std::wstring(2, L'\0')) {
        value.bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        value.bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return value;
}

const std::wstring kCurrentVersion = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::wstring kChrome =
    L"\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" http://buscar.example/";
const std::wstring kActiveSetup =
    L"HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\";
const std::wstring kScopes = L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchScopes\\";
const std::wstring kHelperObjects =
    L"HKLM\\" + kCurrentVersion + L"Explorer\\Browser Helper Objects\\";
const std::wstring kClasses = L"HKLM\\SOFTWARE\\Classes\\CLSID\\";
const std::wstring kZoneMap = L"HKCU\\" + kCurrentVersion + L"Internet Settings\\ZoneMap\\";
const std::wstring kZoneMapPolicy =
    L"HKCU\\Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet "
    L"Settings\\ZoneMapKey\\";
const std::wstring kNameRules =
    L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows NT\\DNSClient\\DnsPolicyConfig\\";
const std::wstring kNeighbourProgram = L"C:\\Program Files\\TovaskVecino\\ayudante.dll";

// Start-up routes beside Run, and a copy of a Windows program elsewhere.
const std::vector<Seed> kStartupSeeds = {
    {L"HKCU\\" + kCurrentVersion + L"Policies\\Explorer\\Run\\", L"Ofertas", text(kChrome)},
    {L"HKCU\\" + kCurrentVersion + L"Policies\\Explorer\\Run\\", L"Agente",
     text(L"\"C:\\Program Files\\Empresa\\agente.exe\" /tray"), true},
    {L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\", L"Userinit",
     text(L"C:\\windows\\system32\\userinit.exe,C:\\Users\\Public\\actualizador.exe,")},
    {kActiveSetup + L"{7A5B0000-0000-4000-8000-000000000001}\\", L"StubPath",
     text(L"wscript.exe C:\\Users\\Public\\inicio.js")},
    {kActiveSetup + L"{7A5B0000-0000-4000-8000-000000000002}\\", L"StubPath",
     text(L"\"C:\\Program Files\\Empresa\\config.exe\" /usuario"), true},
    {L"HKCU\\" + kCurrentVersion + L"Run\\", L"Servicio",
     text(L"C:\\Users\\Public\\svchost.exe -k netsvcs")},
};

// Internet Explorer's own surfaces, and the locks of the browsers of the rest
// of the world. The zone entry nobody set and the secure DNS of an unknown
// resolver are reported and left.
const std::wstring kAdvertiserScope = L"{7A5B0000-0000-4000-8000-000000000003}";
const std::wstring kUsersScope = L"{7A5B0000-0000-4000-8000-000000000004}";
const std::wstring kPlantedHelper = L"{7A5B0000-0000-4000-8000-000000000005}";
const std::wstring kNeighbourHelper = L"{7A5B0000-0000-4000-8000-000000000006}";
const std::vector<Seed> kBrowserSeeds = {
    {kScopes, L"DefaultScope", text(kAdvertiserScope)},
    {kScopes + kAdvertiserScope + L"\\", L"URL", text(L"http://buscar.example/?q={searchTerms}")},
    {kScopes + kUsersScope + L"\\", L"URL", text(L"https://duckduckgo.com/?q={searchTerms}"), true},
    {kHelperObjects + kPlantedHelper + L"\\", L"NoExplorer", tovask::dwordValue(1)},
    {kClasses + kPlantedHelper + L"\\InprocServer32\\", L"",
     text(L"C:\\Users\\Public\\ayudante.dll"), true},
    {kHelperObjects + kNeighbourHelper + L"\\", L"NoExplorer", tovask::dwordValue(1), true},
    {kClasses + kNeighbourHelper + L"\\InprocServer32\\", L"", text(kNeighbourProgram), true},
    {kZoneMap + L"Domains\\ofertas.example\\", L"https", tovask::dwordValue(2), true},
    {kZoneMapPolicy, L"https://portal.empresa.example", text(L"1"), true},
    {kZoneMap + L"Domains\\empresa.example\\portal\\", L"https", tovask::dwordValue(1), true},
    {L"HKCU\\" + kCurrentVersion + L"Internet Settings\\Zones\\3\\", L"1201",
     tovask::dwordValue(0)},
    {L"HKCU\\Software\\Policies\\YandexBrowser\\", L"HomepageLocation",
     text(L"http://inicio.example")},
    {L"HKCU\\Software\\Policies\\Vivaldi\\", L"BookmarkBarEnabled", tovask::dwordValue(1), true},
    {L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\", L"DnsOverHttpsMode", text(L"secure"), true},
    {L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\", L"DnsOverHttpsTemplates",
     text(L"https://doh.ofertas.example/dns-query{?dns}"), true},
};

// A rule that sends a bank's name to a foreign server, beside one for the
// organisation's own names.
const std::vector<Seed> kNameSeeds = {
    {kNameRules + L"TovaskBanco\\", L"Name", names(L"www.banco.com")},
    {kNameRules + L"TovaskBanco\\", L"GenericDNSServers", text(L"203.0.113.7")},
    {kNameRules + L"TovaskEmpresa\\", L"Name", names(L".sede.empresa.lan"), true},
    {kNameRules + L"TovaskEmpresa\\", L"GenericDNSServers", text(L"10.0.0.1"), true},
};

std::vector<std::optional<RegistryValue>> valuesOf(PlatformOps& platform,
                                                   const std::vector<Seed>& seeds) {
    std::vector<std::optional<RegistryValue>> values;
    for (const auto& seed : seeds) {
        const auto value = platform.RegReadValue(seed.key + seed.name, RegistryView::Default);
        values.push_back(value.ok() ? std::optional(value.value()) : std::nullopt);
    }
    return values;
}

// Seeds the values, runs the program with `switches` and puts the machine
// back as it was.
void checkRepairCheckUndo(const std::vector<Seed>& seeds, std::wstring_view switches) {
    TestFolder folder;
    // One an earlier test left would be refused, as Wine cannot protect it.
    removeFileCopies();
    const HijackedPrefix prefix;
    Win32Platform platform;
    const auto original = valuesOf(platform, seeds);
    for (const auto& seed : seeds) {
        ASSERT_FALSE(platform.RegWriteRaw(seed.key, seed.name, seed.value, RegistryView::Default));
    }
    const auto seeded = valuesOf(platform, seeds);
    ProgramRuns run(folder);
    const auto& lines = run.lines();
    const std::wstring arguments(switches);

    EXPECT_EQ(run(L"/check " + arguments), 1) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/repair " + arguments), 0) << testing::PrintToString(lines);
    const auto repaired = valuesOf(platform, seeds);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        EXPECT_EQ(repaired[i] == seeded[i], seeds[i].leftAlone)
            << testing::PrintToString(seeds[i].key + seeds[i].name);
    }
    EXPECT_EQ(run(L"/check " + arguments), 0) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/undo"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(valuesOf(platform, seeds), seeded);

    for (std::size_t i = seeds.size(); i-- > 0;) {
        const auto& seed = seeds[i];
        if (original[i]) {
            platform.RegWriteRaw(seed.key, seed.name, *original[i], RegistryView::Default);
        } else {
            platform.RegDeleteValueIn(seed.key, seed.name, RegistryView::Default);
        }
    }
}

TEST(WaysBackInUnattended, StartupRoutesBesideRunAreRemovedAndPutBack) {
    checkRepairCheckUndo(kStartupSeeds, L"/startup");
    Win32Platform platform;
    for (const auto* component : {L"{7A5B0000-0000-4000-8000-000000000001}\\",
                                  L"{7A5B0000-0000-4000-8000-000000000002}\\"}) {
        platform.RegDeleteIn(kActiveSetup + component, RegistryView::Default);
    }
}

TEST(WaysBackInUnattended, InternetExplorersSurfacesAndOtherBrowsersLocksAreRepairedAndPutBack) {
    CreateDirectoryW(L"C:\\Program Files\\TovaskVecino", nullptr);
    writeBytes(kNeighbourProgram, "MZ");
    checkRepairCheckUndo(kBrowserSeeds, L"/browsers");
    DeleteFileW(kNeighbourProgram.c_str());
    RemoveDirectoryW(L"C:\\Program Files\\TovaskVecino");
    Win32Platform platform;
    for (const auto& scope : {kAdvertiserScope, kUsersScope}) {
        platform.RegDeleteIn(kScopes + scope + L"\\", RegistryView::Default);
    }
    for (const auto& helper : {kPlantedHelper, kNeighbourHelper}) {
        platform.RegDeleteIn(kHelperObjects + helper + L"\\", RegistryView::Default);
        platform.RegDeleteIn(kClasses + helper + L"\\", RegistryView::Default);
    }
    platform.RegDeleteIn(kZoneMap + L"Domains\\ofertas.example\\", RegistryView::Default);
    platform.RegDeleteIn(kZoneMap + L"Domains\\empresa.example\\", RegistryView::Default);
}

TEST(WaysBackInUnattended, ANameRuleForAPublicNameIsRemovedAndPutBack) {
    checkRepairCheckUndo(kNameSeeds, L"/network");
    Win32Platform platform;
    for (const auto* rule : {L"TovaskBanco\\", L"TovaskEmpresa\\"}) {
        platform.RegDeleteIn(kNameRules + rule, RegistryView::Default);
    }
}

}  // namespace
}  // namespace tovask::testsupport
