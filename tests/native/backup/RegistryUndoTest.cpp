#include <random>

#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryFile.h"
#include "repair/plan/RegistryPlan.h"
#include "tests/native/FaultMatrix.h"
#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/Utf16.h"

namespace tovask::test {
namespace {

// Names and data that a registry-editor file must carry unchanged.
const std::vector<std::wstring> kOddNames = {
    L"plain", L"with \"quotes\"",          L"back\\slash",      L"]bracket", L"a=b", L"trailing  ",
    L"",      L"P\x00E1gina \x65E5\x672C", L"\U0001F600 beyond"};

RegistryValue randomValue(std::mt19937& random) {
    static constexpr std::uint32_t kTypes[] = {
        regtype::kString,      regtype::kExpandString, regtype::kBinary, regtype::kDword,
        regtype::kMultiString, regtype::kQword,        regtype::kNone,   0x1234};
    const auto type = kTypes[random() % std::size(kTypes)];
    if (type == regtype::kString && random() % 2 == 0) {
        return stringValue(kOddNames[random() % kOddNames.size()]);
    }
    RegistryValue value{type, std::vector<std::uint8_t>(random() % 40)};
    for (auto& byte : value.bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return value;
}

void seedSubtree(fake::FakeRegistry& registry, const std::wstring& keyPath, RegistryView view,
                 std::mt19937& random, int depth) {
    registry.createKey(keyPath, view);
    for (auto values = random() % 4; values > 0; --values) {
        registry.writeRaw(keyPath, kOddNames[random() % kOddNames.size()], randomValue(random),
                          view);
    }
    for (auto subkeys = depth > 0 ? random() % 3 : 0; subkeys > 0; --subkeys) {
        seedSubtree(registry, keyPath + L"Sub " + std::to_wstring(random() % 100) + L"]\\", view,
                    random, depth - 1);
    }
}

// A machine whose plan keys hold anything: nothing, values of every type,
// the values the plan writes already, deep subtrees, values it never touches.
void seedRandomMachine(RepairBench& bench, unsigned seed) {
    std::mt19937 random(seed);
    auto& registry = bench.platform.registry;
    registry.twoViews = random() % 2 == 0;
    registry.addKeysEveryWindowsHas();
    for (const auto& step : kRegistryRepairPlan) {
        const auto path = std::wstring(step.path);
        const auto keyPath = path.substr(0, path.rfind(L'\\') + 1);
        const auto parsed = parseRegistryPath(path).value();
        for (const auto view : viewsFor(parsed.root, parsed.key, registry.twoViews)) {
            switch (random() % 4) {
                case 0:
                    break;
                case 1:
                    seedSubtree(registry, keyPath, view, random, 3);
                    break;
                case 2:
                    registry.write(path, step.text, step.type);
                    break;
                default:
                    registry.writeRaw(keyPath, path.substr(keyPath.size()), randomValue(random),
                                      view);
            }
        }
    }
    bench.view.page = random() % 2 ? L"" : L"http://elegida.example/\x00F1";
}

bool isRestoreCall(const fake::RecordedCall& call) {
    return call.operation == "RegDeleteIn" || call.operation == "RegCreateKeyIn" ||
           call.operation == "RegWriteRaw" || call.operation == "RegDeleteValueIn";
}

// Every section of the backup but that of a created key starts with one of
// these; a created key is removed only when a read finds it empty.
std::vector<std::wstring> sectionCalls(const fake::FakePlatform& platform, std::size_t from) {
    std::vector<std::wstring> targets;
    for (auto call = platform.calls.begin() + static_cast<std::ptrdiff_t>(from);
         call != platform.calls.end(); ++call) {
        const bool removesEmptiedKey = call != platform.calls.begin() &&
                                       call[-1].operation == "RegReadTree" &&
                                       call[-1].target == call->target;
        if ((call->operation == "RegDeleteIn" && !removesEmptiedKey) ||
            call->operation == "RegCreateKeyIn") {
            targets.push_back(call->target);
        }
    }
    return targets;
}

std::size_t countRestoreCalls(const fake::FakePlatform& platform, std::size_t from) {
    return static_cast<std::size_t>(
        std::count_if(platform.calls.begin() + static_cast<std::ptrdiff_t>(from),
                      platform.calls.end(), isRestoreCall));
}

// Names the first key that differs, so that a failing seed can be read.
testing::AssertionResult sameRegistry(const fake::FakeRegistry::State& actual,
                                      const fake::FakeRegistry::State& expected) {
    for (const auto& [id, key] : expected) {
        const auto found = actual.find(id);
        if (found == actual.end()) {
            return testing::AssertionFailure() << "missing " << testing::PrintToString(id);
        }
        if (!(found->second == key)) {
            return testing::AssertionFailure()
                   << "differs " << testing::PrintToString(id) << " name "
                   << testing::PrintToString(found->second.name) << " values "
                   << found->second.values.size() << " instead of " << key.values.size();
        }
    }
    for (const auto& [id, key] : actual) {
        if (!expected.contains(id)) {
            return testing::AssertionFailure() << "extra " << testing::PrintToString(id);
        }
    }
    return testing::AssertionSuccess();
}

class RegistryRoundTrip : public testing::TestWithParam<unsigned> {};

TEST_P(RegistryRoundTrip, UndoGivesBackTheExactStateBeforeTheRun) {
    RepairBench bench;
    seedRandomMachine(bench, GetParam());
    const auto before = bench.platform.registry.state();
    const auto page = bench.view.page;
    bench.press();
    bench.view.page = page;
    bench.press();  // changes nothing more, so the first backup is kept
    bench.undo();

    EXPECT_TRUE(sameRegistry(bench.platform.registry.state(), before));
    EXPECT_TRUE(anyLineHas(bench.view.lines, kUndoDone));
    EXPECT_EQ(bench.errorLines(), std::vector<std::wstring>{});
}

TEST_P(RegistryRoundTrip, OneFailingRestoreIsReportedAndTheOthersGoOn) {
    RepairBench clean;
    seedRandomMachine(clean, GetParam());
    clean.press();
    const auto undoStart = clean.platform.calls.size();
    clean.undo();
    const auto restores = countRestoreCalls(clean.platform, undoStart);
    const auto sections = sectionCalls(clean.platform, undoStart);
    ASSERT_GT(restores, 0u);

    RepairBench bench;
    seedRandomMachine(bench, GetParam());
    const auto before = bench.platform.registry.state();
    bench.press();
    const auto failing = std::mt19937(GetParam())() % restores;
    std::size_t seen = 0;
    bench.platform.addFault(
        [&](const fake::RecordedCall& call, std::size_t) -> std::optional<std::error_code> {
            if (isRestoreCall(call) && seen++ == failing) {
                return errc(std::errc::permission_denied);
            }
            return std::nullopt;
        });
    bench.undo();

    EXPECT_EQ(sectionCalls(bench.platform, undoStart), sections);
    ASSERT_EQ(bench.errorLines().size(), 1u);
    EXPECT_TRUE(lastNoticeIs(bench.view, L"Cambios deshechos con errores. Operaciones fallidas: 1",
                             NoticeKind::Warning, kFinished));
    bench.platform.calls.clear();
    bench.undo();
    EXPECT_TRUE(sameRegistry(bench.platform.registry.state(), before));
}

TEST(RegistryUndo, HostsFileStoppingTheUndoIsListedAndCountedWithFailedEntries) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.press();
    bench.platform.failWhere("RegWriteRaw", L"HKCU", errc(std::errc::permission_denied));
    bench.platform.files.lock(kSystemHosts);
    bench.undo();

    const auto errors = bench.errorLines();
    ASSERT_GE(errors.size(), 2u);
    EXPECT_TRUE(errors.back().starts_with(errorLineStart(kSystemHosts)));
    const auto& message = bench.view.notices.back();
    EXPECT_EQ(message.kind, NoticeKind::Error);
    EXPECT_TRUE(promptOf(message).ends_with(L"\r\nOperaciones fallidas: " +
                                            std::to_wstring(errors.size())));
}

TEST(CreatedKeyUndo, KeepsWhatWasWrittenUnderTheKeySinceTheRun) {
    const std::wstring policyObjects =
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\";
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.platform.registry.remove(policyObjects);
    bench.press();
    bench.platform.registry.write(policyObjects + L"OtherTool\\KeepMe", L"1", RegistryType::String);
    bench.undo();

    EXPECT_TRUE(bench.platform.registry.value(policyObjects + L"OtherTool\\KeepMe"));
    EXPECT_EQ(bench.platform.registry.subkeyNames(policyObjects),
              std::vector<std::wstring>{L"OtherTool"});
    EXPECT_TRUE(anyLineHas(bench.view.lines, kUndoDone));
    EXPECT_EQ(bench.errorLines(), std::vector<std::wstring>{});
}

INSTANTIATE_TEST_SUITE_P(RandomMachines, RegistryRoundTrip, testing::Range(1u, 41u),
                         [](const testing::TestParamInfo<unsigned>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

struct RefusedBackup {
    std::string name;
    std::string bytes;

    friend void PrintTo(const RefusedBackup& refused, std::ostream* out) { *out << refused.name; }
};

std::string backupOf(const std::vector<RegistryFileSection>& sections) {
    return writeRegistryFile(sections).value();
}

const RegistryFileSection kStartPageSection{
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main",
    false,
    {{L"Start Page", stringValue(L"http://antes.example")}}};

RefusedBackup removal(std::string name, std::wstring key) {
    return {std::move(name), backupOf({{std::move(key), true, {}}})};
}

RefusedBackup startPageIn(std::string name, std::wstring_view hive) {
    auto section = kStartPageSection;
    section.key.replace(0, section.key.find(L'\\'), hive);
    return {std::move(name), backupOf({section})};
}

class BackupRefusal : public testing::TestWithParam<RefusedBackup> {};

TEST_P(BackupRefusal, LeavesTheRegistryAndTheFilesUntouched) {
    RepairBench bench;
    matrix::prepareMachine(bench);
    bench.platform.files.addFile(kRegistryBackup, GetParam().bytes);
    const auto registry = bench.platform.registry.state();
    const auto files = bench.fileContents();
    bench.undo();

    EXPECT_TRUE(bench.platform.registry.state() == registry);
    EXPECT_EQ(bench.fileContents(), files);
    EXPECT_EQ(countRestoreCalls(bench.platform, 0), 0u);
    ASSERT_EQ(bench.view.notices.size(), 1u);
    EXPECT_EQ(bench.view.notices[0].title, L"Error");
    EXPECT_EQ(bench.view.notices[0].kind, NoticeKind::Error);
    EXPECT_TRUE(
        promptOf(bench.view.notices[0])
            .starts_with(L"No se pudo restaurar el archivo " + std::wstring(kRegistryBackup)));
}

std::string cut(std::string bytes, std::size_t dropped) {
    bytes.resize(bytes.size() - dropped);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BackupRefusal,
    testing::Values(
        RefusedBackup{"NotUtf16", "Windows Registry Editor Version 5.00\r\n"},
        RefusedBackup{"Malformed", toUtf16LeBytes(L"\xFEFFWindows Registry Editor Version "
                                                  L"5.00\r\n\r\nbasura\r\n")},
        RefusedBackup{"Truncated", cut(backupOf({kStartPageSection}), 40)},
        RefusedBackup{"ForeignKey",
                      backupOf({kStartPageSection,
                                {L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\malo",
                                 false,
                                 {{L"ImagePath", stringValue(L"malo.exe")}}}})},
        RefusedBackup{"ForeignValueInAPlanKey",
                      backupOf({{L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                                 L"NT\\CurrentVersion\\Winlogon",
                                 false,
                                 {{L"Taskman", stringValue(L"malo.exe")}}}})},
        RefusedBackup{"RemovesAKeyEveryWindowsHas",
                      backupOf({{L"HKEY_CURRENT_USER\\Software\\Microsoft", true, {}}})},
        removal("RemovesEveryMachinePolicy", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft"),
        removal("RemovesEveryUserPolicy", L"HKEY_CURRENT_USER\\Software\\Policies\\Microsoft"),
        removal("RemovesBelowADeletedSubtree",
                L"HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Control "
                L"Panel\\Sub"),
        removal("RemovesWinlogon",
                L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"),
        removal(
            "RemovesInternetSettings",
            L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"),
        removal("RemovesTheBrowsersKey",
                L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer"),
        startPageIn("NamesTheSystemAccount", L"HKEY_USERS\\S-1-5-18"),
        startPageIn("NamesAMalformedSid", L"HKEY_USERS\\S-1-5-21-1--2"),
        RefusedBackup{"LargerThanAnyBackup", std::string(kMaxRegistryBackupBytes + 1, 'x')}),
    [](const testing::TestParamInfo<RefusedBackup>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
