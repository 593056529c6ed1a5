#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

constexpr std::wstring_view kMachineStartPage =
    L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";
constexpr std::wstring_view kSearchUrl =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\";
constexpr std::wstring_view kSearchHooks =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\";
constexpr std::wstring_view kSearchKey = L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\";

// The registry calls of the platform, as "operation path".
std::vector<std::wstring> registryCalls(const fake::FakePlatform& platform) {
    std::vector<std::wstring> calls;
    for (const auto& call : platform.calls) {
        if (call.operation == "RegWrite" || call.operation == "RegWriteRaw" ||
            call.operation.starts_with("RegRemove")) {
            calls.push_back(std::wstring(call.operation.begin(), call.operation.end()) + L" " +
                            call.target);
        }
    }
    return calls;
}

TEST(RegistryPlan, EmptyRegistryEndsWithExactlyTheWrittenValues) {
    RepairBench bench;
    bench.press();

    EXPECT_EQ(bench.platform.registry.snapshot().size(), 32u);
    for (const auto& row : kExpectedPlan) {
        if (isWrite(row)) {
            EXPECT_TRUE(rowApplied(bench.platform.registry, row, ForumSiteUrl));
        }
    }
}

TEST(RegistryPlan, HijackedRegistryIsCleanedAndOtherValuesKept) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.press();

    for (const auto& row : kExpectedPlan) {
        EXPECT_TRUE(rowApplied(bench.platform.registry, row, ForumSiteUrl));
    }
    for (const auto path : {L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\window Title",
                            L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"}) {
        EXPECT_FALSE(bench.platform.registry.value(path)) << testing::PrintToString(path);
    }
    const auto kept =
        bench.platform.registry.value(L"HKCU\\Software\\Otro Programa\\Ajustes\\guardado");
    ASSERT_TRUE(kept);
    EXPECT_EQ(std::get<std::wstring>(kept->data), L"intacto");
}

struct StartPageCase {
    std::wstring typed;
    std::wstring_view written;

    friend void PrintTo(const StartPageCase& page, std::ostream* out) {
        *out << testing::PrintToString(page.typed);
    }
};

class StartPageRow : public testing::TestWithParam<StartPageCase> {};

TEST_P(StartPageRow, UserPageFromTheBoxMachinePageAlwaysForumSite) {
    RepairBench bench;
    bench.view.page = GetParam().typed;
    bench.press();

    const auto user = bench.platform.registry.value(kUserStartPage);
    const auto machine = bench.platform.registry.value(kMachineStartPage);
    ASSERT_TRUE(user && machine);
    EXPECT_EQ(std::get<std::wstring>(user->data), GetParam().written);
    EXPECT_EQ(std::get<std::wstring>(machine->data), ForumSiteUrl);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, StartPageRow,
    testing::Values(StartPageCase{L"", ForumSiteUrl},
                    StartPageCase{L"http://mi.pagina.example/", L"http://mi.pagina.example/"},
                    StartPageCase{L"   ", L"   "},
                    StartPageCase{L"www.pagina.example", L"www.pagina.example"}));

TEST(RegistryPlan, SearchKeysHoldOnlyTheirRebuiltValues) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.press();

    const auto& registry = bench.platform.registry;
    EXPECT_EQ(registry.valueNames(kSearchUrl), std::vector<std::wstring>{L""});
    EXPECT_TRUE(registry.subkeyNames(kSearchUrl).empty());
    EXPECT_EQ(registry.valueNames(kSearchHooks),
              std::vector<std::wstring>{L"{CFBFAE00-17A6-11D0-99CB-00C04FD64497}"});
    EXPECT_TRUE(registry.subkeyNames(kSearchHooks).empty());
}

TEST(RegistryPlan, SearchAssistantWithTrailingBlankIsANameOfItsOwn) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.press();

    const auto& registry = bench.platform.registry;
    const auto withBlank = registry.value(std::wstring(kSearchKey) + L"SearchAssistant ");
    const auto withoutBlank = registry.value(std::wstring(kSearchKey) + L"SearchAssistant");
    ASSERT_TRUE(withBlank && withoutBlank);
    EXPECT_EQ(withBlank->name, L"SearchAssistant ");
    EXPECT_EQ(std::get<std::wstring>(withBlank->data), VendorSearchAssistantUrl);
    EXPECT_EQ(withoutBlank->name, L"SearchAssistant");
    EXPECT_EQ(std::get<std::wstring>(withoutBlank->data), L"sin blanco");
}

TEST(RegistryPlan, RowsAreCalledOnceEachInOrder) {
    std::vector<std::wstring> expected;
    for (const auto& row : kExpectedPlan) {
        const std::string operation = operationOf(row);
        expected.push_back(std::wstring(operation.begin(), operation.end()) + L" " +
                           std::wstring(row.path));
    }
    RepairBench bench;
    bench.press();
    EXPECT_EQ(registryCalls(bench.platform), expected);
}

TEST(RegistryPlan, SecondRunRepeatsTheSameRowsAndLeavesTheSameRegistry) {
    RepairBench bench;
    seedHijackedRegistry(bench.platform.registry);
    bench.press();
    const auto afterFirst = bench.platform.registry.snapshot();
    const auto firstCalls = registryCalls(bench.platform);
    bench.platform.calls.clear();
    bench.press();

    EXPECT_EQ(bench.platform.registry.snapshot(), afterFirst);
    EXPECT_EQ(registryCalls(bench.platform), firstCalls);
    EXPECT_TRUE(reportsRun(bench, ForumSiteUrl, 0));
}

struct VendorUrlCase {
    std::wstring_view url;
    std::wstring_view pathAndQuery;

    friend void PrintTo(const VendorUrlCase& url, std::ostream* out) {
        *out << testing::PrintToString(std::wstring(url.url));
    }
};

class VendorUrls : public testing::TestWithParam<VendorUrlCase> {};

// The hosts are the vendor's; the scheme, path and query are fixed, and
// "{SUB_RFC1766}" stays literal.
TEST_P(VendorUrls, KeepTheirFixedSchemePathAndQuery) {
    const auto [url, pathAndQuery] = GetParam();
    ASSERT_TRUE(url.starts_with(L"http://"));
    const auto host = url.substr(7, url.size() - 7 - pathAndQuery.size());
    EXPECT_TRUE(url.ends_with(pathAndQuery));
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find_first_of(L"/?{}"), std::wstring_view::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Plan, VendorUrls,
    testing::Values(
        VendorUrlCase{VendorSearchUrl, L"/isapi/redir.dll?prd=ie&ar=iesearch"},
        VendorUrlCase{VendorDefaultPageUrl, L"/fwlink/?LinkId=69157"},
        VendorUrlCase{VendorCustomizeSearchUrl, L"/{SUB_RFC1766}/srchasst/srchcust.htm"},
        VendorUrlCase{VendorSearchAssistantUrl, L"/{SUB_RFC1766}/srchasst/srchasst.htm"}));

}  // namespace
}  // namespace tovask::test
