// What a removal takes is what was judged and what the backup keeps: a key
// swapped for a link is left, and what changed while the user was asked is
// backed up as it was taken.
#include <gtest/gtest.h>

#include "tests/native/PublishedRoot.h"
#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::wstring kPlanKey =
    L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\";
const std::wstring kChromePolicies = L"HKLM\\Software\\Policies\\Google\\Chrome\\";
const std::wstring kHomepagePolicy = kChromePolicies + L"HomepageLocation";
const std::wstring kSettings =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
const std::wstring kRoot =
    L"HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\"
    L"C864484869D41D2B0D32319C5A62F9315AAF2CBD\\";
// A key the run has no business with, holding the names the run removes.
const std::wstring kLegitimate = L"HKLM\\Software\\Vendor\\Settings\\";

void seedHijacks(RepairBench& bench) {
    auto& registry = bench.platform.registry;
    registry.addKeysEveryWindowsHas();
    seedHijackedRegistry(registry);
    registry.write(kHomepagePolicy, L"http://buscar.example", RegistryType::String);
    registry.write(kSettings + L"AutoConfigURL", L"data:,x", RegistryType::String);
    registry.writeRaw(kRoot, L"Blob", publishedRootBlob(), RegistryView::Default);
    for (const auto* name : {L"HomepageLocation", L"AutoConfigURL", L"HomePage", L"Blob"}) {
        registry.write(kLegitimate + name, L"de la empresa", RegistryType::String);
    }
    bench.view.repairFindings = true;
}

struct SwapCase {
    std::string name;
    std::string removal;      // the platform call the swap comes just before
    std::wstring target;      // what that call names, as the error line names it
    std::wstring swappedKey;  // the key that becomes a link
};

class SwappedForALink : public testing::TestWithParam<SwapCase> {};

TEST_P(SwappedForALink, JustBeforeItsRemovalIsReportedAndTheLinkedKeyKept) {
    RepairBench bench;
    seedHijacks(bench);
    const auto legitimate = bench.platform.registry.readTree(kLegitimate, RegistryView::Default);
    bench.platform.addFault([&](const fake::RecordedCall& call, std::size_t) {
        if (call.operation == GetParam().removal && call.target == GetParam().target) {
            bench.platform.registry.link(GetParam().swappedKey, kLegitimate);
        }
        return std::optional<std::error_code>{};
    });
    bench.press();
    EXPECT_EQ(bench.platform.registry.readTree(kLegitimate, RegistryView::Default).value(),
              legitimate.value());
    EXPECT_TRUE(anyLineHas(bench.view.lines, errorLineStart(GetParam().target) +
                                                 L"es un vínculo que lleva a otro lugar"))
        << testing::PrintToString(bench.view.lines);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EveryWayOfRemoving, SwappedForALink,
    testing::Values(
        SwapCase{"ThePlansKey", "RegRemoveKeyAsRead", kPlanKey, kPlanKey},
        SwapCase{"APolicyValuesKey", "RegRemoveValueAsRead", kHomepagePolicy, kChromePolicies},
        SwapCase{"ANetworkValuesKey", "RegRemoveValueAsRead", kSettings + L"AutoConfigURL", kSettings},
        SwapCase{"ACertificatesKey", "RegRemoveKeyAsRead", kRoot, kRoot}),
    [](const testing::TestParamInfo<SwapCase>& info) { return info.param.name; });
// clang-format on

TEST(SwappedForALink, BelowARemovedKeyLeavesTheWholeKey) {
    RepairBench bench;
    seedHijacks(bench);
    bench.platform.registry.link(kPlanKey + L"Deep\\", kLegitimate);
    bench.press();
    EXPECT_TRUE(bench.platform.registry.value(kPlanKey + L"HomePage"));
    EXPECT_TRUE(bench.platform.registry.value(kLegitimate + L"HomePage"));
    EXPECT_TRUE(reportsFailureOf(bench.view.lines, kPlanKey));
}

TEST(SwappedForALink, AfterTheRepairIsNeverWrittenThroughByTheUndo) {
    RepairBench bench;
    seedHijacks(bench);
    bench.press();
    ASSERT_FALSE(bench.platform.registry.value(kHomepagePolicy));
    bench.platform.registry.link(kChromePolicies, kLegitimate);
    bench.undo();
    EXPECT_EQ(bench.platform.registry.value(kLegitimate + L"HomepageLocation")->data,
              decltype(fake::StoredValue::data){L"de la empresa"});
    EXPECT_TRUE(anyLineHas(bench.view.lines, L"es un vínculo que lleva a otro lugar"));
}

struct ChangeCase {
    std::string name;
    std::function<void(fake::FakeRegistry&)> whileAsked;
    std::wstring valuePath;
    std::optional<std::wstring> afterUndo;  // the text the undo puts back, if any
};

class ChangedWhileAsked : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedWhileAsked, IsPutBackByTheUndoAsTheRepairTookIt) {
    RepairBench bench;
    seedHijacks(bench);
    bench.view.whileAsked = [&] { GetParam().whileAsked(bench.platform.registry); };
    bench.press();
    EXPECT_FALSE(bench.platform.registry.value(GetParam().valuePath));
    bench.undo();
    const auto restored = bench.platform.registry.value(GetParam().valuePath);
    ASSERT_EQ(restored.has_value(), GetParam().afterUndo.has_value());
    if (restored) {
        EXPECT_EQ(std::get<std::wstring>(restored->data), *GetParam().afterUndo);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    WhatTheRemovalTakes, ChangedWhileAsked,
    testing::Values(
        ChangeCase{"AValueGivenAnotherAddress", [](fake::FakeRegistry& registry) { registry.write(kHomepagePolicy, L"http://otro.example", RegistryType::String); }, kHomepagePolicy, L"http://otro.example"},
        ChangeCase{"AValueRemovedByAnother", [](fake::FakeRegistry& registry) { registry.remove(kHomepagePolicy); }, kHomepagePolicy, std::nullopt},
        ChangeCase{"AValueAddedToARemovedKey", [](fake::FakeRegistry& registry) { registry.write(kRoot + L"Added", L"nuevo", RegistryType::String); }, kRoot + L"Added", L"nuevo"}),
    [](const testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace tovask::test
