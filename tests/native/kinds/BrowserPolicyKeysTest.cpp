#include "repair/policykeys/BrowserPolicyKeys.h"

#include <gtest/gtest.h>

#include "repair/policykeys/PolicyKeyRepair.h"
#include "text/RegistryEncoding.h"

namespace tovask {
namespace {

using enum LockKind;

const BrowserPolicyKey& browserNamed(std::wstring_view group) {
    for (const auto& browser : browserPolicyKeys()) {
        if (browser.group == group) {
            return browser;
        }
    }
    throw std::invalid_argument("no such browser");
}

NamedRegistryValue text(std::wstring name, std::wstring_view data) {
    return {std::move(name), stringValue(data)};
}
NamedRegistryValue number(std::wstring name, std::uint32_t data) {
    return {std::move(name), dwordValue(data)};
}
RegistryKeyContent policyKey(std::vector<NamedRegistryValue> values,
                             std::vector<RegistryKeyContent> subkeys = {}) {
    return {L"Chrome", std::move(values), std::move(subkeys)};
}

struct LockAlone {
    std::string name;
    std::wstring_view group;
    RegistryKeyContent key;
    std::wstring place;
    LockKind kind;

    friend void PrintTo(const LockAlone& lock, std::ostream* out) { *out << lock.name; }
};

class PolicyLockAlone : public testing::TestWithParam<LockAlone> {};

TEST_P(PolicyLockAlone, IsFoundAndRemovedWithAllItEmptied) {
    const auto& lock = GetParam();
    const auto locks = findPolicyLocks(browserNamed(lock.group), lock.key);
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_EQ(placeOf(locks[0]), lock.place);
    EXPECT_EQ(locks[0].kind, lock.kind);
    EXPECT_EQ(withoutLocks(lock.key, locks), policyKey({}));
}

constexpr std::wstring_view kForced = LR"({"abc":{"installation_mode":"force_installed"}})";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Locks, PolicyLockAlone, testing::Values(
    LockAlone{"Homepage", L"Google Chrome", policyKey({text(L"HomepageLocation", L"http://a")}),
              L"HomepageLocation", StartAndSearch},
    LockAlone{"NewTabAsHomeAnyCase", L"Brave", policyKey({number(L"homepageisnewtabpage", 1)}),
              L"homepageisnewtabpage", StartAndSearch},
    LockAlone{"RecommendedNewTab", L"Microsoft Edge", policyKey({}, {{L"Recommended",
              {text(L"NewTabPageLocation", L"http://a")}, {}}}),
              L"Recommended\\NewTabPageLocation", StartAndSearch},
    LockAlone{"RecommendedAdvertisersSearch", L"Google Chrome", policyKey({}, {{L"Recommended",
              {text(L"DefaultSearchProviderSearchURL", L"http://buscar.ofertas.example/?q={searchTerms}")},
              {}}}), L"Recommended\\DefaultSearchProviderSearchURL", StartAndSearch},
    LockAlone{"RecommendedHomepageOnANameThatOnlyStartsLikeAnEngine", L"Microsoft Edge", policyKey({},
              {{L"Recommended", {text(L"HomepageLocation", L"http://google.ofertas.example/")}, {}}}),
              L"Recommended\\HomepageLocation", StartAndSearch},
    LockAlone{"EnforcedSearchTheBrowserOffers", L"Google Chrome", policyKey({text(
              L"DefaultSearchProviderSearchURL", L"https://www.google.com/search?q={searchTerms}")}),
              L"DefaultSearchProviderSearchURL", StartAndSearch},
    LockAlone{"RestoreOnStartup", L"Chromium", policyKey({number(L"RestoreOnStartup", 4)}),
              L"RestoreOnStartup", StartAndSearch},
    LockAlone{"StartupPage", L"Google Chrome", policyKey({}, {{L"RestoreOnStartupURLs",
              {text(L"1", L"http://a")}, {}}}), L"RestoreOnStartupURLs\\1", StartAndSearch},
    LockAlone{"SearchProvider", L"Google Chrome", policyKey({text(L"DefaultSearchProviderSearchURL",
              L"http://a/?q={searchTerms}")}), L"DefaultSearchProviderSearchURL", StartAndSearch},
    LockAlone{"ForceList", L"Microsoft Edge", policyKey({}, {{L"ExtensionInstallForcelist",
              {text(L"1", L"abc;http://a")}, {}}}), L"ExtensionInstallForcelist\\1",
              ForcedExtension},
    LockAlone{"ForcedSetting", L"Google Chrome", policyKey({text(L"ExtensionSettings", kForced)}),
              L"ExtensionSettings\\abc", ForcedExtension},
    LockAlone{"ForcedSettingAfterByteOrderMark", L"Google Chrome", policyKey({text(
              L"ExtensionSettings", L"\uFEFF" + std::wstring(kForced))}), L"ExtensionSettings\\abc",
              ForcedExtension},
    LockAlone{"ForcedByTheLastOfARepeatedName", L"Google Chrome", policyKey({text(
              L"ExtensionSettings", LR"({"abc":{"installation_mode":"allowed"},)"
              LR"("abc":{"installation_mode":"force_installed"}})")}), L"ExtensionSettings\\abc",
              ForcedExtension},
    LockAlone{"ForcedSettingWithATrailingComma", L"Microsoft Edge", policyKey({text(
              L"ExtensionSettings", LR"({"abc":{"installation_mode":"force_installed",},})")}),
              L"ExtensionSettings\\abc", ForcedExtension},
    LockAlone{"ForceListInOneValue", L"Google Chrome", policyKey({text(
              L"ExtensionInstallForcelist", LR"(["abc;http://a"])")}),
              L"ExtensionInstallForcelist\\abc;http://a", ForcedExtension},
    LockAlone{"StartupPagesInOneValueAnyCaseTrailingComma", L"Microsoft Edge", policyKey({text(
              L"restoreonstartupurls", LR"(["http://a",])")}), L"restoreonstartupurls\\http://a",
              StartAndSearch},
    LockAlone{"ProxyServer", L"Google Chrome", policyKey({text(L"ProxyServer", L"p:8080")}),
              L"ProxyServer", ForcedTraffic},
    LockAlone{"VivaldiHomepage", L"Vivaldi", policyKey({text(L"HomepageLocation", L"http://a")}),
              L"HomepageLocation", StartAndSearch},
    LockAlone{"YandexRecommendedProxy", L"Yandex Browser", policyKey({}, {{L"Recommended",
              {text(L"ProxyServer", L"p:8080")}, {}}}), L"Recommended\\ProxyServer", ForcedTraffic},
    LockAlone{"ProxySettings", L"Chromium", policyKey({text(L"ProxySettings", L"{}")}),
              L"ProxySettings", ForcedTraffic},
    LockAlone{"FirefoxHomepage", L"Mozilla Firefox", policyKey({}, {{L"Homepage", {},
              {{L"Additional", {text(L"1", L"http://a")}, {}}}}}), L"Homepage\\Additional\\1",
              StartAndSearch},
    LockAlone{"FirefoxNewTab", L"Mozilla Firefox", policyKey({number(L"NewTabPage", 0)}),
              L"NewTabPage", StartAndSearch},
    LockAlone{"FirefoxSearch", L"Mozilla Firefox", policyKey({}, {{L"SearchEngines",
              {text(L"Default", L"Evil")}, {}}}), L"SearchEngines\\Default", StartAndSearch},
    LockAlone{"FirefoxSetting", L"Mozilla Firefox", policyKey({text(L"ExtensionSettings", kForced)}),
              L"ExtensionSettings\\abc", ForcedExtension},
    LockAlone{"FirefoxExtensions", L"Mozilla Firefox", policyKey({}, {{L"Extensions", {}, {
              {L"Install", {text(L"1", L"http://a.xpi")}, {}}}}}), L"Extensions\\Install\\1",
              ForcedExtension},
    LockAlone{"FirefoxProxy", L"Mozilla Firefox", policyKey({}, {{L"Proxy", {number(L"Locked", 1)},
              {}}}), L"Proxy\\Locked", ForcedTraffic}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct NotALock {
    std::string name;
    std::wstring_view group;
    RegistryKeyContent key;

    friend void PrintTo(const NotALock& policy, std::ostream* out) { *out << policy.name; }
};

class PolicyNotALock : public testing::TestWithParam<NotALock> {};

TEST_P(PolicyNotALock, IsNotFound) {
    EXPECT_TRUE(findPolicyLocks(browserNamed(GetParam().group), GetParam().key).empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Policies, PolicyNotALock, testing::Values(
    NotALock{"OtherValue", L"Google Chrome", policyKey({number(L"PasswordManagerEnabled", 0)})},
    NotALock{"OtherList", L"Microsoft Edge", policyKey({}, {{L"URLBlocklist",
             {text(L"1", L"a.com")}, {}}})},
    NotALock{"BlockedExtensions", L"Google Chrome", policyKey({text(L"ExtensionSettings",
             LR"({"*":{"installation_mode":"blocked"}})")})},
    NotALock{"FirefoxTelemetry", L"Mozilla Firefox", policyKey({number(L"DisableTelemetry", 1)})},
    NotALock{"ChromiumNameInFirefox", L"Mozilla Firefox", policyKey({text(L"HomepageLocation",
             L"http://a")})},
    NotALock{"ResolverTheBrowserOffers", L"Google Chrome", policyKey({text(L"DnsOverHttpsMode",
             L"secure"), text(L"DnsOverHttpsTemplates", L"https://chrome.cloudflare-dns.com/dns-query")})},
    NotALock{"ResolverWithSecureDnsOff", L"Microsoft Edge", policyKey({text(L"DnsOverHttpsMode",
             L"off"), text(L"DnsOverHttpsTemplates", L"https://doh.ofertas.example/dns-query{?dns}")})},
    NotALock{"FirefoxsOwnResolver", L"Mozilla Firefox", policyKey({}, {{L"DNSOverHTTPS",
             {text(L"ProviderURL", L"https://mozilla.cloudflare-dns.com/dns-query")}, {}}})},
    NotALock{"FirefoxResolverSwitchedOff", L"Mozilla Firefox", policyKey({}, {{L"DNSOverHTTPS",
             {number(L"Enabled", 0), text(L"ProviderURL", L"https://doh.ofertas.example/q")}, {}}})}),
    [](const auto& info) { return info.param.name; });
// clang-format on

class PolicyUnreadable : public testing::TestWithParam<NotALock> {};

TEST_P(PolicyUnreadable, IsListedAsUnreadableAndNeverRemoved) {
    const auto& key = GetParam().key;
    const auto locks = findPolicyLocks(browserNamed(GetParam().group), key);
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_TRUE(locks[0].unreadable);
    EXPECT_EQ(placeOf(locks[0]), key.values.front().name);
    EXPECT_EQ(withoutLocks(key, locks), key);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, PolicyUnreadable, testing::Values(
    NotALock{"BrokenJson", L"Google Chrome", policyKey({text(L"ExtensionSettings", L"{")})},
    NotALock{"TooDeepJson", L"Google Chrome", policyKey({text(L"ExtensionSettings",
             LR"({"a":{"installation_mode":"force_installed","x":)" + std::wstring(201, L'[') +
             std::wstring(201, L']') + L"}}")})},
    NotALock{"UnpairedSurrogate", L"Google Chrome", policyKey({text(L"ExtensionSettings",
             LR"({"a":{"installation_mode":"force_installed","x":"\udc00"}})")})},
    NotALock{"SettingsAsAList", L"Microsoft Edge", policyKey({text(L"ExtensionSettings", L"[]")})},
    NotALock{"SettingsAsANumber", L"Microsoft Edge", policyKey({number(L"ExtensionSettings", 1)})},
    NotALock{"ListAsAnObject", L"Google Chrome", policyKey({text(L"ExtensionInstallForcelist",
             LR"({"1":"abc;http://a"})")})},
    NotALock{"ListNotJson", L"Brave", policyKey({text(L"RestoreOnStartupURLs", L"http://a")})}),
    [](const auto& info) { return info.param.name; });
// clang-format on

struct ReportedLock {
    std::string name;
    std::wstring_view group;
    RegistryKeyContent key;
    std::wstring place;

    friend void PrintTo(const ReportedLock& lock, std::ostream* out) { *out << lock.name; }
};

class PolicyReportedOnly : public testing::TestWithParam<ReportedLock> {};

TEST_P(PolicyReportedOnly, IsListedAndNeverRemoved) {
    const auto& key = GetParam().key;
    const auto locks = findPolicyLocks(browserNamed(GetParam().group), key);
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_TRUE(locks[0].reportOnly);
    EXPECT_EQ(placeOf(locks[0]), GetParam().place);
    EXPECT_EQ(withoutLocks(key, locks), key);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Resolvers, PolicyReportedOnly, testing::Values(
    ReportedLock{"UnknownResolverInSecureMode", L"Google Chrome", policyKey({text(L"DnsOverHttpsMode",
                 L"secure"), text(L"DnsOverHttpsTemplates", L"https://doh.ofertas.example/dns-query{?dns}")}),
                 L"DnsOverHttpsTemplates"},
    ReportedLock{"UnknownAmongKnownInAutomaticMode", L"Brave", policyKey({text(L"DnsOverHttpsMode",
                 L"automatic"), text(L"DnsOverHttpsTemplates", L"https://dns.google/dns-query{?dns} "
                 L"https://dns.google.ofertas.example/q")}), L"DnsOverHttpsTemplates"},
    ReportedLock{"KnownServerWithoutHttps", L"Microsoft Edge", policyKey({text(L"DnsOverHttpsMode",
                 L"secure"), text(L"DnsOverHttpsTemplates", L"http://dns.google/dns-query")}),
                 L"DnsOverHttpsTemplates"},
    ReportedLock{"FirefoxUnknownProvider", L"Mozilla Firefox", policyKey({}, {{L"DNSOverHTTPS",
                 {number(L"Enabled", 1), text(L"ProviderURL", L"https://doh.ofertas.example/q")}, {}}}),
                 L"DNSOverHTTPS\\ProviderURL"}),
    [](const auto& info) { return info.param.name; });

// What the person may change in the browser's settings, set to what the browser offers.
INSTANTIATE_TEST_SUITE_P(Recommended, PolicyReportedOnly, testing::Values(
    ReportedLock{"SearchTheBrowserOffers", L"Google Chrome", policyKey({}, {{L"Recommended",
                 {text(L"DefaultSearchProviderSearchURL", L"https://www.google.es/search?q={searchTerms}")},
                 {}}}), L"Recommended\\DefaultSearchProviderSearchURL"},
    ReportedLock{"HomepageOfAnEngine", L"Microsoft Edge", policyKey({}, {{L"Recommended",
                 {text(L"HomepageLocation", L"https://www.bing.com/")}, {}}}),
                 L"Recommended\\HomepageLocation"},
    ReportedLock{"NewTabOfAnEngine", L"Brave", policyKey({}, {{L"Recommended",
                 {text(L"NewTabPageLocation", L"https://search.brave.com/")}, {}}}),
                 L"Recommended\\NewTabPageLocation"},
    ReportedLock{"StartupPageOfAnEngine", L"Chromium", policyKey({}, {{L"Recommended", {}, {
                 {L"RestoreOnStartupURLs", {text(L"1", L"https://duckduckgo.com/")}, {}}}}}),
                 L"Recommended\\RestoreOnStartupURLs\\1"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// The provider's name and keyword are left or removed as its address is.
TEST(RecommendedSearchProvider, IsJudgedWholeByItsAddress) {
    const auto provider = [](std::wstring_view address) {
        return policyKey({}, {{L"Recommended",
                               {text(L"DefaultSearchProviderName", L"Google"),
                                text(L"DefaultSearchProviderSearchURL", address)},
                               {}}});
    };
    const auto& chrome = browserNamed(L"Google Chrome");
    const auto offered =
        findPolicyLocks(chrome, provider(L"https://www.google.com/?q={searchTerms}"));
    const auto advertised =
        findPolicyLocks(chrome, provider(L"http://ofertas.example/?q={searchTerms}"));
    ASSERT_EQ(offered.size(), 2u);
    ASSERT_EQ(advertised.size(), 2u);
    EXPECT_TRUE(offered[0].reportOnly && offered[1].reportOnly);
    EXPECT_FALSE(advertised[0].reportOnly || advertised[1].reportOnly);
}

TEST(PolicyKeyRepair, RemovesOnlyTheChosenLocksRenumbersListsAndDropsEmptiedOnes) {
    const auto before =
        policyKey({number(L"PasswordManagerEnabled", 0)},
                  {{L"RestoreOnStartupURLs",
                    {text(L"1", L"http://a"), text(L"3", L"http://c"), text(L"2", L"http://b")},
                    {}},
                   {L"ExtensionInstallForcelist", {text(L"1", L"x"), text(L"2", L"y")}, {}}});
    const auto locks = findPolicyLocks(browserNamed(L"Google Chrome"), before);
    ASSERT_EQ(locks.size(), 5u);
    std::vector<PolicyLock> chosen;
    for (const auto& lock : locks) {
        if (lock.valueName == L"2" || lock.keyPath == L"ExtensionInstallForcelist") {
            chosen.push_back(lock);
        }
    }
    const auto after = withoutLocks(before, chosen);
    EXPECT_EQ(
        after,
        policyKey(
            {number(L"PasswordManagerEnabled", 0)},
            {{L"RestoreOnStartupURLs", {text(L"1", L"http://a"), text(L"2", L"http://c")}, {}}}));
    EXPECT_EQ(editBetween(before, after),
              (PolicyKeyEdit{{{{L"RestoreOnStartupURLs", L"2"}, stringValue(L"http://c")}},
                             {{L"RestoreOnStartupURLs", L"3"}},
                             {L"ExtensionInstallForcelist"}}));
}

TEST(PolicyKeyRepair, RewritesAListInOneValueWithoutTheChosenEntries) {
    const auto before =
        policyKey({text(L"ExtensionInstallForcelist", LR"(["x;http://u", 7, "y", "x;http://u"])")});
    auto locks = findPolicyLocks(browserNamed(L"Google Chrome"), before);
    ASSERT_EQ(locks.size(), 3u);
    std::erase_if(locks, [](const PolicyLock& lock) { return lock.entry == L"y"; });
    EXPECT_EQ(withoutLocks(before, locks),
              policyKey({text(L"ExtensionInstallForcelist", LR"([7,"y"])")}));
}

TEST(PolicyKeyRepair, RewritesExtensionSettingsWithoutTheForcedEntry) {
    const auto before = policyKey({text(
        L"ExtensionSettings",
        LR"({"abc": {"installation_mode": "normal_installed", "update_url": "http://u"},)"
        LR"( "def": {"installation_mode": "allowed"}, "*": {"blocked_permissions": ["tabs"]}})")});
    const auto locks = findPolicyLocks(browserNamed(L"Microsoft Edge"), before);
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_EQ(locks[0].holds,
              LR"({"installation_mode":"normal_installed","update_url":"http://u"})");
    EXPECT_EQ(withoutLocks(before, locks),
              policyKey({text(L"ExtensionSettings",
                              LR"({"def":{"installation_mode":"allowed"},)"
                              LR"("*":{"blocked_permissions":["tabs"]}})")}));
}

}  // namespace
}  // namespace tovask
