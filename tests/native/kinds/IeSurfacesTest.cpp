#include <algorithm>

#include "repair/addresses/SearchEngines.h"
#include "repair/iesurfaces/HelperObjects.h"
#include "repair/iesurfaces/SecurityZones.h"
#include "repair/users/UserHives.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kSid = L"S-1-5-21-11-22-33-1001";
const std::wstring kUser = L"HKU\\" + std::wstring(kSid);
const std::wstring kScopes = L"\\Software\\Microsoft\\Internet Explorer\\SearchScopes\\";
const std::wstring kHelpers =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
const std::wstring kToolbar = L"\\Software\\Microsoft\\Internet Explorer\\Toolbar\\";
const std::wstring kSettings =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::wstring kZoneMap = kSettings + L"ZoneMap\\";
const std::wstring kInternetZone = kSettings + L"Zones\\3\\";
const std::wstring kOrganisationSites =
    L"HKLM\\Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet "
    L"Settings\\ZoneMapKey\\";
const std::wstring kClass = L"{11111111-2222-3333-4444-555555555555}";
const std::wstring kEngine = L"{0633EE93-D776-472F-A0FF-E1416B8B2E3A}";
const std::wstring kServer = L"HKLM\\Software\\Classes\\CLSID\\" + kClass + L"\\InprocServer32\\";
const std::wstring kUserServer =
    kUser + L"\\Software\\Classes\\CLSID\\" + kClass + L"\\InprocServer32\\";
const std::wstring kAdvertiser = L"http://buscar.example/?q={searchTerms}";
const std::wstring kInstalledDll = L"C:\\Program Files\\Barra\\barra.dll";
const std::wstring kSystemDll = L"C:\\WINDOWS\\System32\\ieframe.dll";
const RegistryValue kExpandedSystemDll{regtype::kExpandString,
                                       stringValue(L"%SystemRoot%\\System32\\ieframe.dll").bytes};

// A value to seed: its path (a trailing backslash names the key's default).
struct Seed {
    std::wstring path;
    RegistryValue value;
};

// What becomes of what is seeded.
enum class Verdict { Repaired, Reported, Left };

struct SurfaceCase {
    std::string name;
    std::vector<Seed> seeds;
    Verdict verdict;

    friend void PrintTo(const SurfaceCase& c, std::ostream* out) { *out << c.name; }
};

class EachSurface : public testing::TestWithParam<SurfaceCase> {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.registry.addKeysEveryWindowsHas(kUser);
        platform.registry.writeRaw(std::wstring(kProfileListKey) + std::wstring(kSid) + L"\\",
                                   L"ProfileImagePath", stringValue(L"C:\\Users\\ana"),
                                   RegistryView::Default);
        platform.files.addFile(kInstalledDll, "MZ");
        platform.files.addFile(kSystemDll, "MZ");
        bench.everyUser = true;
        for (const auto& [path, value] : GetParam().seeds) {
            const auto keyEnd = path.rfind(L'\\') + 1;
            platform.registry.writeRaw(path.substr(0, keyEnd), path.substr(keyEnd), value,
                                       RegistryView::Default);
        }
        original = platform.registry.snapshot();
        bench.press();  // Internet Explorer only: the view says no
        before = platform.registry.snapshot();
    }
    RunOutcome check() {
        bench.view.repairFindings = true;
        return bench.check();
    }
    bool hasLine(std::wstring_view start) const {
        return std::ranges::any_of(
            bench.view.lines, [&](const std::wstring& line) { return line.starts_with(start); });
    }

    RepairBench bench;
    std::map<std::wstring, fake::StoredValue> original;
    std::map<std::wstring, fake::StoredValue> before;  // once Internet Explorer is repaired
};

TEST_P(EachSurface, IsRepairedWithConsentTheCheckAgreesAndTheUndoPutsItBack) {
    const auto verdict = GetParam().verdict;
    EXPECT_EQ(check(), verdict == Verdict::Repaired ? RunOutcome::RepairNeeded : RunOutcome::Done);
    bench.press();
    EXPECT_EQ(hasLine(L"Internet Explorer reparado: "), verdict == Verdict::Repaired);
    EXPECT_EQ(std::ranges::any_of(
                  bench.view.lines,
                  [](const std::wstring& line) { return line.ends_with(L" (solo se informa)"); }),
              verdict == Verdict::Reported);
    EXPECT_EQ(bench.platform.registry.snapshot() == before, verdict != Verdict::Repaired);
    EXPECT_TRUE(bench.errorLines().empty());
    EXPECT_EQ(check(), RunOutcome::Done);
    // The backup keeps the first run's Internet Explorer repair ahead of this one's.
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.snapshot() == original);
}

TEST_P(EachSurface, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.domainJoined = true;
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_TRUE(bench.platform.registry.snapshot() == before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Surfaces, EachSurface,
    testing::Values(
        SurfaceCase{"AdvertisersScopeOfAUser", {{kUser + kScopes + L"{A}\\URL", stringValue(kAdvertiser)}}, Verdict::Repaired},
        SurfaceCase{"DefaultScopeBackToTheEngineLeft",
                    {{L"HKLM" + kScopes + L"DefaultScope", stringValue(L"{A}")}, {L"HKLM" + kScopes + L"{A}\\URL", stringValue(kAdvertiser)},
                     {L"HKLM" + kScopes + kEngine + L"\\URL", stringValue(L"https://www.bing.com/search?q={searchTerms}")}},
                    Verdict::Repaired},
        SurfaceCase{"DefaultScopeWithoutAnEngineLeft",
                    {{kUser + kScopes + L"DefaultScope", stringValue(L"{a}")}, {kUser + kScopes + L"{A}\\URL", stringValue(kAdvertiser)}},
                    Verdict::Repaired},
        SurfaceCase{"BrandBelowAnotherDomain", {{kUser + kScopes + L"{A}\\URL", stringValue(L"https://google.buscar.example/?q={searchTerms}")}}, Verdict::Repaired},
        SurfaceCase{"EngineTheUserAdded",
                    {{kUser + kScopes + L"DefaultScope", stringValue(L"{D}")}, {kUser + kScopes + L"{D}\\URL", stringValue(L"https://duckduckgo.com/?q={searchTerms}")}},
                    Verdict::Left},
        SurfaceCase{"ScopeWithoutAnAddress", {{kUser + kScopes + L"{A}\\URL", dwordValue(1)}}, Verdict::Left},
        SurfaceCase{"DefaultScopeOfAMissingScope", {{kUser + kScopes + L"DefaultScope", stringValue(L"{A}")}}, Verdict::Left},
        SurfaceCase{"HelperInAUsersFolder",
                    {{L"HKLM" + kHelpers + kClass + L"\\NoExplorer", dwordValue(1)}, {kServer, stringValue(L"C:\\Users\\ana\\AppData\\Roaming\\x.dll")}},
                    Verdict::Repaired},
        SurfaceCase{"HelperWhoseFileIsGone",
                    {{kUser + kHelpers + kClass + L"\\", stringValue(L"")}, {kUserServer, stringValue(L"\"C:\\Program Files\\Ido\\ido.dll\"")}},
                    Verdict::Repaired},
        SurfaceCase{"HelperWithoutAClass", {{L"HKLM" + kHelpers + kClass + L"\\", stringValue(L"")}}, Verdict::Repaired},
        SurfaceCase{"HelperOnAShare", {{L"HKLM" + kHelpers + kClass + L"\\", stringValue(L"")}, {kServer, stringValue(L"\\\\servidor\\x.dll")}}, Verdict::Repaired},
        SurfaceCase{"HelperInstalled", {{L"HKLM" + kHelpers + kClass + L"\\", stringValue(L"")}, {kServer, stringValue(kInstalledDll)}}, Verdict::Left},
        SurfaceCase{"HelperOfTheSystemExpanded", {{L"HKLM" + kHelpers + kClass + L"\\", stringValue(L"")}, {kServer, kExpandedSystemDll}}, Verdict::Left},
        SurfaceCase{"HelperUserClassFirst",
                    {{kUser + kHelpers + kClass + L"\\", stringValue(L"")}, {kServer, stringValue(kInstalledDll)},
                     {kUserServer, stringValue(L"C:\\Users\\ana\\x.dll")}},
                    Verdict::Repaired},
        SurfaceCase{"HelperNotNamedByAClass", {{L"HKLM" + kHelpers + L"barra\\", stringValue(L"")}}, Verdict::Left},
        SurfaceCase{"ToolbarOfAUser", {{kUser + kToolbar + L"WebBrowser\\" + kClass, RegistryValue{regtype::kBinary, {1}}}}, Verdict::Repaired},
        SurfaceCase{"MachineToolbarInstalled", {{L"HKLM" + kToolbar + kClass, stringValue(L"")}, {kServer, stringValue(kInstalledDll)}}, Verdict::Left},
        SurfaceCase{"UnsignedActiveXOfAUser", {{kUser + kInternetZone + L"1004", dwordValue(0)}}, Verdict::Repaired},
        SurfaceCase{"UnsafeActiveXPromptsForTheMachine", {{L"HKLM" + kInternetZone + L"1201", dwordValue(1)}}, Verdict::Repaired},
        SurfaceCase{"ActiveXDisabled", {{kUser + kInternetZone + L"1004", dwordValue(3)}}, Verdict::Left},
        SurfaceCase{"ActiveXAsText", {{kUser + kInternetZone + L"1004", stringValue(L"0")}}, Verdict::Left},
        SurfaceCase{"TrustedDomainOfAUser", {{kUser + kZoneMap + L"Domains\\ads.example\\http", dwordValue(2)}}, Verdict::Reported},
        SurfaceCase{"IntranetHostBelowADomain", {{L"HKLM" + kZoneMap + L"EscDomains\\ads.example\\*\\https", dwordValue(1)}}, Verdict::Reported},
        SurfaceCase{"TrustedRange",
                    {{kUser + kZoneMap + L"Ranges\\Range1\\:Range", stringValue(L"203.0.113.*")}, {kUser + kZoneMap + L"Ranges\\Range1\\*", dwordValue(2)}},
                    Verdict::Reported},
        SurfaceCase{"RestrictedDomain", {{kUser + kZoneMap + L"Domains\\ads.example\\http", dwordValue(4)}}, Verdict::Left},
        SurfaceCase{"WindowsUpdateTrusted", {{kUser + kZoneMap + L"EscDomains\\microsoft.com\\*.update\\https", dwordValue(2)}}, Verdict::Left},
        SurfaceCase{"OrganisationsSite",
                    {{kUser + kZoneMap + L"Domains\\intranet.example\\*", dwordValue(1)}, {kOrganisationSites + L"*.intranet.example", stringValue(L"1")}},
                    Verdict::Left}),
    [](const testing::TestParamInfo<SurfaceCase>& info) { return info.param.name; });
// clang-format on

// One finder of the kind on its own.
struct FinderBench {
    FinderBench() { platform.registry.addKeysEveryWindowsHas(); }
    std::vector<IeSurface> zones() { return findSecurityZones(platform, hives, false, failures); }

    fake::FakePlatform platform;
    FailureLog failures{platform};
    std::vector<std::wstring> hives{L"HKCU"};
};

TEST(ZoneMap, IsCutAfterItsFirstSitesWithAnErrorLine) {
    FinderBench bench;
    constexpr int kSeeded = 1500;
    for (int i = 0; i < kSeeded; ++i) {
        bench.platform.registry.writeRaw(
            L"HKCU" + kZoneMap + L"Domains\\ads" + std::to_wstring(i) + L".example\\", L"http",
            dwordValue(2), RegistryView::Default);
    }
    EXPECT_LT(bench.zones().size(), static_cast<std::size_t>(kSeeded));
    EXPECT_EQ(bench.failures.entries().size(), 1u);
}

TEST(ZoneMap, AnUnreadableHiveIsOneFailureAndTheRestIsFound) {
    FinderBench bench;
    bench.hives.push_back(kUser);
    bench.platform.registry.writeRaw(L"HKLM" + kZoneMap + L"Domains\\ads.example\\", L"http",
                                     dwordValue(2), RegistryView::Default);
    bench.platform.addFault([](const fake::RecordedCall& call, std::size_t) {
        return call.target.starts_with(kUser) ? std::optional(errc(std::errc::permission_denied))
                                              : std::nullopt;
    });
    EXPECT_EQ(bench.zones().size(), 1u);
    EXPECT_FALSE(bench.failures.entries().empty());
}

TEST(HelperObjects, AProgramOnAShareIsNeverOpened) {
    FinderBench bench;
    bench.platform.RegWrite(kServer, L"\\\\servidor\\x.dll", RegistryType::String);
    bench.platform.RegWrite(L"HKLM" + kHelpers + kClass + L"\\", L"", RegistryType::String);
    EXPECT_EQ(findHelperObjects(bench.platform, bench.hives, false, bench.failures).size(), 1u);
    EXPECT_TRUE(std::ranges::none_of(bench.platform.calls, [](const fake::RecordedCall& call) {
        return call.target.find(L"servidor") != std::wstring::npos;
    }));
}

TEST(HelperObjects, EachViewsHelperIsRemovedInItsViewOnly) {
    RepairBench bench;
    auto& registry = bench.platform.registry;
    registry.twoViews = true;
    registry.addKeysEveryWindowsHas();
    const auto helper = L"HKLM" + kHelpers + kClass + L"\\";
    registry.writeRaw(helper, L"", stringValue(L""), RegistryView::Bits64);
    registry.writeRaw(helper, L"", stringValue(L""), RegistryView::Bits32);
    registry.writeRaw(kServer, L"", stringValue(kInstalledDll), RegistryView::Bits32);
    bench.platform.files.addFile(kInstalledDll, "MZ");
    bench.press();
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_FALSE(registry.keyExists(helper, RegistryView::Bits64));
    EXPECT_TRUE(registry.keyExists(helper, RegistryView::Bits32));
}

TEST(HelperObjects, AClassThatCannotBeReadIsOneFailureAndTheOthersAreFound) {
    FinderBench bench;
    for (const auto* id :
         {L"{11111111-2222-3333-4444-555555555555}", L"{99999999-2222-3333-4444-555555555555}"}) {
        bench.platform.RegWrite(L"HKLM" + kHelpers + id + L"\\", L"", RegistryType::String);
    }
    bench.platform.addFault([](const fake::RecordedCall& call, std::size_t) {
        return call.target == kServer ? std::optional(errc(std::errc::permission_denied))
                                      : std::nullopt;
    });
    EXPECT_EQ(findHelperObjects(bench.platform, bench.hives, false, bench.failures).size(), 1u);
    EXPECT_EQ(bench.failures.entries().size(), 1u);
}

struct ViewCase {
    std::string name;
    std::wstring path;
    RegistryValue value;
};

class InTheOtherView : public testing::TestWithParam<ViewCase> {};

TEST_P(InTheOtherView, IsRepairedThereAndTheUndoPutsItBack) {
    RepairBench bench;
    auto& registry = bench.platform.registry;
    registry.twoViews = true;
    registry.addKeysEveryWindowsHas();
    const auto& [name, path, value] = GetParam();
    const auto keyEnd = path.rfind(L'\\') + 1;
    registry.writeRaw(path.substr(0, keyEnd), path.substr(keyEnd), value, RegistryView::Bits64);
    bench.press();
    bench.view.repairFindings = true;
    bench.press();
    const auto repaired = registry.readValue(path, RegistryView::Bits64);
    EXPECT_FALSE(repaired.ok() && repaired.value() == value);
    bench.undo();
    const auto putBack = registry.readValue(path, RegistryView::Bits64);
    EXPECT_TRUE(putBack.ok() && putBack.value() == value);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, InTheOtherView,
    testing::Values(
        ViewCase{"Scope", L"HKLM" + kScopes + L"{A}\\URL", stringValue(kAdvertiser)},
        ViewCase{"Toolbar", L"HKLM" + kToolbar + kClass, stringValue(L"")},
        ViewCase{"ActiveXSetting", L"HKLM" + kInternetZone + L"1004", dwordValue(0)}),
    [](const testing::TestParamInfo<ViewCase>& info) { return info.param.name; });
// clang-format on

struct ReachCase {
    std::string name;
    std::wstring key;
    std::wstring entry;
    bool within;
};

class IeSurfaceReach : public testing::TestWithParam<ReachCase> {};

TEST_P(IeSurfaceReach, TakesOnlyWhatTheRepairChanges) {
    auto key = GetParam().key;
    if (key.ends_with(L'\\')) {
        key.pop_back();
    }
    const RegistryFileSection section{key, false, {{GetParam().entry, dwordValue(0)}}};
    EXPECT_EQ(rowOf(FindingKind::IeSurface).withinRegistryReach(section, true), GetParam().within);
}

const std::wstring kMachine = L"HKEY_LOCAL_MACHINE";
const std::wstring kAccount = L"HKEY_USERS\\" + std::wstring(kSid);

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Sections, IeSurfaceReach,
    testing::Values(
        ReachCase{"DefaultScope", kAccount + kScopes, L"DefaultScope", true},
        ReachCase{"OtherSearchValue", kAccount + kScopes, L"ShowSearchSuggestions", false},
        ReachCase{"ScopesKey", kMachine + kScopes + L"{A}\\Sub", L"URL", true},
        ReachCase{"HelperKey", kMachine + kHelpers + kClass, L"NoExplorer", true},
        ReachCase{"HelperNotNamedByAClass", kMachine + kHelpers + L"barra", L"", false},
        ReachCase{"ToolbarValue", kAccount + kToolbar + L"WebBrowser", kClass, true},
        ReachCase{"MachineToolbarOtherValue", kMachine + kToolbar, L"Locked", false},
        ReachCase{"ActiveXSetting", kAccount + kInternetZone, L"1201", true},
        ReachCase{"OtherZoneSetting", kMachine + kInternetZone, L"1001", false},
        ReachCase{"DefaultUsersHive", L"HKEY_USERS\\.DEFAULT" + kInternetZone, L"1004", false}),
    [](const testing::TestParamInfo<ReachCase>& info) { return info.param.name; });
// clang-format on

struct SearchHostCase {
    std::string name;
    std::wstring_view host;
    bool known;
};

class SearchHost : public testing::TestWithParam<SearchHostCase> {};

TEST_P(SearchHost, IsKnownByItsRegistrableDomain) {
    EXPECT_EQ(isKnownSearchHost(GetParam().host), GetParam().known);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Hosts, SearchHost,
    testing::Values(
        SearchHostCase{"CountryDomain", L"www.google.es", true},
        SearchHostCase{"CountrysSecondLevel", L"search.yahoo.co.jp", true},
        SearchHostCase{"EnginesOwnDomainWithRootDot", L"html.duckduckgo.com.", true},
        SearchHostCase{"BrandBelowAnotherDomain", L"google.buscar.example", false},
        SearchHostCase{"BrandBeforeACountryOfAnotherDomain", L"bing.buscar.es", false},
        SearchHostCase{"BrandInsideALabel", L"googlesearch.example", false},
        SearchHostCase{"EnginesDomainInsideALabel", L"notduckduckgo.com", false}),
    [](const testing::TestParamInfo<SearchHostCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
