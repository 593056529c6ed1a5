#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "tests/native/ExpectedRegistryPlan.h"
#include "tests/win32/HostsFolders.h"
#include "tests/win32/QuietPlatform.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"
#include "tests/win32/TestWindows.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"

namespace tovask {
namespace {

using test::kExpectedPlan;
using test::kHijackedRegistry;
using test::PlanRow;
using test::RowKind;
using testsupport::readValue;
using testsupport::StoredValue;

const std::wstring kStartPage = L"Página de inicio: ";
const std::wstring kRepairSucceeded = L"Internet Explorer desbloqueado exitosamente";

// The lines of a notice that says one thing.
std::vector<std::wstring> oneLine(const std::wstring& text) {
    return {text};
}

// A path of the plan as the system sees it: root, key and value name.
struct Location {
    HKEY root;
    std::wstring key;
    std::wstring name;
};

Location locate(std::wstring_view path) {
    const HKEY root = path.starts_with(L"HKLM\\") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const auto rest = path.substr(5);
    const auto last = rest.rfind(L'\\');
    return {root, std::wstring(rest.substr(0, last)), std::wstring(rest.substr(last + 1))};
}

// The user's keys have one view; the machine's must be right in both.
std::vector<REGSAM> viewsOf(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) {
        return {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
    }
    return {0};
}

// The blank page is the one of each view's own system folder.
StoredValue valueAfterRun(const PlanRow& row, std::wstring_view startPage, REGSAM view = 0,
                          const std::wstring& windowsFolder = {}) {
    if (row.kind == RowKind::WriteLocalPage) {
        return testsupport::stringValue(windowsFolder +
                                        (view == KEY_WOW64_32KEY ? L"\\SysWOW64" : L"\\System32") +
                                        L"\\blank.htm");
    }
    const auto expected = test::expectedValue(row, startPage);
    if (const auto* text = std::get_if<std::wstring>(&expected.data)) {
        return testsupport::stringValue(*text);
    }
    return testsupport::dwordValue(std::get<std::uint32_t>(expected.data));
}

// Everything a key holds: its values by name, and how many subkeys it has.
struct KeyContents {
    std::map<std::wstring, StoredValue> values;
    DWORD subkeys = 0;
    bool operator==(const KeyContents&) const = default;
};

void PrintTo(const KeyContents& contents, std::ostream* out) {
    *out << contents.subkeys << " subkeys, values";
    for (const auto& [name, value] : contents.values) {
        *out << " " << testing::PrintToString(name) << " (";
        testsupport::PrintTo(value, out);
        *out << ")";
    }
}

std::optional<KeyContents> readKey(const Location& key, REGSAM view) {
    win32::RegistryKey opened;
    if (RegOpenKeyExW(key.root, key.key.c_str(), 0, KEY_READ | view, opened.receive()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    KeyContents contents;
    DWORD values = 0;
    DWORD longestName = 0;
    EXPECT_EQ(RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &contents.subkeys, nullptr,
                               nullptr, &values, &longestName, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    for (DWORD index = 0; index < values; ++index) {
        std::wstring name(longestName + 1, L'\0');
        DWORD length = longestName + 1;
        EXPECT_EQ(RegEnumValueW(opened.get(), index, name.data(), &length, nullptr, nullptr,
                                nullptr, nullptr),
                  ERROR_SUCCESS);
        name.resize(length);
        contents.values[name] = readValue(key.root, key.key, name, view).value_or(StoredValue{});
    }
    return contents;
}

// What a key that the plan deletes holds afterwards: what later rows write
// into it, or, when none does, nothing at all because it is gone.
std::optional<KeyContents> contentsAfterRebuild(std::size_t deleteRow,
                                                std::wstring_view startPage) {
    std::optional<KeyContents> rebuilt;
    for (std::size_t later = deleteRow + 1; later < kExpectedPlan.size(); ++later) {
        const auto& row = kExpectedPlan[later];
        if (test::isWrite(row) && row.path.starts_with(kExpectedPlan[deleteRow].path)) {
            rebuilt.emplace().values[locate(row.path).name] = valueAfterRun(row, startPage);
        }
    }
    return rebuilt;
}

// The hijacked state of every seed, in every view of its root.
void seedHijackedRegistry() {
    for (const auto& seed : kHijackedRegistry) {
        const auto where = locate(seed.path);
        for (const REGSAM view : viewsOf(where.root)) {
            testsupport::writeStringDirectly(where.root, where.key, where.name,
                                             std::wstring(seed.text), view);
        }
    }
}

bool reachedByPlan(const test::SeededValue& seed) {
    return std::ranges::any_of(kExpectedPlan,
                               [&](const PlanRow& row) { return test::rowReaches(row, seed); });
}

enum class SeedsKept { All, OutsideThePlan };

void expectSeedsKept(SeedsKept which) {
    for (const auto& seed : kHijackedRegistry) {
        if (which == SeedsKept::OutsideThePlan && reachedByPlan(seed)) {
            continue;
        }
        const auto where = locate(seed.path);
        for (const REGSAM view : viewsOf(where.root)) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(seed.path)));
            EXPECT_EQ(readValue(where.root, where.key, where.name, view),
                      testsupport::stringValue(std::wstring(seed.text)));
        }
    }
}

// Seeds that no row touches are the test's own; nothing else removes them.
void removeUntouchedSeeds() {
    for (const auto& seed : kHijackedRegistry) {
        if (reachedByPlan(seed)) {
            continue;
        }
        const auto where = locate(seed.path);
        for (const REGSAM view : viewsOf(where.root)) {
            win32::RegistryKey opened;
            if (RegOpenKeyExW(where.root, where.key.c_str(), 0, KEY_SET_VALUE | view,
                              opened.receive()) == ERROR_SUCCESS) {
                RegDeleteValueW(opened.get(), where.name.c_str());
            }
        }
    }
}

// Each run may find the registry of the prefix as any earlier test left it:
// the seeds come first, and the run must put every row right regardless.
class RealRegistryRun : public ::testing::Test {
  protected:
    void SetUp() override {
        folders_.pointAt(platform_);
        repair_.loadPaths();
        seedHijackedRegistry();
    }
    void TearDown() override { removeUntouchedSeeds(); }

    testsupport::HostsFolders folders_;
    testsupport::QuietPlatform platform_;
    RecordingView view_;
    BrowserRepair repair_{platform_, view_,
                          [](const FindingsOffer&) { return std::vector<FindingId>{}; }};
};

struct TypedPage {
    std::wstring typed;
    std::wstring stored;

    friend void PrintTo(const TypedPage& page, std::ostream* out) {
        *out << testing::PrintToString(page.typed);
    }
};

class WholeRunOnRealRegistry : public RealRegistryRun,
                               public ::testing::WithParamInterface<TypedPage> {};

TEST_P(WholeRunOnRealRegistry, LeavesEveryRowOfThePlanInEveryViewAndNothingElseChanged) {
    view_.page = GetParam().typed;
    const auto& startPage = GetParam().stored;

    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});

    ASSERT_EQ(view_.notices.size(), 1u);
    EXPECT_EQ(view_.notices[0].lines, oneLine(kRepairSucceeded));
    ASSERT_EQ(view_.lines.size(), 6u) << testing::PrintToString(view_.lines);
    EXPECT_EQ(view_.lines[5], kStartPage + startPage);
    for (std::size_t index = 0; index < kExpectedPlan.size(); ++index) {
        const auto& row = kExpectedPlan[index];
        const auto where = locate(row.path);
        for (const REGSAM view : viewsOf(where.root)) {
            SCOPED_TRACE(testing::Message() << "row " << index + 1 << ", view " << view);
            switch (row.kind) {
                case RowKind::DeleteKey:
                    EXPECT_EQ(readKey(where, view), contentsAfterRebuild(index, startPage));
                    break;
                case RowKind::DeleteValue:
                    EXPECT_EQ(readValue(where.root, where.key, where.name, view), std::nullopt);
                    break;
                default:
                    EXPECT_EQ(readValue(where.root, where.key, where.name, view),
                              valueAfterRun(row, startPage, view, folders_.windows));
            }
        }
    }
    expectSeedsKept(SeedsKept::OutsideThePlan);
}

INSTANTIATE_TEST_SUITE_P(StartPages, WholeRunOnRealRegistry,
                         ::testing::Values(TypedPage{L"", std::wstring(ForumSiteUrl)},
                                           TypedPage{L"http://inicio.example/página?año=1&q=%20",
                                                     L"http://inicio.example/página?año=1&q=%20"}),
                         [](const auto& info) {
                             return info.param.typed.empty() ? "Empty" : "Typed";
                         });

TEST_F(RealRegistryRun, OpenBrowserWindowStopsTheRunBeforeItChangesAnything) {
    const std::string userHosts = "127.0.0.1 propio.example\r\n";
    testsupport::writeBytes(folders_.systemHosts, userHosts);
    const auto filesBefore = folders_.files();
    const testsupport::TestWindowClass frame(L"IEFrame");
    auto browser = frame.createWindow();
    ASSERT_TRUE(browser);
    view_.page = L"http://tecleada.example";

    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});

    ASSERT_EQ(view_.notices.size(), 1u);
    EXPECT_EQ(view_.notices[0].title, L"Aviso");
    EXPECT_EQ(view_.notices[0].kind, NoticeKind::Information);
    EXPECT_TRUE(view_.lines.empty());
    EXPECT_EQ(view_.page, L"http://tecleada.example");
    expectSeedsKept(SeedsKept::All);
    EXPECT_EQ(testsupport::readBytes(folders_.systemHosts), userHosts);
    EXPECT_EQ(folders_.files(), filesBefore);

    // Once the browser is closed the same run goes through; it also takes the
    // seeded hijack out of the prefix's registry again.
    browser.reset();
    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});
    EXPECT_EQ(view_.notices.back().lines, oneLine(kRepairSucceeded));
}

// Everything the plan reaches, in every view: each row's key read whole.
std::vector<std::optional<RegistryKeyContent>> planKeys(PlatformOps& platform) {
    std::vector<std::optional<RegistryKeyContent>> keys;
    for (const auto& row : kExpectedPlan) {
        const auto keyPath = std::wstring(row.path.substr(0, row.path.rfind(L'\\') + 1));
        const auto parsed = parseRegistryPath(keyPath).value();
        for (const auto view : viewsFor(parsed.root, parsed.key, platform.HasTwoRegistryViews())) {
            const auto tree = platform.RegReadTree(keyPath, view);
            keys.push_back(tree.ok() ? std::optional(tree.value()) : std::nullopt);
        }
    }
    return keys;
}

// Values of every kind, and a policy subtree, beside the text seeds.
void seedEveryKindOfValue(PlatformOps& platform) {
    const std::wstring main = L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\";
    platform.RegWriteRaw(main, L"Search Page", {regtype::kExpandString, {'%', 0, 'X', 0, 0, 0}},
                         RegistryView::Default);
    platform.RegWriteRaw(main, L"window Title", {regtype::kMultiString, {'a', 0, 0, 0, 0, 0}},
                         RegistryView::Default);
    const std::wstring policy =
        L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\Deep\\Er]\\";
    for (const auto view : {RegistryView::Bits32, RegistryView::Bits64}) {
        platform.RegWriteRaw(policy, L"bin \"=\\", {regtype::kBinary, {1, 2, 3}}, view);
        platform.RegWriteRaw(policy, L"", {regtype::kQword, {1, 0, 0, 0, 0, 0, 0, 0}}, view);
    }
}

// The system's own registry tool, from its 64-bit side, as an administrator
// would use it by hand.
DWORD importWithRegTool(const std::wstring& file) {
    std::wstring command = L"reg.exe import \"" + file + L"\" /reg:64";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        return GetLastError();
    }
    const win32::KernelHandle thread(process.hThread);
    const win32::KernelHandle child(process.hProcess);
    WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.get(), &exitCode);
    return exitCode;
}

TEST_F(RealRegistryRun, UndoPutsEveryEntryBackInEveryView) {
    seedEveryKindOfValue(platform_);
    const auto before = planKeys(platform_);

    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});
    ASSERT_EQ(view_.notices.back().lines, oneLine(kRepairSucceeded));
    ASSERT_NE(planKeys(platform_), before);
    repair_.undoChanges();

    EXPECT_NE(std::ranges::find(view_.lines, L"Cambios desechos.....Hecho"), view_.lines.end());
    EXPECT_EQ(view_.notices.back().lines, oneLine(L"Finalizado"));
    EXPECT_EQ(planKeys(platform_), before);
}

TEST_F(RealRegistryRun, RedirectedHostsFolderIsPutBackAndTheUndoRestoresIt) {
    const std::wstring parameters =
        L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\";
    const auto original =
        platform_.RegReadValue(parameters + L"DataBasePath", RegistryView::Default);
    const RegistryValue redirected{regtype::kExpandString,
                                   {'C', 0, ':', 0, '\\', 0, 'm', 0, 'a', 0, 'l', 0, 'o', 0, 0, 0}};
    ASSERT_FALSE(
        platform_.RegWriteRaw(parameters, L"DataBasePath", redirected, RegistryView::Default));

    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});
    ASSERT_EQ(view_.notices.back().lines, oneLine(kRepairSucceeded));
    auto defaultFolder = stringValue(L"%SystemRoot%\\System32\\drivers\\etc");
    defaultFolder.type = regtype::kExpandString;
    EXPECT_EQ(platform_.RegReadValue(parameters + L"DataBasePath", RegistryView::Default).value(),
              defaultFolder);
    repair_.undoChanges();
    EXPECT_EQ(platform_.RegReadValue(parameters + L"DataBasePath", RegistryView::Default).value(),
              redirected);

    if (original.ok()) {
        platform_.RegWriteRaw(parameters, L"DataBasePath", original.value(), RegistryView::Default);
    }
}

TEST_F(RealRegistryRun, RegistryToolImportsTheBackupToTheSameState) {
    seedEveryKindOfValue(platform_);
    const auto before = planKeys(platform_);

    repair_.VerificarNavegador(L"IEFrame", {view_.page, false, {}});
    ASSERT_EQ(view_.notices.back().lines, oneLine(kRepairSucceeded));
    ASSERT_EQ(importWithRegTool(folders_.system + L"\\drivers\\etc\\BackupRegistro.reg"), 0u);

    EXPECT_EQ(planKeys(platform_), before);
}

}  // namespace
}  // namespace tovask
