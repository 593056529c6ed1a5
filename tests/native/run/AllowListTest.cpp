#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "repair/allow/AllowListSources.h"
#include "tests/fake/FakePlatform.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kExtensionId = L"abcdefghijklmnopabcdefghijklmnop";
const std::wstring kThumbprint(40, L'A');

struct LineCase {
    std::string name;
    std::wstring line;
    std::optional<AllowedThing> thing = std::nullopt;  // none: no entry
    bool mistake = false;
};

class AllowLines : public testing::TestWithParam<LineCase> {};

TEST_P(AllowLines, ReadAsTheirThingOrAMistake) {
    const auto read = readAllowLine(GetParam().line);
    EXPECT_EQ(read.entry ? std::optional(read.entry->thing) : std::nullopt, GetParam().thing);
    EXPECT_EQ(!read.mistake.empty(), GetParam().mistake);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AllowLines,
    testing::Values(
        LineCase{"Page", L"pagina https://intranet.example/", AllowedThing::Page},
        LineCase{"SearchEngine", L"\tBUSCADOR  https://buscar.example/?q= \r",
                 AllowedThing::SearchEngine},
        LineCase{"ChromiumExtension", L"extension " + std::wstring(kExtensionId),
                 AllowedThing::Extension},
        LineCase{"FirefoxExtension", L"extension agente@empresa.example", AllowedThing::Extension},
        LineCase{"Proxy", L"proxy proxy.example:8080", AllowedThing::ProxyServer},
        LineCase{"ProxyScript", L"pac https://pac.example/org.pac", AllowedThing::ProxyScript},
        LineCase{"Dns", L"dns 10.0.0.1", AllowedThing::DnsServer},
        LineCase{"HostsName", L"hosts intranet.example", AllowedThing::HostsName},
        LineCase{"Argument", L"argumento --app=https://x.example/", AllowedThing::ShortcutArgument},
        LineCase{"Task", L"tarea \\Empresa\\Inventario", AllowedThing::Task},
        LineCase{"Command", L"inicio C:\\Empresa\\agente.exe /fondo", AllowedThing::StartupCommand},
        LineCase{"Root", L"raiz " + kThumbprint, AllowedThing::RootCertificate},
        LineCase{"Blank", L"   \r"}, LineCase{"Comment", L"# pagina https://x.example/"},
        LineCase{"UnknownKeyword", L"sitio https://x.example/", std::nullopt, true},
        LineCase{"MissingValue", L"pagina", std::nullopt, true},
        LineCase{"AddressWithoutScheme", L"pagina intranet.example", std::nullopt, true},
        LineCase{"ExtensionOfOtherLetters", L"extension " + std::wstring(32, L'z'), std::nullopt,
                 true},
        LineCase{"ProxyOfTwoServers", L"proxy a.example:1 b.example:2", std::nullopt, true},
        LineCase{"DnsByName", L"dns dns.example", std::nullopt, true},
        LineCase{"HostsNameWithSlash", L"hosts a/b", std::nullopt, true},
        LineCase{"TaskWithoutFolder", L"tarea Inventario", std::nullopt, true},
        LineCase{"ShortThumbprint", L"raiz ABCDEF", std::nullopt, true},
        LineCase{"VeryLongLine", L"inicio " + std::wstring(100'000, L'x'), std::nullopt, true}),
    [](const auto& info) { return info.param.name; });

struct FindingCase {
    std::string name;
    std::wstring line;
    FindingSubject subject;
    FindingEvidence evidence;
    bool allowed;
};

class AllowedFinding : public testing::TestWithParam<FindingCase> {};

TEST_P(AllowedFinding, OnlyWhenTheEntryCoversAllItSets) {
    AllowList list;
    list.add(*readAllowLine(GetParam().line).entry);
    Finding finding;
    finding.subject = GetParam().subject;
    finding.evidence = GetParam().evidence;
    EXPECT_EQ(list.allows(finding), GetParam().allowed);
}

constexpr auto kHome = FindingSubject::HomePage;
const std::wstring kIntranet = L"pagina https://intranet.example/app";

FindingEvidence evidence(std::vector<std::wstring> sets, std::wstring runs = {},
                         std::wstring extensionId = {}) {
    FindingEvidence evidence;
    evidence.sets = std::move(sets);
    evidence.runs = std::move(runs);
    evidence.extensionId = std::move(extensionId);
    return evidence;
}

INSTANTIATE_TEST_SUITE_P(
    Findings, AllowedFinding,
    testing::Values(
        FindingCase{"PageBelowPrefix", kIntranet, kHome,
                    evidence({L"HTTPS://Intranet.Example./app/inicio"}), true},
        FindingCase{"PageOnLongerHost", kIntranet, kHome,
                    evidence({L"https://intranet.example.evil.com/app"}), false},
        FindingCase{"PageOnLongerPath", kIntranet, kHome,
                    evidence({L"https://intranet.example/apple"}), false},
        FindingCase{"PageBehindCredentials", kIntranet, kHome,
                    evidence({L"https://intranet.example@evil.example/app"}), false},
        FindingCase{"PageBehindBackslash", kIntranet, kHome,
                    evidence({L"https://evil.example\\@intranet.example/app"}), false},
        FindingCase{"PageOnOtherPort", kIntranet, kHome,
                    evidence({L"https://intranet.example:8443/app"}), false},
        FindingCase{"PageOverPlainHttp", kIntranet, kHome,
                    evidence({L"http://intranet.example/app"}), false},
        FindingCase{"PageEntryIsNoSearchEngine", kIntranet, FindingSubject::SearchEngine,
                    evidence({L"https://intranet.example/app"}), false},
        FindingCase{"PageWithNothingRead", kIntranet, kHome, evidence({}), false},
        FindingCase{"SearchEngine", L"buscador https://buscar.example/",
                    FindingSubject::SearchEngine, evidence({L"https://buscar.example/?q={q}"}),
                    true},
        FindingCase{"ExtensionKeyById", L"extension " + std::wstring(kExtensionId),
                    FindingSubject::ExtensionKey,
                    evidence({}, {}, L"ABCDEFGHIJKLMNOPABCDEFGHIJKLMNOP"), true},
        FindingCase{"OtherExtension", L"extension " + std::wstring(kExtensionId),
                    FindingSubject::ForcedExtension, evidence({std::wstring(32, L'p')}), false},
        FindingCase{"ProxyForEveryScheme", L"proxy proxy.example:8080", FindingSubject::ProxyServer,
                    evidence({L"http=PROXY.example:8080;https=proxy.example:8080"}), true},
        FindingCase{"ProxyWithAnotherServer", L"proxy proxy.example:8080",
                    FindingSubject::ProxyServer,
                    evidence({L"http=proxy.example:8080;socks=127.0.0.1:9050"}), false},
        FindingCase{"ProxyScript", L"pac https://pac.example/org.pac", FindingSubject::ProxyScript,
                    evidence({L"https://pac.example/org.pac"}), true},
        FindingCase{"DnsServers", L"dns 10.0.0.1", FindingSubject::DnsServer,
                    evidence({L"10.0.0.1", L"85.255.112.1"}), false},
        FindingCase{"ShortcutArgument", L"argumento --app=https://x.example/",
                    FindingSubject::ShortcutArgument, evidence({L"--APP=https://x.example/"}),
                    true},
        FindingCase{"TaskByPath", L"tarea \\Empresa\\Inventario", FindingSubject::StartupCommand,
                    evidence({L"\\empresa\\inventario"}, L"wscript.exe C:\\x.js"), true},
        FindingCase{"CommandWithoutItsScript", L"inicio powershell.exe -enc ZQBjAGgAbwA=",
                    FindingSubject::StartupCommand,
                    evidence({}, L"powershell.exe -enc ZQBjAGgAbwA=\necho"), true},
        FindingCase{"RootByThumbprint", L"raiz " + kThumbprint, FindingSubject::RootCertificate,
                    evidence({std::wstring(40, L'a')}), true},
        FindingCase{"RestrictionNever", L"inicio x", FindingSubject::Restriction,
                    evidence({}, L"x"), false}),
    [](const auto& info) { return info.param.name; });

// A lock that only switches its neighbours on, beside the address locks of
// one kind and policy root: "S" the switch, "A" an allowed address, "a" one
// that is not, "o" an allowed address in other policies, "k" in another kind.
struct SwitchCase {
    std::string name;
    std::string neighbours;
    bool allowed;
};

class AllowedSwitch : public testing::TestWithParam<SwitchCase> {};

TEST_P(AllowedSwitch, OnlyWhenEveryAddressItTurnsOnIsAllowed) {
    AllowList list;
    list.add(*readAllowLine(L"pagina https://intranet.example/").entry);
    const auto lock = [](char code) {
        Finding finding{code == 'k' ? FindingKind::LocalPolicyFile : FindingKind::BrowserPolicy,
                        L"Chrome", std::wstring(1, static_cast<wchar_t>(code)), L""};
        finding.subject = FindingSubject::StartupPages;
        finding.evidence.policyRoot = code == 'o' ? L"HKEY_USERS\\S-1-5-21" : L"HKLM";
        finding.evidence.switchesNeighbours = code == 'S';
        finding.evidence.sets = {code == 'S'   ? L"4"
                                 : code == 'a' ? L"https://buscar.example/"
                                               : L"https://intranet.example/"};
        return finding;
    };
    std::vector<Finding> findings;
    for (const char code : "S" + GetParam().neighbours) {
        findings.push_back(lock(code));
    }
    list.markAllowed(findings);
    EXPECT_EQ(findings.front().allowed, GetParam().allowed);
    EXPECT_EQ(findings.front().repairable, !GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(Switches, AllowedSwitch,
                         testing::Values(SwitchCase{"BesideAllowedAddresses", "AA", true},
                                         SwitchCase{"BesideOneAddressNotAllowed", "Aa", false},
                                         SwitchCase{"Alone", "", false},
                                         SwitchCase{"AllowedAddressInOtherPolicies", "o", false},
                                         SwitchCase{"AllowedAddressOfAnotherKind", "k", false}),
                         [](const auto& info) { return info.param.name; });

TEST(AllowLines, AMistakeIsOneFailureNamingItsLineAndTheRestApply) {
    fake::FakePlatform platform;
    FailureLog failures(platform);
    AllowList list;
    addAllowLines(list, L"lista.txt",
                  L"dns 10.0.0.1\r\npagina intranet\r\n# fin\nhosts intranet.example", failures);
    ASSERT_EQ(failures.entries().size(), 1u);
    EXPECT_EQ(failures.entries()[0].target, L"lista.txt, línea 2");
    EXPECT_EQ(list.entries().size(), 2u);
}

class AllowSources : public testing::Test {
  protected:
    void SetUp() override {
        platform.RegWrite(
            L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"
            L"S-1-5-21-1004336348-1177238915-682003330-1001\\ProfileImagePath",
            L"C:\\Users\\ana", RegistryType::String);
    }
    AllowList load(std::wstring_view file, bool everyUser) {
        return loadAllowList(platform, file, everyUser, failures);
    }

    fake::FakePlatform platform;
    FailureLog failures{platform};
};

TEST_F(AllowSources, PolicyValuesAreEntriesEachStringOfAListOne) {
    const auto strings = toUtf16LeBytes(std::wstring(L"dns 10.0.0.1\0dns 10.0.0.2\0\0", 28));
    platform.RegWriteRaw(kAllowPolicyKey, L"Servidores",
                         {regtype::kMultiString, {strings.begin(), strings.end()}},
                         RegistryView::Default);
    platform.RegWrite(std::wstring(kAllowPolicyKey) + L"Inicio",
                      L"pagina https://intranet.example/", RegistryType::String);
    platform.RegWriteRaw(kAllowPolicyKey, L"Numero", dwordValue(1), RegistryView::Default);
    EXPECT_EQ(load({}, true).entries().size(), 3u);
    EXPECT_EQ(failures.entries().size(), 1u);
}

TEST_F(AllowSources, AFileUsersCanWriteIsRefusedOnlyForEveryUser) {
    platform.files.addFile(L"C:\\Users\\ana\\permitidos.txt", "dns 10.0.0.1\n");
    EXPECT_EQ(load(L"C:\\Users\\ana\\permitidos.txt", false).entries().size(), 1u);
    EXPECT_TRUE(failures.entries().empty());
    EXPECT_TRUE(load(L"C:\\Users\\ana\\permitidos.txt", true).entries().empty());
    EXPECT_EQ(failures.entries().size(), 1u);
}

struct RefusedFile {
    std::string name;
    std::wstring path;
    std::string bytes;
};

class RefusedAllowFile : public AllowSources, public testing::WithParamInterface<RefusedFile> {};

TEST_P(RefusedAllowFile, AddsNothingAndIsOneFailure) {
    platform.files.addFile(GetParam().path, GetParam().bytes);
    EXPECT_TRUE(load(GetParam().path, false).entries().empty());
    EXPECT_EQ(failures.entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedAllowFile,
    testing::Values(RefusedFile{"NotUtf8", L"C:\\Listas\\a.txt", "dns 10.0.0.1\n\xff\xfe"},
                    RefusedFile{"OnAShare", L"\\\\servidor\\listas\\a.txt", "dns 10.0.0.1\n"},
                    RefusedFile{"Relative", L"a.txt", "dns 10.0.0.1\n"},
                    RefusedFile{"TooLarge", L"C:\\Listas\\a.txt",
                                "dns 10.0.0.1\n" + std::string(2 * 1024 * 1024, '#')}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
