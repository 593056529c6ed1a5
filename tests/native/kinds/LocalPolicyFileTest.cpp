#include <gtest/gtest.h>

#include "repair/grouppolicy/LocalPolicyFiles.h"
#include "repair/grouppolicy/PolicyFileFormat.h"
#include "repair/grouppolicy/PolicyFileLocks.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

const std::string kHeader("PReg\x01\x00\x00\x00", 8);
constexpr std::wstring_view kChrome = L"Software\\Policies\\Google\\Chrome";
constexpr std::wstring_view kForcelist =
    L"Software\\Policies\\Google\\Chrome\\ExtensionInstallForcelist";

std::string entry(std::wstring_view key, std::wstring_view name, const RegistryValue& value) {
    return policyEntryBytes(key, name, value);
}

const std::string kForcedExtension =
    entry(kForcelist, L"1", stringValue(L"aaaabbbbccccddddeeeeffffgggghhhh;https://x.example/u"));
const std::string kSearch = entry(kChrome, L"DefaultSearchProviderSearchURL",
                                  stringValue(L"https://buscar.example/?q={searchTerms}"));
const std::string kNotALock = entry(kChrome, L"IncognitoModeAvailability", dwordValue(1));
const std::string kOtherSoftware = entry(L"Software\\Policies\\Microsoft\\Windows\\WindowsUpdate",
                                         L"WUServer", stringValue(L"http://wsus.example"));
const std::string kDeleteMarker = entry(kForcelist, L"**delvals.", stringValue(L" "));

// A file's bytes with one part replaced, for the hostile ones.
std::string with(std::string bytes, std::size_t at, std::string_view part) {
    return bytes.replace(at, part.size(), part);
}

struct ReadCase {
    std::string name;
    std::string bytes;
    std::variant<std::size_t, PolicyFileFault> expected;  // entries read, or the fault
    // So many one-byte entries after the header, made when the case runs:
    // every process of the suite copies its table's cases as it starts.
    std::size_t tinyEntries = 0;

    friend void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }
};

class PolicyFileReading : public testing::TestWithParam<ReadCase> {};

const std::string kOneEntry = kHeader + kNotALock;
// The type number sits after "[", the key, its NUL, ";", the name, its NUL, ";".
const std::size_t kTypeAt = 8 + 2 + (kChrome.size() + 1) * 2 + 2 +
                            (std::wstring_view(L"IncognitoModeAvailability").size() + 1) * 2 + 2;
const std::size_t kSizeAt = kTypeAt + 4 + 2;

std::string tinyEntries(std::size_t count) {
    const auto tiny = entry(L"", L"", {regtype::kNone, {}});
    std::string bytes = kHeader;
    bytes.reserve(bytes.size() + tiny.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes += tiny;
    }
    return bytes;
}

TEST_P(PolicyFileReading, ReadsEntriesOrRefusesTheFile) {
    const auto read = readPolicyFile(
        GetParam().tinyEntries > 0 ? tinyEntries(GetParam().tinyEntries) : GetParam().bytes);
    if (const auto* count = std::get_if<std::size_t>(&GetParam().expected)) {
        ASSERT_TRUE(std::holds_alternative<std::vector<PolicyFileEntry>>(read));
        EXPECT_EQ(std::get<std::vector<PolicyFileEntry>>(read).size(), *count);
    } else {
        ASSERT_TRUE(std::holds_alternative<PolicyFileProblem>(read));
        EXPECT_EQ(std::get<PolicyFileProblem>(read).fault,
                  std::get<PolicyFileFault>(GetParam().expected));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, PolicyFileReading,
    testing::Values(
        ReadCase{"HeaderAlone", kHeader, std::size_t{0}},
        ReadCase{"Entries", kHeader + kNotALock + kForcedExtension + kDeleteMarker, std::size_t{3}},
        ReadCase{"OddSizedBinaryThenAnother", kHeader + entry(kChrome, L"b", {regtype::kBinary, {1, 2, 3}}) + kNotALock, std::size_t{2}},
        ReadCase{"Empty", "", PolicyFileFault::NoHeader},
        ReadCase{"OtherSignature", "PRef\x01\x00\x00\x00", PolicyFileFault::NoHeader},
        ReadCase{"OtherVersion", std::string("PReg\x02\x00\x00\x00", 8), PolicyFileFault::OtherVersion},
        ReadCase{"TruncatedInAName", kOneEntry.substr(0, 20), PolicyFileFault::Truncated},
        ReadCase{"OddLength", kOneEntry + "x", PolicyFileFault::Truncated},
        ReadCase{"DataPastTheEnd", with(kOneEntry, kSizeAt, std::string("\x00\x00\x01\x00", 4)), PolicyFileFault::Truncated},
        ReadCase{"SizeNearFourGigabytes", with(kOneEntry, kSizeAt, "\xfc\xff\xff\xff"), PolicyFileFault::Truncated},
        ReadCase{"NoClosingBracket", kOneEntry.substr(0, kOneEntry.size() - 2) + ")" + std::string(1, '\0'), PolicyFileFault::Malformed},
        ReadCase{"GarbageBetweenEntries", kOneEntry + std::string("\0\0", 2) + kNotALock, PolicyFileFault::Malformed},
        ReadCase{"UnknownType", with(kOneEntry, kTypeAt, std::string("\x63\x00\x00\x00", 4)), PolicyFileFault::WrongType},
        ReadCase{"DwordOfTwoBytes", kHeader + entry(kChrome, L"d", {regtype::kDword, {1, 0}}), PolicyFileFault::WrongType},
        ReadCase{"TextOfOddSize", kHeader + entry(kChrome, L"s", {regtype::kString, {'a', 0, 0}}), PolicyFileFault::WrongType},
        ReadCase{"NameLongerThanTheRegistryAllows", kHeader + entry(kChrome, std::wstring(16384, L'n'), dwordValue(1)), PolicyFileFault::Malformed},
        ReadCase{"EntriesInTheMillions", "", PolicyFileFault::TooManyEntries, 1'200'000}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });
// clang-format on

struct RemovalCase {
    std::string name;
    std::string file;
    std::size_t locks;
    std::string repaired;

    friend void PrintTo(const RemovalCase& c, std::ostream* out) { *out << c.name; }
};

class PolicyFileLockRemoval : public testing::TestWithParam<RemovalCase> {};

TEST_P(PolicyFileLockRemoval, RemovesTheLocksAndKeepsEveryOtherByte) {
    const auto& row = GetParam();
    const auto entries = std::get<std::vector<PolicyFileEntry>>(readPolicyFile(row.file));
    const auto locks = findPolicyFileLocks(entries);
    EXPECT_EQ(locks.size(), row.locks);
    const auto repaired = withoutPolicyFileLocks(row.file, entries, locks);
    EXPECT_EQ(repaired, row.repaired);
    EXPECT_TRUE(
        findPolicyFileLocks(std::get<std::vector<PolicyFileEntry>>(readPolicyFile(repaired)))
            .empty());
}

const std::wstring kBlocked = LR"({"*":{"installation_mode":"blocked"}})";
const std::wstring kForcedAndBlocked =
    LR"({"aaaabbbbccccddddeeeeffffgggghhhh":{"installation_mode":"force_installed","update_url":"https://x.example/u"},"*":{"installation_mode":"blocked"}})";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, PolicyFileLockRemoval,
    testing::Values(
        RemovalCase{"ForcedExtensionAndSearchAmongOthers",
                    kHeader + kOtherSoftware + kDeleteMarker + kForcedExtension + kNotALock + kSearch, 2,
                    kHeader + kOtherSoftware + kDeleteMarker + kNotALock},
        RemovalCase{"ListNumberedAgain",
                    kHeader + kForcedExtension + entry(kForcelist, L"2", stringValue(L"x")) + kNotALock, 2,
                    kHeader + kNotALock},
        RemovalCase{"ExtensionSettingsKeepsItsOtherEntries",
                    kHeader + entry(kChrome, L"ExtensionSettings", stringValue(kForcedAndBlocked)) + kNotALock, 1,
                    kHeader + entry(kChrome, L"ExtensionSettings", stringValue(kBlocked)) + kNotALock},
        RemovalCase{"ExplorerControlPanelAndWhatIsLeftOfIt",
                    kHeader + entry(L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel", L"HomePage", dwordValue(1)) +
                        entry(L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel", L"**del.Proxy", stringValue(L" ")) + kNotALock, 1,
                    kHeader + entry(L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel", L"**del.Proxy", stringValue(L" ")) + kNotALock},
        RemovalCase{"SoftEntryWrittenWhenMissing",
                    kHeader + entry(kChrome, L"**soft.DefaultSearchProviderSearchURL", stringValue(L"https://buscar.example/")) + kNotALock, 1,
                    kHeader + kNotALock},
        RemovalCase{"SoftListEntryInAnyCase",
                    kHeader + entry(kForcelist, L"**SOFT.1", stringValue(L"aaaabbbbccccddddeeeeffffgggghhhh")) + kOtherSoftware, 1,
                    kHeader + kOtherSoftware},
        RemovalCase{"VivaldisHomepage",
                    kHeader + entry(L"Software\\Policies\\Vivaldi", L"HomepageLocation", stringValue(L"https://x.example/")) + kNotALock, 1,
                    kHeader + kNotALock},
        RemovalCase{"NoLock", kHeader + kNotALock + kOtherSoftware, 0, kHeader + kNotALock + kOtherSoftware}),
    [](const testing::TestParamInfo<RemovalCase>& info) { return info.param.name; });
// clang-format on

struct VersionCase {
    std::string name;
    std::string gptIni;
    std::uint32_t step;
    std::optional<std::string> raised;

    friend void PrintTo(const VersionCase& c, std::ostream* out) { *out << c.name; }
};

class PolicyVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(PolicyVersion, IsRaisedAsTheEditorDoes) {
    EXPECT_EQ(withVersionRaised(GetParam().gptIni, GetParam().step), GetParam().raised);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, PolicyVersion,
    testing::Values(
        VersionCase{"Machine", "[General]\r\ngPCFunctionalityVersion=2\r\nVersion=3\r\n", 1, "[General]\r\ngPCFunctionalityVersion=2\r\nVersion=4\r\n"},
        VersionCase{"UserAnyCase", "[General]\r\nversion=65539\r\n", 0x10000, "[General]\r\nversion=131075\r\n"},
        VersionCase{"NoVersion", "[General]\r\n", 1, std::nullopt},
        VersionCase{"NotANumber", "[General]\r\nVersion=x\r\n", 1, std::nullopt}),
    [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });
// clang-format on

// A 32-bit program on a 64-bit Windows reaches the real System32 through Sysnative.
constexpr std::wstring_view kMachineFile =
    L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\Machine\\Registry.pol";
constexpr std::wstring_view kUserFile =
    L"C:\\WINDOWS\\Sysnative\\GroupPolicyUsers\\S-1-5-21-1-2-3-1001\\User\\Registry.pol";
constexpr std::wstring_view kGptIni = L"C:\\WINDOWS\\Sysnative\\GroupPolicy\\gpt.ini";
const std::string kGptIniText = "[General]\r\nVersion=65537\r\n";

// The registry holds what Windows applied from the machine's file: the file
// loses the lock before the policy refresh, which would otherwise put it back.
TEST(LocalPolicyFiles, CheckRepairCheckAndUndoPutTheFilesBack) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    bench.platform.RegWrite(L"HKLM\\" + std::wstring(kForcelist) + L"\\1",
                            L"aaaabbbbccccddddeeeeffffgggghhhh;https://x.example/u",
                            RegistryType::String);
    const auto machineFile = kHeader + kForcedExtension + kNotALock;
    const auto userFile = kHeader + kSearch;
    bench.addFiles({{kMachineFile, machineFile}, {kUserFile, userFile}, {kGptIni, kGptIniText}});
    // The 32-bit System32 holds another, which this program must not take for the machine's.
    bench.addFiles({{L"C:\\WINDOWS\\system32\\GroupPolicy\\Machine\\Registry.pol", "x"}});
    bench.load();
    bench.view.repairFindings = true;
    ASSERT_EQ(bench.check(), RunOutcome::RepairNeeded);
    EXPECT_TRUE(anyLineHas(bench.view.lines, std::wstring(kMachineFile) + L"\\" +
                                                 std::wstring(kForcelist) + L"\\1 = "));
    bench.press();
    EXPECT_TRUE(bench.errorLines().empty());
    const auto& calls = bench.platform.calls;
    const auto rewritten = std::ranges::find_if(calls, [](const fake::RecordedCall& call) {
        return call.operation == "ReplaceFileContent" && call.target == kMachineFile;
    });
    EXPECT_LT(rewritten, std::ranges::find(calls, "RefreshPolicy", &fake::RecordedCall::operation));
    EXPECT_EQ(bench.bytesOf(kMachineFile), kHeader + kNotALock);
    EXPECT_EQ(bench.bytesOf(kUserFile), kHeader);
    EXPECT_EQ(bench.bytesOf(kGptIni), "[General]\r\nVersion=65538\r\n");
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    bench.undo();
    EXPECT_EQ(bench.bytesOf(kMachineFile), machineFile);
    EXPECT_EQ(bench.bytesOf(kUserFile), userFile);
    EXPECT_EQ(bench.bytesOf(kGptIni), kGptIniText);
}

TEST(LocalPolicyFiles, AFileThatIsNotAPolicyFileIsAFailureAndTheOthersAreRead) {
    fake::FakePlatform platform;
    platform.files.addFile(kMachineFile, "PReg");
    platform.files.addFile(kUserFile, kHeader + kSearch);
    FailureLog failures(platform);
    const auto found = findLocalPolicyFiles(platform, failures);
    ASSERT_EQ(found.withLocks.size(), 1u);
    EXPECT_EQ(found.withLocks[0].path, kUserFile);
    ASSERT_EQ(failures.entries().size(), 1u);
    ASSERT_EQ(found.unread.size(), 1u);
    EXPECT_EQ(found.unread[0].path, kMachineFile);
    EXPECT_EQ(found.unread[0].hives, PolicyHives::Machine);
}

enum class FileFault { NotAPolicyFile, ReadRefused, RewriteRefused };

struct StayingFileCase {
    std::string name;
    std::wstring_view file;
    FileFault fault;
    bool putsBackTheMachinesLock;

    friend void PrintTo(const StayingFileCase& c, std::ostream* out) { *out << c.name; }
};

class StayingPolicyFile : public testing::TestWithParam<StayingFileCase> {};

// Windows may still apply a file this program could not read or rewrite.
TEST_P(StayingPolicyFile, KeepsTheLockItPutsBackFromBeingSaidRemoved) {
    const auto& row = GetParam();
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    const auto lock = std::wstring(kChrome) + L"\\DefaultSearchProviderSearchURL";
    bench.platform.RegWrite(L"HKLM\\" + lock, L"https://buscar.example/?q={searchTerms}",
                            RegistryType::String);
    bench.addFiles(
        {{row.file, row.fault == FileFault::NotAPolicyFile ? "PReg" : kHeader + kSearch}});
    const auto refused = errc(std::errc::permission_denied);
    if (row.fault == FileFault::ReadRefused) {
        bench.failExactly("ReadFileContent", row.file, refused);
    } else if (row.fault == FileFault::RewriteRefused) {
        bench.failExactly("ReplaceFileContent", row.file, refused);
    }
    bench.view.repairFindings = true;
    EXPECT_EQ(bench.press(), RunOutcome::DoneWithFailures);
    const auto& lines = bench.view.lines;
    EXPECT_EQ(saysOf(lines, L"Bloqueo quitado: ", L"HKEY_LOCAL_MACHINE\\" + lock),
              !row.putsBackTheMachinesLock);
    EXPECT_EQ(anyLineHas(lines,
                         L"Bloqueo que vuelve a poner una directiva local: "
                         L"HKEY_LOCAL_MACHINE\\" +
                             lock + L"; lo vuelve a poner " + std::wstring(row.file)),
              row.putsBackTheMachinesLock);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, StayingPolicyFile,
    testing::Values(
        StayingFileCase{"MachinesNotAPolicyFile", kMachineFile, FileFault::NotAPolicyFile, true},
        StayingFileCase{"MachinesUnreadable", kMachineFile, FileFault::ReadRefused, true},
        StayingFileCase{"MachinesNotRewritten", kMachineFile, FileFault::RewriteRefused, true},
        StayingFileCase{"UsersNotAPolicyFile", kUserFile, FileFault::NotAPolicyFile, false}),
    [](const testing::TestParamInfo<StayingFileCase>& info) { return info.param.name; });
// clang-format on

// Without Sysnative, as on a 32-bit Windows, System32 is the real one.
TEST(LocalPolicyFiles, AreReadFromSystem32WithoutTheAliasAndReportOnlyWhenManaged) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    const std::wstring machineFile = L"C:\\WINDOWS\\system32\\GroupPolicy\\Machine\\Registry.pol";
    bench.addFiles({{machineFile, kHeader + kSearch}});
    bench.platform.machineJoin = {true, false};
    bench.load();
    bench.view.repairFindings = true;
    EXPECT_EQ(bench.check(), RunOutcome::Done);
    EXPECT_TRUE(anyLineHas(bench.view.lines, machineFile + L"\\" + std::wstring(kChrome) +
                                                 L"\\DefaultSearchProviderSearchURL = "));
    bench.press();
    EXPECT_EQ(bench.bytesOf(machineFile), kHeader + kSearch);
}

struct PathCase {
    std::string name;
    std::wstring path;
    bool owned;

    friend void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }
};

class LocalPolicyFilePaths : public testing::TestWithParam<PathCase> {};

TEST_P(LocalPolicyFilePaths, AreTheOnlyOnesItsFileBackupsName) {
    EXPECT_EQ(isLocalPolicyFilePath(GetParam().path), GetParam().owned);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Paths, LocalPolicyFilePaths,
    testing::Values(
        PathCase{"MachineFile", std::wstring(kMachineFile), true},
        PathCase{"UserFile", std::wstring(kUserFile), true},
        PathCase{"GptIni", std::wstring(kGptIni), true},
        PathCase{"GroupsGptIniAnyCase", L"C:\\Windows\\System32\\GroupPolicyUsers\\S-1-5-32-545\\GPT.INI", true},
        PathCase{"OtherPolFile", L"C:\\Windows\\System32\\GroupPolicy\\Machine\\Scripts\\x.pol", false},
        PathCase{"GptIniOutsideAPolicyObject", L"C:\\Windows\\System32\\GroupPolicyUsers\\gpt.ini", false},
        PathCase{"OtherIni", L"C:\\Windows\\win.ini", false}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
