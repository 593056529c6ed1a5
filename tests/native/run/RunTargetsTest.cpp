#include "repair/plan/RegistryPlan.h"
#include "tests/native/FaultMatrix.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kAdministrator = L"S-1-5-21-1004336348-1177238915-682003330-500";
constexpr std::wstring_view kDesktopUser = L"S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr std::wstring_view kStartPageBelowHive =
    L"\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";

struct DesktopCase {
    std::string name;
    std::optional<std::wstring> desktopUser;  // none: no shell window
    std::wstring expectedHive;

    friend void PrintTo(const DesktopCase& desktop, std::ostream* out) { *out << desktop.name; }
};

class DesktopUser : public testing::TestWithParam<DesktopCase> {};

TEST_P(DesktopUser, UserRowsGoToTheirHiveAndTheUndoFollows) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.platform.programUserSid = kAdministrator;
    bench.platform.desktopUserSid = GetParam().desktopUser;
    const auto desktopHive = L"HKU\\" + std::wstring(kDesktopUser);
    bench.platform.registry.addKeysEveryWindowsHas(desktopHive);
    bench.platform.registry.write(desktopHive + std::wstring(kStartPageBelowHive),
                                  L"http://secuestro.example", RegistryType::String);
    const auto before = bench.platform.registry.state();
    bench.press();

    const auto stored =
        bench.platform.registry.value(GetParam().expectedHive + std::wstring(kStartPageBelowHive));
    ASSERT_TRUE(stored);
    EXPECT_EQ(std::get<std::wstring>(stored->data), L"www.pagina.example");
    const bool toDesktopHive = GetParam().expectedHive == desktopHive;
    const auto own = bench.platform.registry.value(L"HKCU" + std::wstring(kStartPageBelowHive));
    EXPECT_EQ(std::get<std::wstring>(own->data) == L"www.pagina.example", !toDesktopHive);
    const auto backup = bench.platform.files.file(kRegistryBackup);
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->bytes.find(toUtf16LeBytes(L"[HKEY_USERS\\" + std::wstring(kDesktopUser))) !=
                  std::string::npos,
              toDesktopHive);
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.state() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Users, DesktopUser,
    testing::Values(DesktopCase{"AnotherUsersDesktop", std::wstring(kDesktopUser),
                                L"HKU\\" + std::wstring(kDesktopUser)},
                    DesktopCase{"OwnDesktop", std::wstring(kAdministrator), L"HKCU"},
                    DesktopCase{"NoShell", std::nullopt, L"HKCU"}),
    [](const auto& info) { return info.param.name; });

RegistryValue folderValue(std::uint32_t type, std::wstring_view folder) {
    auto value = stringValue(folder);
    value.type = type;
    return value;
}

struct FolderCase {
    std::string name;
    std::optional<RegistryValue> seeded;
    bool putBack;

    friend void PrintTo(const FolderCase& folder, std::ostream* out) { *out << folder.name; }
};

class HostsFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(HostsFolder, OnlyAnotherFolderIsPutBackAndTheUndoRestoresIt) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    const std::wstring path(kHostsFolderStep.path);
    const auto keyPath = path.substr(0, path.rfind(L'\\') + 1);
    if (GetParam().seeded) {
        bench.platform.registry.writeRaw(keyPath, L"DataBasePath", *GetParam().seeded,
                                         RegistryView::Default);
    }
    const auto before = bench.platform.registry.state();
    bench.press();

    const auto after = bench.platform.registry.readValue(path, RegistryView::Default);
    if (GetParam().putBack) {
        EXPECT_EQ(after.value(),
                  folderValue(regtype::kExpandString, L"%SystemRoot%\\System32\\drivers\\etc"));
    } else if (GetParam().seeded) {
        EXPECT_EQ(after.value(), *GetParam().seeded);
    } else {
        EXPECT_TRUE(isNotFound(after.error()));
    }
    EXPECT_TRUE(reportsRun(bench, matrix::kTypedPage, 0));
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.state() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HostsFolder,
    testing::Values(
        FolderCase{"Redirected", folderValue(regtype::kExpandString, L"C:\\malo\\etc"), true},
        FolderCase{"NotText", RegistryValue{regtype::kDword, {1, 0, 0, 0}}, true},
        FolderCase{"DefaultUnexpanded",
                   folderValue(regtype::kExpandString, L"%SystemRoot%\\System32\\drivers\\etc"),
                   false},
        FolderCase{"ExpandedOtherCaseTrailingBackslash",
                   folderValue(regtype::kString, L"c:\\windows\\SYSTEM32\\Drivers\\ETC\\"), false},
        FolderCase{"Absent", std::nullopt, false}),
    [](const auto& info) { return info.param.name; });

TEST(HostsFolder, UnreadableIsReportedAndTheRestOfTheRunGoesOn) {
    RepairBench bench;
    bench.failExactly("RegReadValue", kHostsFolderStep.path, errc(std::errc::permission_denied));
    bench.press();
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kHostsFolderStep.path));
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 1));
}

TEST(LocalPage, EachViewGetsTheBlankPageOfItsOwnSystemFolder) {
    RepairBench bench;
    bench.platform.registry.twoViews = true;
    bench.press();
    const auto path = L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Local Page";
    EXPECT_EQ(bench.platform.registry.readValue(path, RegistryView::Bits32).value(),
              stringValue(L"C:\\WINDOWS\\SysWOW64\\blank.htm"));
    EXPECT_EQ(bench.platform.registry.readValue(path, RegistryView::Bits64).value(),
              stringValue(L"C:\\WINDOWS\\System32\\blank.htm"));
}

struct FlushCase {
    std::string name;
    std::vector<SeededFile> files;
    int flushes;

    friend void PrintTo(const FlushCase& flush, std::ostream* out) { *out << flush.name; }
};

class ResolverCache : public testing::TestWithParam<FlushCase> {};

TEST_P(ResolverCache, IsFlushedOnlyWhenAHostsFileChanged) {
    RepairBench bench;
    bench.addFiles(GetParam().files);
    bench.press();
    EXPECT_EQ(bench.platform.dnsCacheFlushes, GetParam().flushes);
    bench.undo();
    EXPECT_EQ(bench.platform.dnsCacheFlushes, 2 * GetParam().flushes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ResolverCache,
    testing::Values(
        FlushCase{"HijackedHosts", {{kSystemHosts, kHijackedHosts}}, 1},
        FlushCase{
            "BothHijacked", {{kSystemHosts, kHijackedHosts}, {kWindowsHosts, kOtherHosts}}, 1},
        FlushCase{"AlreadyDefault", {{kSystemHosts, std::string(defaultHostsContent())}}, 0},
        FlushCase{"NoHostsFile", {}, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ResolverCache, FailedFlushIsOneErrorLineOfTheRunAndOfTheUndo) {
    RepairBench bench;
    bench.addFiles({{kSystemHosts, kHijackedHosts}});
    bench.platform.failWhere("FlushDnsCache", L"", errc(std::errc::operation_not_permitted));
    bench.press();
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, L"caché de resolución DNS"));
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 1));

    bench.undo();
    EXPECT_EQ(bench.errorLines().size(), 1u);
    EXPECT_TRUE(lastNoticeIs(bench.view, L"Cambios deshechos con errores. Operaciones fallidas: 1",
                             NoticeKind::Warning, kFinished));
}

}  // namespace
}  // namespace tovask::test
