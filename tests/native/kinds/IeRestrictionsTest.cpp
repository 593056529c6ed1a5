#include <algorithm>

#include "repair/restrictions/IeRestrictions.h"
#include "repair/users/UserHives.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

const std::wstring kRestrictions =
    L"\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";
const std::wstring kLocalUserCopy =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy Objects\\LocalUser" +
    kRestrictions;
constexpr std::wstring_view kSid = L"S-1-5-21-11-22-33-1001";
const std::wstring kUser = L"HKU\\" + std::wstring(kSid);

struct RestrictionCase {
    std::string name;
    std::wstring path;  // the value's path
    RegistryValue value;
    bool counted;  // a restriction in effect, which the repair removes

    friend void PrintTo(const RestrictionCase& c, std::ostream* out) { *out << c.name; }
};

class EachRestriction : public testing::TestWithParam<RestrictionCase> {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.addKeysEveryWindowsHas();
        platform.registry.addKeysEveryWindowsHas(kUser);
        auto folder = stringValue(L"C:\\Users\\ana");
        platform.registry.writeRaw(std::wstring(kProfileListKey) + std::wstring(kSid) + L"\\",
                                   L"ProfileImagePath", folder, RegistryView::Default);
        bench.everyUser = true;
        const auto& path = GetParam().path;
        const auto keyEnd = path.rfind(L'\\') + 1;
        platform.registry.writeRaw(path.substr(0, keyEnd), path.substr(keyEnd), GetParam().value,
                                   RegistryView::Default);
        before = platform.registry.snapshot();
        bench.press();  // Internet Explorer only: the view says no
    }
    RunOutcome check(bool browsers) {
        bench.view.repairFindings = browsers;
        return bench.check();
    }
    bool present() const { return bench.platform.registry.value(GetParam().path).has_value(); }
    bool hasLine(std::wstring_view start) const {
        return std::ranges::any_of(
            bench.view.lines, [&](const std::wstring& line) { return line.starts_with(start); });
    }

    RepairBench bench;
    std::map<std::wstring, fake::StoredValue> before;
};

TEST_P(EachRestriction, IsRemovedWithConsentTheCheckAgreesAndTheUndoPutsItBack) {
    ASSERT_EQ(check(false), RunOutcome::Done);
    EXPECT_EQ(check(true), GetParam().counted ? RunOutcome::RepairNeeded : RunOutcome::Done);
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_EQ(present(), !GetParam().counted);
    EXPECT_EQ(hasLine(L"Restricción quitada: "), GetParam().counted);
    EXPECT_TRUE(bench.errorLines().empty());
    EXPECT_EQ(check(true), RunOutcome::Done);
    // The backup keeps the first run's Internet Explorer repair ahead of this one's.
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.snapshot() == before);
}

TEST_P(EachRestriction, IsLeftWhenTheUserSaysNo) {
    bench.press();
    EXPECT_TRUE(present());
    EXPECT_EQ(hasLine(L"Restricción dejada: "), GetParam().counted);
}

TEST_P(EachRestriction, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.domainJoined = true;
    bench.view.repairFindings = true;
    bench.view.questions.clear();
    bench.press();
    EXPECT_TRUE(present());
    EXPECT_TRUE(bench.view.questions.empty());
    EXPECT_EQ(check(true), RunOutcome::Done);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Values, EachRestriction,
    testing::Values(
        RestrictionCase{"OptionsHiddenForTheMachine", L"HKLM" + kRestrictions + L"NoBrowserOptions", dwordValue(1), true},
        RestrictionCase{"ContextMenuOfAUser", kUser + kRestrictions + L"NoBrowserContextMenu", dwordValue(1), true},
        RestrictionCase{"TextOneAsRegAddWritesIt", kUser + kRestrictions + L"NoFileOpen", stringValue(L"1"), true},
        RestrictionCase{"LocalGroupPolicyCopy", kUser + kLocalUserCopy + L"nofavorites", dwordValue(2), true},
        RestrictionCase{"SaveAsTurnedOff", L"HKLM" + kRestrictions + L"NoBrowserSaveAs", dwordValue(0), false},
        RestrictionCase{"TooLongToBeRead", L"HKLM" + kRestrictions + L"NoBrowserSaveAs", stringValue(L"10"), false},
        RestrictionCase{"NotAMenu", L"HKLM" + kRestrictions + L"NoSplash", dwordValue(1), false},
        RestrictionCase{"MachineHasNoLocalUserCopy", L"HKLM" + kLocalUserCopy + L"NoFavorites", dwordValue(1), false}),
    [](const testing::TestParamInfo<RestrictionCase>& info) { return info.param.name; });
// clang-format on

TEST(RestrictionReach, TakesTheRestrictionsOfTheMachineAndOfAccountsOnly) {
    const auto section = [](std::wstring key, std::wstring name) {
        return RegistryFileSection{std::move(key), false, {{std::move(name), std::nullopt}}};
    };
    const std::wstring key = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
    EXPECT_TRUE(withinRestrictionReach(section(L"HKEY_LOCAL_MACHINE\\" + key, L"NoFileNew"), true));
    EXPECT_TRUE(withinRestrictionReach(
        section(L"HKEY_USERS\\" + std::wstring(kSid) + L"\\" + key, L"NoPrinting"), true));
    EXPECT_FALSE(withinRestrictionReach(section(L"HKEY_LOCAL_MACHINE\\" + key, L"NoSplash"), true));
    EXPECT_FALSE(
        withinRestrictionReach(section(L"HKEY_USERS\\.DEFAULT\\" + key, L"NoFileNew"), true));
    EXPECT_FALSE(withinRestrictionReach(
        section(L"HKEY_LOCAL_MACHINE\\" + key + L"\\Sub", L"NoFileNew"), true));
}

}  // namespace
}  // namespace tovask::test
