#include <algorithm>
#include <array>

#include "repair/hosts/HostsFiles.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

using namespace std::string_literals;

// The folders as the system gives them, then the four paths expected.
using PathsCase = std::array<std::wstring_view, 6>;

class HostsPathsFromFolders : public testing::TestWithParam<PathsCase> {};

TEST_P(HostsPathsFromFolders, AreFolderAndNameJoinedAsTheyAre) {
    const auto [windows, system, hosts, hostsWin, backup, backupWin] = GetParam();
    RepairBench bench;
    bench.platform.windowsFolder = windows;
    bench.platform.systemFolder = system;
    bench.load();

    ASSERT_TRUE(bench.repair.paths().ok());
    const auto& paths = bench.repair.paths().value();
    EXPECT_EQ(paths.strWindows, windows);
    EXPECT_EQ(paths.strSistema, system);
    EXPECT_EQ(paths.strHosts, hosts);
    EXPECT_EQ(paths.strHostsWin, hostsWin);
    EXPECT_EQ(paths.strBackup, backup);
    EXPECT_EQ(paths.strBackupWin, backupWin);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostsPathsFromFolders,
    testing::Values(
        // clang-format off
        PathsCase{L"C:\\WINDOWS", L"C:\\WINDOWS\\system32", kSystemHosts, kWindowsHosts, kSystemBackup, kWindowsBackup},
        PathsCase{L"D:\\Win\\", L"D:\\Win\\Sys\\", L"D:\\Win\\Sys\\\\drivers\\etc\\hosts", L"D:\\Win\\\\drivers\\etc\\hosts",
                  L"D:\\Win\\Sys\\\\drivers\\etc\\BackupHosts.bak", L"D:\\Win\\\\BackupHosts.bak"},
        PathsCase{L"\\\\?\\c:/Mi Windows ", L"\\\\servidor\\sys", L"\\\\servidor\\sys\\drivers\\etc\\hosts",
                  L"\\\\?\\c:/Mi Windows \\drivers\\etc\\hosts", L"\\\\servidor\\sys\\drivers\\etc\\BackupHosts.bak",
                  L"\\\\?\\c:/Mi Windows \\BackupHosts.bak"}));
// clang-format on

std::vector<std::string> linesOf(std::string_view content) {
    std::vector<std::string> lines;
    for (auto end = content.find("\r\n"); end != std::string_view::npos;
         end = content.find("\r\n")) {
        lines.emplace_back(content.substr(0, end));
        content.remove_prefix(end + 2);
    }
    return lines;
}

// The implementer picks the two example host names; everything else is fixed.
std::string exampleHostName(std::string_view line, std::string_view before,
                            std::string_view after) {
    if (!line.starts_with(before) || !line.ends_with(after) ||
        line.size() <= before.size() + after.size()) {
        return {};
    }
    return std::string(line.substr(before.size(), line.size() - before.size() - after.size()));
}

bool isExampleHostName(std::string_view name) {
    const bool plainCharacters = std::ranges::all_of(name, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
    });
    return plainCharacters && (name.ends_with(".example") || name.ends_with(".example.com") ||
                               name.ends_with(".example.org") || name.ends_with(".example.net"));
}

TEST(DefaultHostsContent, IsTheNineteenFixedLinesByteForByte) {
    const std::string_view content = defaultHostsContent();
    const auto lines = linesOf(content);
    ASSERT_EQ(lines.size(), 19u);
    const auto first = exampleHostName(lines[15], "# 102.54.94.97 ", " # source server");
    const auto second = exampleHostName(lines[16], "# 38.25.63.10 ", " # x client host");
    EXPECT_TRUE(isExampleHostName(first)) << first;
    EXPECT_TRUE(isExampleHostName(second)) << second;

    const std::string expectedLines[] = {
        "# Copyright (c) 1993-1999 Microsoft Corp.",
        "#",
        "# This is a sample HOSTS file used by Microsoft TCP/IP for Windows.",
        "#",
        "# This file contains the mappings of IP addresses to host names. Each",
        "# entry should be kept on an individual line. The IP address should",
        "# be placed in the first column followed by the corresponding host name.",
        "# The IP address and the host name should be separated by at least one",
        "# space.",
        "#",
        "# Additionally, comments (such as these) may be inserted on individual",
        "# lines or following the machine name denoted by a '#' symbol.",
        "#",
        "# For example:",
        "#",
        "# 102.54.94.97 " + first + " # source server",
        "# 38.25.63.10 " + second + " # x client host",
        "",
        "127.0.0.1 localhost",
    };
    std::string expected;
    for (const auto& line : expectedLines) {
        expected.append(line).append("\r\n");
    }
    EXPECT_EQ(content, expected);
    EXPECT_EQ(content.size(), 663 + first.size() + second.size());
    EXPECT_EQ(std::ranges::count(content, '\r'), 19);
    EXPECT_EQ(std::ranges::count(content, '\n'), 19);
    EXPECT_TRUE(std::ranges::all_of(content, [](char c) { return c > 0 && c < 0x7f; }));
    for (const std::string_view forbidden : {"\t", "  ", " \r\n"}) {
        EXPECT_EQ(content.find(forbidden), std::string_view::npos) << forbidden;
    }
}

class OnlySystemHostsFile : public testing::TestWithParam<std::string> {};

TEST_P(OnlySystemHostsFile, IsBackedUpByteForByteAndRewritten) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, GetParam()}});
    bench.press();

    EXPECT_EQ(bench.bytesOf(kSystemBackup), GetParam());
    EXPECT_EQ(bench.bytesOf(kSystemHosts), defaultHostsContent());
    EXPECT_EQ(bench.fileContents().size(), 2u);
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

std::string longHostsFile() {
    std::string content;
    for (int i = 0; i < 5000; ++i) {
        content += "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " anuncio" +
                   std::to_string(i) + ".example\r\n";
    }
    return content;
}

INSTANTIATE_TEST_SUITE_P(Contents, OnlySystemHostsFile,
                         testing::Values(kHijackedHosts, longHostsFile(), std::string(),
                                         "\0\xff\xfe\xc3\x28 nul\0\r\n"s,
                                         std::string(defaultHostsContent()) + "10.6.6.6 x\r\n"));

TEST(HostsPhase, WithoutHostsFilesCreatesNothingAndStillReports) {
    RepairBench bench;
    bench.press();
    EXPECT_TRUE(bench.fileContents().empty());
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

std::ptrdiff_t callIndex(const fake::FakePlatform& platform, std::string_view operation,
                         std::wstring_view target) {
    const auto found = std::ranges::find_if(platform.calls, [&](const fake::RecordedCall& call) {
        return call.operation == operation && call.target == target;
    });
    return found == platform.calls.end() ? -1 : found - platform.calls.begin();
}

TEST(HostsPhase, BothHostsFilesAreBackedUpThenRewrittenSystemPairFirst) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}, {kWindowsHosts, kOtherHosts}});
    bench.press();

    EXPECT_EQ(bench.bytesOf(kSystemBackup), kHijackedHosts);
    EXPECT_EQ(bench.bytesOf(kWindowsBackup), kOtherHosts);
    EXPECT_EQ(bench.bytesOf(kSystemHosts), defaultHostsContent());
    EXPECT_EQ(bench.bytesOf(kWindowsHosts), defaultHostsContent());
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));

    const auto systemCopy = callIndex(bench.platform, "CopyFileOver", kSystemBackup);
    const auto windowsCopy = callIndex(bench.platform, "CopyFileOver", kWindowsBackup);
    const auto systemRewrite = callIndex(bench.platform, "ReplaceFileContent", kSystemHosts);
    const auto windowsRewrite = callIndex(bench.platform, "ReplaceFileContent", kWindowsHosts);
    EXPECT_GE(systemCopy, 0);
    EXPECT_LT(systemCopy, windowsCopy);
    EXPECT_LT(windowsCopy, systemRewrite);
    EXPECT_LT(systemRewrite, windowsRewrite);
}

// A HOSTS file an administrator hardened keeps its hardening through the run
// and the undo, and the registry backup is for administrators' eyes only.
TEST(HostsPhase, HardenedHostsStaysHardenedAndTheRegistryBackupIsPrivate) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    constexpr std::string_view kHardened = "read-only for everyone";
    bench.platform.files.protect(kSystemHosts, kHardened);
    bench.press();
    EXPECT_EQ(bench.platform.files.file(kSystemHosts)->protection, kHardened);
    EXPECT_EQ(bench.platform.files.file(kRegistryBackup)->protection,
              fake::FakeFile::kAdministratorsOnly);

    bench.undo();
    EXPECT_EQ(bench.platform.files.file(kSystemHosts)->protection, kHardened);
}

class ProtectedFiles : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ProtectedFiles, AreBackedUpRewrittenAndLeftNormal) {
    RepairBench bench;
    bench.addFiles(
        {{kSystemHosts, kHijackedHosts, GetParam()}, {kSystemBackup, kEarlierBackup, GetParam()}});
    bench.press();

    const auto hosts = bench.platform.files.file(kSystemHosts);
    const auto backup = bench.platform.files.file(kSystemBackup);
    ASSERT_TRUE(hosts && backup);
    EXPECT_EQ(hosts->bytes, defaultHostsContent());
    EXPECT_EQ(backup->bytes, kHijackedHosts);
    EXPECT_EQ(hosts->attributes, 0u);
    EXPECT_EQ(backup->attributes, 0u);
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

INSTANTIATE_TEST_SUITE_P(Attributes, ProtectedFiles,
                         testing::Values(fake::kReadOnly, fake::kHidden, fake::kSystem,
                                         fake::kReadOnly | fake::kHidden | fake::kSystem));

TEST(HostsPhase, HostsFileAlreadyCleanKeepsItsEarlierBackup) {
    RepairBench bench;
    bench.addFiles(
        {{kSystemHosts, std::string(defaultHostsContent())}, {kSystemBackup, kEarlierBackup}});
    bench.press();
    EXPECT_EQ(bench.bytesOf(kSystemBackup), kEarlierBackup);
    EXPECT_EQ(bench.bytesOf(kSystemHosts), defaultHostsContent());
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

TEST(HostsPhase, FailedBackupLeavesThatHostsFileAsItWas) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts},
                    {kWindowsHosts, kOtherHosts},
                    {kSystemBackup, kEarlierBackup}});
    bench.failExactly("CopyFileOver", kSystemBackup, errc(std::errc::permission_denied));
    bench.press();

    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
    EXPECT_EQ(bench.bytesOf(kSystemBackup), kEarlierBackup);
    EXPECT_EQ(bench.bytesOf(kWindowsHosts), defaultHostsContent());
    EXPECT_EQ(bench.bytesOf(kWindowsBackup), kOtherHosts);
    ASSERT_TRUE(reportsRun(bench, ForumSiteUrl, 2));
    EXPECT_TRUE(bench.errorLines()[0].starts_with(errorLineStart(kSystemBackup)));
    EXPECT_TRUE(bench.errorLines()[1].starts_with(errorLineStart(kSystemHosts)));
}

TEST(HostsPhase, LockedHostsFileKeepsItsContentAndIsReported) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.platform.files.lock(kSystemHosts);
    bench.press();

    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
    ASSERT_GE(bench.errorLines().size(), 1u);
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, bench.errorLines().size()));
    EXPECT_TRUE(bench.errorLines().back().starts_with(errorLineStart(kSystemHosts)));
}

// The HOSTS file exists, yet its backup copy reports "not found": the file is
// left unrepaired and the user must be told.
TEST(HostsPhase, BackupCopyFailingWithNotFoundIsReported) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.failExactly("CopyFileOver", kSystemBackup, errc(std::errc::no_such_file_or_directory));
    bench.press();

    EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts);
    ASSERT_TRUE(reportsRun(bench, ForumSiteUrl, 2));
    EXPECT_TRUE(bench.errorLines()[0].starts_with(errorLineStart(kSystemBackup)));
    EXPECT_TRUE(bench.errorLines()[1].starts_with(errorLineStart(kSystemHosts)));
}

// A second run over a clean HOSTS file whose content cannot be read back:
// the backup from the first run holds the user's only copy and must survive.
TEST(HostsPhase, UnreadableCleanHostsFileKeepsTheEarlierBackup) {
    for (const auto error : {std::errc::permission_denied, std::errc::device_or_resource_busy,
                             std::errc::no_such_file_or_directory}) {
        RepairBench bench;
        bench.addFiles({{kSystemHosts, kHijackedHosts}});
        bench.press();
        bench.failExactly("FileHasContent", kSystemHosts, errc(error));
        bench.press();
        bench.undo();
        EXPECT_EQ(bench.bytesOf(kSystemBackup), kHijackedHosts) << errc(error).message();
        EXPECT_EQ(bench.bytesOf(kSystemHosts), kHijackedHosts) << errc(error).message();
    }
}

// Docker Desktop's block and an advertising list beside a bank sent elsewhere,
// with the line ends, blanks and comments a person's editing leaves.
const std::string kBankBesideTheUsersOwn =
    "# Added by Docker Desktop\r\n192.168.1.20 host.docker.internal\r\n"
    "127.0.0.1 kubernetes.docker.internal\r\n# End of section\r\n\r\n"
    "0.0.0.0 anuncios.example\n\t10.6.6.6   www.banco.example # banco\r\n"
    "0.0.0.0 rastreo.example";
const std::string kTheUsersOwnAlone =
    "# Added by Docker Desktop\r\n192.168.1.20 host.docker.internal\r\n"
    "127.0.0.1 kubernetes.docker.internal\r\n# End of section\r\n\r\n"
    "0.0.0.0 anuncios.example\n0.0.0.0 rastreo.example";

TEST(HostsEntryRemoval, TakesOutOnlyTheRedirectUntilTheUndoPutsItBack) {
    RepairBench bench;
    bench.hostsRepair = HostsRepair::RemoveCountingEntries;
    bench.addFiles({{kSystemHosts, kBankBesideTheUsersOwn}});
    bench.press();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kTheUsersOwnAlone);
    EXPECT_EQ(bench.bytesOf(kSystemBackup), kBankBesideTheUsersOwn);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"Entrada quitada del Archivo Hosts: " +
                                                 std::wstring(kSystemHosts) +
                                                 L": 10.6.6.6 www.banco.example"));
    EXPECT_EQ(bench.check(), RunOutcome::Done);

    bench.undo();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kBankBesideTheUsersOwn);
}

TEST(HostsEntryRemoval, LeavesAFileWhereNothingCountsAndItsEarlierBackup) {
    RepairBench bench;
    bench.hostsRepair = HostsRepair::RemoveCountingEntries;
    bench.addFiles({{kSystemHosts, kTheUsersOwnAlone}, {kSystemBackup, kEarlierBackup}});
    bench.press();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kTheUsersOwnAlone);
    EXPECT_EQ(bench.bytesOf(kSystemBackup), kEarlierBackup);
    EXPECT_EQ(callIndex(bench.platform, "ReplaceFileContent", kSystemHosts), -1);
}

// The bank's name on the person's allow list: its line stays, does not
// count, and the check says it is allowed; another name on it still counts.
TEST(HostsEntryRemoval, KeepsALineWhoseCountingNamesTheAllowListNames) {
    RepairBench bench;
    bench.hostsRepair = HostsRepair::RemoveCountingEntries;
    bench.allowFile = L"C:\\Listas\\permitidos.txt";
    bench.addFiles(
        {{kSystemHosts, kBankBesideTheUsersOwn}, {bench.allowFile, "hosts WWW.banco.example\n"}});
    bench.press();
    EXPECT_EQ(bench.bytesOf(kSystemHosts), kBankBesideTheUsersOwn);
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"permitido por la lista"));

    bench.addFiles({{kSystemHosts, "10.6.6.6 www.banco.example otro.example\n"}});
    EXPECT_EQ(bench.check(), RunOutcome::RepairNeeded);
}

}  // namespace
}  // namespace tovask::test
