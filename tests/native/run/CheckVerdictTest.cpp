#include "repair/hosts/HostsEntries.h"
#include "repair/hosts/HostsFiles.h"
#include "repair/run/CheckVerdict.h"
#include "repair/texts/ProgramTexts.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

using namespace std::string_literals;

// The plan's rows by their step number.
const RegistryStep& row(std::size_t step) {
    return kRegistryRepairPlan[step - 1];
}

RegistryValue expandable(std::wstring_view text) {
    auto value = stringValue(text);
    value.type = regtype::kExpandString;
    return value;
}

struct VerdictCase {
    std::string name;
    std::size_t step;
    std::optional<RegistryValue> found;  // none: the entry is missing
    std::optional<RegistryValue> wanted;
    std::optional<std::wstring_view> givenStartPage;
    EntryVerdict verdict;

    friend void PrintTo(const VerdictCase& row, std::ostream* out) { *out << row.name; }
};

class Verdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, OfOneEntryTheRepairWouldChange) {
    const auto& param = GetParam();
    const RegistryDifference difference{L"entrada", &row(param.step), param.found.has_value(),
                                        param.found, param.wanted};
    EXPECT_EQ(judgeDifference(difference, param.givenStartPage), param.verdict);
}

const auto kShell = stringValue(L"Explorer.exe");
const auto kOwnPage = stringValue(ForumSiteUrl);
const auto kWindowsStartPage = stringValue(L"http://go.microsoft.com/fwlink/p/?LinkId=255141");
const auto kGivenPage = stringValue(L"http://Intranet.Example/inicio");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Entries, Verdict, testing::Values(
    VerdictCase{"ShellInAnotherCase", 2, stringValue(L"explorer.exe"), kShell, {}, EntryVerdict::Same},
    VerdictCase{"ShellWithAnotherProgram", 2, stringValue(L"explorer.exe,malo.exe"), kShell, {}, EntryVerdict::Counts},
    VerdictCase{"PrefixSchemeInAnotherCase", 35, stringValue(L"FTP://"), stringValue(L"ftp://"), {}, EntryVerdict::Same},
    VerdictCase{"BlankPageLibraryInAnotherCase", 20, stringValue(L"RES://MSHTML.DLL/blank.htm"), stringValue(L"res://mshtml.dll/blank.htm"), {}, EntryVerdict::Same},
    VerdictCase{"LocalPagePathInAnotherCase", 23, stringValue(L"c:\\windows\\system32\\BLANK.HTM"), stringValue(L"C:\\WINDOWS\\system32\\blank.htm"), {}, EntryVerdict::Same},
    VerdictCase{"LocalPageAsWindowsWritesIt", 23, expandable(L"%SystemRoot%\\system32\\blank.htm"), stringValue(L"C:\\WINDOWS\\system32\\blank.htm"), {}, EntryVerdict::Information},
    VerdictCase{"MissingValue", 37, std::nullopt, stringValue(L"http://"), {}, EntryVerdict::WillBeWritten},
    VerdictCase{"DeletedValueThere", 9, stringValue(L"Navegador secuestrado"), std::nullopt, {}, EntryVerdict::Counts},
    VerdictCase{"NumberDiffers", 14, dwordValue(0), dwordValue(1), {}, EntryVerdict::Counts},
    VerdictCase{"StartPageOfWindows", 8, kWindowsStartPage, kOwnPage, {}, EntryVerdict::Information},
    VerdictCase{"StartPageOfMsn", 8, stringValue(L"https://www.MSN.com/es-es/"), kOwnPage, {}, EntryVerdict::Information},
    VerdictCase{"StartPageBlank", 8, stringValue(L"about:blank"), kOwnPage, {}, EntryVerdict::Information},
    VerdictCase{"StartPageOfAThirdParty", 8, stringValue(L"http://www.winehq.org"), kOwnPage, {}, EntryVerdict::Counts},
    VerdictCase{"StartPageScript", 8, stringValue(L"javascript:location='http://x.example'"), kOwnPage, {}, EntryVerdict::Counts},
    VerdictCase{"StartPageOtherThanGiven", 8, kWindowsStartPage, kGivenPage, L"http://Intranet.Example/inicio", EntryVerdict::Counts},
    VerdictCase{"StartPageGivenInAnotherHostCase", 8, stringValue(L"HTTP://intranet.example/inicio"), kGivenPage, L"http://Intranet.Example/inicio", EntryVerdict::Same},
    VerdictCase{"StartPageGivenInAnotherPathCase", 8, stringValue(L"http://intranet.example/Inicio"), kGivenPage, L"http://Intranet.Example/inicio", EntryVerdict::Counts},
    VerdictCase{"MachineStartPageWithAGivenOne", 24, kWindowsStartPage, kOwnPage, L"http://Intranet.Example/inicio", EntryVerdict::Information},
    VerdictCase{"SearchPageOnALookalikeHost", 6, stringValue(L"http://microsoft.com.buscar.example/"), stringValue(VendorSearchUrl), {}, EntryVerdict::Counts},
    VerdictCase{"SearchPageOfTheProgram", 6, stringValue(L"http://FORO.pelandra.test"), stringValue(VendorSearchUrl), {}, EntryVerdict::Information},
    VerdictCase{"DefaultPageOfWindows", 21, stringValue(L"http://go.microsoft.com/fwlink/p/?LinkId=255141"), stringValue(VendorDefaultPageUrl), {}, EntryVerdict::Information}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct HostsCase {
    std::string name;
    std::string content;
    std::size_t counting;
    std::size_t usersOwn;

    friend void PrintTo(const HostsCase& hosts, std::ostream* out) { *out << hosts.name; }
};

class HostsLines : public testing::TestWithParam<HostsCase> {};

TEST_P(HostsLines, CountOnlyWithANameSentElsewhere) {
    const auto entries = judgeHostsEntries(GetParam().content);
    EXPECT_EQ(entries.counting.size(), GetParam().counting);
    EXPECT_EQ(entries.usersOwn, GetParam().usersOwn);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, HostsLines, testing::Values(
    HostsCase{"CommentsOnly", "# Copyright (c) 1993-2009 Microsoft Corp.\r\n#\r\n#\t127.0.0.1       localhost\r\n", 0, 0},
    HostsCase{"TheDefaultOne", std::string(defaultHostsContent()), 0, 0},
    HostsCase{"LoopbackNamesOnLoopbackAddresses", "127.0.0.1 localhost\n::1 localhost\n127.1.2.3 app.localhost\n", 0, 0},
    HostsCase{"LoopbackNameSpelledOtherwise", "127.0.0.1\tLOCALHOST. # local\r\n", 0, 0},
    HostsCase{"AddressWithoutName", "10.6.6.6\r\n", 0, 0},
    HostsCase{"EntryInAComment", "127.0.0.1 localhost # 10.6.6.6 banco.example\r\n", 0, 0},
    HostsCase{"NameSentElsewhere", "127.0.0.1 localhost\r\n10.6.6.6 www.banco.example\r\n", 1, 0},
    HostsCase{"NameBlockedOnLoopback", "127.0.0.1 www.banco.example\r\n", 0, 1},
    HostsCase{"NameBlockedOnNoAddress", "0.0.0.0 anuncios.example\r\n", 0, 1},
    HostsCase{"LocalhostSentElsewhere", "10.6.6.6 localhost\r\n", 0, 1},
    HostsCase{"NameSentToIpv6", "2001:db8::1 www.banco.example\r\n", 1, 0},
    HostsCase{"DockerDesktopBlock", "# Added by Docker Desktop\r\n192.168.1.20 host.docker.internal\r\n192.168.1.20 gateway.docker.internal\r\n127.0.0.1 kubernetes.docker.internal\r\n# End of section\r\n", 0, 3},
    HostsCase{"AdvertisingList", "0.0.0.0 anuncios.example\n0.0.0.0 rastreo.example\n127.0.0.1 ads.example\n", 0, 3},
    HostsCase{"HomeNetworkNames", "192.168.1.10 nas.local\r\n192.168.1.1 ROUTER.LAN.\r\n192.168.1.2 impresora.home.arpa\r\n10.0.0.5 servidor\r\n", 0, 4},
    HostsCase{"NumberAsName", "10.6.6.6 10.7.7.7\r\n", 0, 1},
    HostsCase{"WindowsUpdateBlocked", "0.0.0.0 update.microsoft.com\r\n", 1, 0},
    HostsCase{"UpdateHostUnderASiteBlockedOnLoopback", "127.0.0.1 fe3.delivery.mp.microsoft.com.\r\n", 1, 0},
    HostsCase{"AntivirusVendorBlockedOnIpv6", ":: WWW.Kaspersky.com\r\n", 1, 0},
    HostsCase{"LookalikesOfSecuritySitesBlocked", "0.0.0.0 noteset.com update.microsoft.com.anuncios.example\r\n", 0, 1},
    HostsCase{"SecondNameOfALineSentElsewhere", "10.6.6.6 servidor www.banco.example\r\n", 1, 0},
    HostsCase{"BlockOnIpv6Loopback", "::1 www.banco.example\r\n", 0, 1},
    HostsCase{"LoopbackInTheLenientSpelling", "127.1 www.banco.example\r\n0x7f000001 anuncios.example\r\n", 0, 2},
    HostsCase{"AddressNoReaderKnows", "10.6.6.6x www.banco.example\r\n", 1, 0},
    HostsCase{"OddSpacingWithoutLastLineEnd", "  \t10.6.6.6\t\t www.banco.example  \v\r\n0.0.0.0    anuncios.example", 1, 1},
    HostsCase{"NulAfterAName", "10.6.6.6 www.banco.example\0basura\r\n"s, 1, 0},
    HostsCase{"Utf16Encoded", "1\0" "0\0.\0" "6\0.\0" "6\0.\0" "6\0 \0w\0.\0e\0x\0a\0m\0p\0l\0e\0\r\0\n\0"s, 0, 1}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct RemovalCase {
    std::string name;
    std::string content;
    std::string kept;

    friend void PrintTo(const RemovalCase& removal, std::ostream* out) { *out << removal.name; }
};

class HostsEntryRemoval : public testing::TestWithParam<RemovalCase> {};

TEST_P(HostsEntryRemoval, KeepsEveryByteButTheLinesThatCount) {
    EXPECT_EQ(withoutCountingEntries(GetParam().content), GetParam().kept);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, HostsEntryRemoval, testing::Values(
    RemovalCase{"MixedLineEndsAndBlankLines", "# lista\r\n127.0.0.1 localhost\n10.6.6.6 www.banco.example\r\n\r\n0.0.0.0 anuncios.example\n", "# lista\r\n127.0.0.1 localhost\n\r\n0.0.0.0 anuncios.example\n"},
    RemovalCase{"LastLineWithoutLineEnd", "0.0.0.0 anuncios.example\r\n10.6.6.6 www.banco.example", "0.0.0.0 anuncios.example\r\n"},
    RemovalCase{"CommentedEntryStaysActiveOneGoes", "#10.6.6.6 www.banco.example\n10.6.6.6 www.banco.example # mía\n", "#10.6.6.6 www.banco.example\n"},
    RemovalCase{"NothingCountsInBinaryBytes", "\xff\xfe" "1\0 \0\r\n\xc3\x28\n"s, "\xff\xfe" "1\0 \0\r\n\xc3\x28\n"s}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct ShownCase {
    std::string name;
    std::string line;
    std::wstring shown;

    friend void PrintTo(const ShownCase& entry, std::ostream* out) { *out << entry.name; }
};

class HostsEntryShown : public testing::TestWithParam<ShownCase> {};

TEST_P(HostsEntryShown, AsAPersonReadsItWhateverTheBytes) {
    EXPECT_EQ(shownHostsEntry(GetParam().line), GetParam().shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, HostsEntryShown, testing::Values(
    ShownCase{"BlanksAndCommentLeftOut", "\t10.6.6.6   www.banco.example\r # banco", L"10.6.6.6 www.banco.example"},
    ShownCase{"BytesBeyondAsciiAndNul", "10.6.6.6 w\xc3\xa9" "b\0.example"s, L"10.6.6.6 w??b?.example"},
    ShownCase{"VeryLongLineCut", "10.6.6.6 " + std::string(1'000'000, 'a'), L"10.6.6.6 " + std::wstring(191, L'a') + L"…"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

constexpr std::wstring_view kShellPath =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell";
constexpr std::wstring_view kUserStartPage =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";
const std::string kStockHosts =
    "# Copyright (c) 1993-2009 Microsoft Corp.\r\n#\r\n# localhost name resolution is handled "
    "within DNS itself.\r\n#\t127.0.0.1       localhost\r\n#\t::1             localhost\r\n";

// A Windows as it is installed: its own pages and shell, legacy values it
// never made, and its commented HOSTS file.
class FreshWindows : public testing::Test {
  protected:
    void SetUp() override {
        auto& registry = bench.platform.registry;
        registry.addKeysEveryWindowsHas();
        registry.write(kShellPath, L"explorer.exe", RegistryType::String);
        registry.write(kUserStartPage, L"http://go.microsoft.com/fwlink/p/?LinkId=255141",
                       RegistryType::String);
        registry.write(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page",
                       L"https://www.msn.com/", RegistryType::String);
        bench.addFiles({{kSystemHosts, kStockHosts}});
    }
    RunOutcome check() {
        bench.load();
        return bench.check();
    }

    RepairBench bench;
};

TEST_F(FreshWindows, ChecksHealthyAndListsWhatItWouldWriteApart) {
    EXPECT_EQ(check(), RunOutcome::Done);
    const auto& lines = bench.view.lines;
    EXPECT_FALSE(anyLineHas(lines, L"Por reparar: "));
    EXPECT_TRUE(anyLineHas(lines, L"se escribirán"));
    EXPECT_TRUE(anyLineHas(lines, L"\\Start Page = https://www.msn.com/"));
    EXPECT_EQ(lines.back(), L"Nada que reparar.");
}

TEST_F(FreshWindows, ThePressStillResetsTheHostsFileAndTheSameCheckThenAgrees) {
    bench.view.page = L"http://intranet.example/";
    bench.press();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), std::string(defaultHostsContent()));
    bench.view.page = L"http://intranet.example/";
    EXPECT_EQ(check(), RunOutcome::Done);
}

TEST_F(FreshWindows, AGivenStartPageCountsUntilTheRepairWritesIt) {
    bench.view.page = L"http://intranet.example/";
    EXPECT_EQ(check(), RunOutcome::RepairNeeded);
    EXPECT_EQ(bench.view.lines.back(), L"Entradas por reparar: 1");
}

TEST_F(FreshWindows, CountLineCountsTheRedirectingHostsFileAndTheFindingsToo) {
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.platform.registry.write(L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation",
                                  L"http://x.example", RegistryType::String);
    bench.view.repairFindings = true;
    EXPECT_EQ(check(), RunOutcome::RepairNeeded);
    // Each of the file's two entries that send a name elsewhere, and the policy.
    EXPECT_EQ(bench.view.lines.back(), L"Entradas por reparar: 3");
}

TEST_F(FreshWindows, TheUsersOwnHostsEntriesAreListedAndNotCounted) {
    bench.addFiles({{kSystemHosts,
                     "192.168.1.20 host.docker.internal\r\n127.0.0.1 kubernetes.docker.internal\r\n"
                     "0.0.0.0 anuncios.example\r\n"}});
    EXPECT_EQ(check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, std::wstring(texts::kHostsOwnEntriesPrefix) +
                                                 std::wstring(kSystemHosts) + L": 3"));
}

TEST_F(FreshWindows, ManyHostsRedirectsAreCountedAllAndListedInPart) {
    std::string content;
    for (int i = 0; i < 150; ++i) {
        content += "10.6.6.6 sitio" + std::to_string(i) + ".example\r\n";
    }
    bench.addFiles({{kSystemHosts, content}});
    EXPECT_EQ(check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Por reparar: " + std::wstring(kSystemHosts) +
                                                 L": 10.6.6.6 sitio0.example"));
    EXPECT_TRUE(anyLineHas(bench.view.lines, std::wstring(kSystemHosts) + L": y 50 entradas más"));
    EXPECT_EQ(bench.view.lines.back(), L"Entradas por reparar: 150");
}

TEST_F(FreshWindows, OnAManagedMachineThePolicyRowsAndHostsStay) {
    const std::wstring controlPanel =
        L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage";
    bench.platform.registry.write(controlPanel, 1, RegistryType::Dword);
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.platform.machineJoin.domainJoined = true;
    EXPECT_EQ(check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Directiva dejada: "));
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Archivo Hosts dejado"));

    bench.press();
    EXPECT_TRUE(bench.platform.registry.value(controlPanel).has_value());
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Archivo Hosts dejado"));
    EXPECT_EQ(check(), RunOutcome::Done);
}

}  // namespace
}  // namespace tovask::test
