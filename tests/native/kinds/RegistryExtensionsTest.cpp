#include <algorithm>

#include "repair/extensions/RegistryExtensions.h"
#include "repair/users/UserHives.h"
#include "tests/native/RepairFixture.h"
#include "text/RegistryEncoding.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kChrome = L"Software\\Google\\Chrome\\Extensions";
constexpr std::wstring_view kEdge = L"Software\\Microsoft\\Edge\\Extensions";
constexpr std::wstring_view kBrave = L"Software\\BraveSoftware\\Brave-Browser\\Extensions";
constexpr std::wstring_view kChromeStore = L"https://clients2.google.com/service/update2/crx";
constexpr std::wstring_view kEdgeStore = L"https://edge.microsoft.com/extensionwebstorebase/v1/crx";

struct StoreCase {
    std::string name;
    std::wstring_view extensionsKey;
    std::wstring_view updateUrl;
    bool store;
};

class StoreAddress : public testing::TestWithParam<StoreCase> {};

TEST_P(StoreAddress, IsTheBrowsersOwnByHostAndPath) {
    EXPECT_EQ(isStoreUpdateUrl(GetParam().extensionsKey, GetParam().updateUrl), GetParam().store);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Addresses, StoreAddress,
    testing::Values(
        StoreCase{"ChromeStore", kChrome, kChromeStore, true},
        StoreCase{"AnySchemeCasePortAndQuery", kChrome, L"http://CLIENTS2.google.com:443/service/update2/crx?x=1", true},
        StoreCase{"UserBeforeTheHost", kChrome, L"https://ana@clients2.google.com/service/update2/crx", true},
        StoreCase{"BackslashesAndBlanks", kChrome, L" https://clients2.google.com\\service\\update2\\crx ", true},
        StoreCase{"EdgeStoreInEdge", kEdge, kEdgeStore, true},
        StoreCase{"ChromeStoreInEdge", kEdge, kChromeStore, true},
        StoreCase{"ChromeStoreInBrave", kBrave, kChromeStore, true},
        StoreCase{"EdgeStoreInChrome", kChrome, kEdgeStore, false},
        StoreCase{"LongerPath", kChrome, L"https://clients2.google.com/service/update2/crx/x", false},
        StoreCase{"PathCaseDiffers", kChrome, L"https://clients2.google.com/Service/update2/crx", false},
        StoreCase{"StoreNameInAnotherDomain", kChrome, L"https://clients2.google.com.ads.example/service/update2/crx", false},
        StoreCase{"StoreNameAfterTheHost", kChrome, L"https://ads.example/@clients2.google.com/service/update2/crx", false},
        StoreCase{"AdvertisersServer", kChrome, L"https://ads.example/update.xml", false},
        StoreCase{"NotAWebAddress", kChrome, L"file:///C:/clients2.google.com/service/update2/crx", false}),
    [](const testing::TestParamInfo<StoreCase>& info) { return info.param.name; });
// clang-format on

constexpr std::wstring_view kSid = L"S-1-5-21-11-22-33-1001";
const std::wstring kUser = L"HKU\\" + std::wstring(kSid);
const std::wstring kId = L"aaaabbbbccccddddeeeeffffgggghhhh";

// One extension's key, and what becomes of it.
enum class Verdict { Repaired, Information, NotListed };

struct ExtensionCase {
    std::string name;
    std::wstring key;  // the extension's key, as the platform names it
    RegistryView view;
    std::vector<std::pair<std::wstring, RegistryValue>> values;
    Verdict verdict;

    friend void PrintTo(const ExtensionCase& c, std::ostream* out) { *out << c.name; }
};

class EachExtension : public testing::TestWithParam<ExtensionCase> {
  protected:
    void SetUp() override {
        auto& platform = bench.platform;
        platform.registry.twoViews = true;
        platform.registry.addKeysEveryWindowsHas();
        platform.registry.addKeysEveryWindowsHas(kUser);
        platform.registry.writeRaw(std::wstring(kProfileListKey) + std::wstring(kSid) + L"\\",
                                   L"ProfileImagePath", stringValue(L"C:\\Users\\ana"),
                                   RegistryView::Bits64);
        bench.everyUser = true;
        for (const auto& [name, value] : GetParam().values) {
            platform.registry.writeRaw(GetParam().key, name, value, GetParam().view);
        }
        before = platform.registry.snapshot();
        bench.press();  // Internet Explorer only: the view says no
    }
    RunOutcome check() {
        bench.view.repairFindings = true;
        return bench.check();
    }
    bool present() { return bench.platform.RegKeyExists(GetParam().key, GetParam().view).value(); }
    bool listed() const {
        return std::ranges::any_of(bench.view.lines, [&](const std::wstring& line) {
            return line.find(kId) != std::wstring::npos;
        });
    }

    RepairBench bench;
    std::map<std::wstring, fake::StoredValue> before;
};

TEST_P(EachExtension, IsRemovedWithConsentTheCheckAgreesAndTheUndoPutsItBack) {
    const auto verdict = GetParam().verdict;
    EXPECT_EQ(check(), verdict == Verdict::Repaired ? RunOutcome::RepairNeeded : RunOutcome::Done);
    EXPECT_EQ(listed(), verdict != Verdict::NotListed);
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_EQ(present(), verdict != Verdict::Repaired);
    EXPECT_TRUE(bench.errorLines().empty());
    EXPECT_EQ(check(), RunOutcome::Done);
    bench.undo();
    EXPECT_TRUE(bench.platform.registry.snapshot() == before);
}

TEST_P(EachExtension, IsOnlyReportedOnAManagedMachine) {
    bench.platform.machineJoin.cloudJoined = true;
    bench.view.repairFindings = true;
    bench.press();
    EXPECT_TRUE(present());
    EXPECT_EQ(check(), RunOutcome::Done);
}

const std::wstring kMachine32 = L"HKLM\\" + std::wstring(kChrome) + L"\\" + kId + L"\\";
const std::wstring kMachineEdge = L"HKLM\\" + std::wstring(kEdge) + L"\\" + kId + L"\\";
const std::wstring kUsers = kUser + L"\\" + std::wstring(kBrave) + L"\\" + kId + L"\\";
const auto kOffStore =
    std::pair(std::wstring(L"update_url"), stringValue(L"https://ads.example/crx"));

RegistryValue expandable(std::wstring_view text) {
    auto value = stringValue(text);
    value.type = regtype::kExpandString;
    return value;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Keys, EachExtension,
    testing::Values(
        ExtensionCase{"OffStoreInTheMachines32BitView", kMachine32, RegistryView::Bits32, {kOffStore}, Verdict::Repaired},
        ExtensionCase{"OffStoreInAUsersHive", kUsers, RegistryView::Default, {kOffStore, {L"install_parameter", stringValue(L"x")}}, Verdict::Repaired},
        ExtensionCase{"ChromeStoreInEdge", kMachineEdge, RegistryView::Bits64, {{L"update_url", stringValue(kChromeStore)}}, Verdict::NotListed},
        ExtensionCase{"PackageInTheUsersProfile", kUsers, RegistryView::Default, {{L"path", stringValue(L"C:\\Users\\ana\\AppData\\x.crx")}, {L"version", stringValue(L"1.0")}}, Verdict::Repaired},
        ExtensionCase{"PackageInTheSystemsTemp", kMachine32, RegistryView::Bits32, {{L"path", expandable(L"%SystemRoot%\\Temp\\x.crx")}}, Verdict::Repaired},
        ExtensionCase{"PackageInProgramFiles", kMachine32, RegistryView::Bits32, {{L"path", stringValue(L"C:\\Program Files\\Antivirus\\x.crx")}}, Verdict::Information},
        ExtensionCase{"PackageOnAShare", kUsers, RegistryView::Default, {{L"path", stringValue(L"\\\\servidor\\x.crx")}}, Verdict::Information},
        ExtensionCase{"NotAnExtensionId", L"HKLM\\" + std::wstring(kChrome) + L"\\zzzz\\", RegistryView::Bits64, {kOffStore}, Verdict::NotListed},
        ExtensionCase{"EmptyAddress", kUsers, RegistryView::Default, {{L"update_url", stringValue(L" ")}}, Verdict::NotListed},
        ExtensionCase{"NeitherAddressNorPackage", kUsers, RegistryView::Default, {{L"version", stringValue(L"1.0")}}, Verdict::NotListed}),
    [](const testing::TestParamInfo<ExtensionCase>& info) { return info.param.name; });
// clang-format on

TEST(ExtensionReach, TakesTheKeysOfExtensionsOfTheMachineAndOfAccountsOnly) {
    const auto section = [](std::wstring key) {
        return RegistryFileSection{std::move(key), false, {{L"update_url", std::nullopt}}};
    };
    const std::wstring chrome = L"\\SOFTWARE\\Google\\Chrome\\Extensions\\";
    EXPECT_TRUE(withinExtensionReach(section(L"HKEY_LOCAL_MACHINE" + chrome + kId), true));
    EXPECT_TRUE(withinExtensionReach(
        section(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Google\\Chrome\\Extensions\\" + kId +
                L"\\Sub"),
        true));
    EXPECT_TRUE(
        withinExtensionReach(section(L"HKEY_USERS\\" + std::wstring(kSid) + chrome + kId), true));
    EXPECT_FALSE(withinExtensionReach(section(L"HKEY_LOCAL_MACHINE" + chrome + L"other"), true));
    EXPECT_FALSE(withinExtensionReach(
        section(L"HKEY_LOCAL_MACHINE" + chrome.substr(0, chrome.size() - 1)), true));
    EXPECT_FALSE(withinExtensionReach(section(L"HKEY_USERS\\.DEFAULT" + chrome + kId), true));
}

}  // namespace
}  // namespace tovask::test
