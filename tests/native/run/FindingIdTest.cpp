#include <set>

#include "tests/native/RepairFixture.h"

namespace tovask::test {
namespace {

const std::wstring kChrome = L"HKLM\\Software\\Policies\\Google\\Chrome\\";

std::set<FindingId> idSet(std::span<const Finding> findings) {
    const auto ids = idsOf(findings);
    return {ids.begin(), ids.end()};
}

// Two locks that read alike in the dialog ("Chrome: ajuste impuesto por una
// directiva: http://x.example") keep apart, the same from check to check; the
// answer names one of them, and a lock written while the user reads the
// offer was never offered, so it stays.
TEST(FindingIds, StableAcrossChecksAndApartWhenTheyReadAlike) {
    RepairBench bench;
    bench.platform.registry.addKeysEveryWindowsHas();
    for (const auto* name : {L"HomepageLocation", L"NewTabPageLocation"}) {
        ASSERT_FALSE(
            bench.platform.RegWrite(kChrome + name, L"http://x.example", RegistryType::String));
    }
    bench.load();
    bench.view.repairFindings = true;
    bench.check();
    bench.check();
    ASSERT_EQ(bench.view.questions.size(), 2u);
    EXPECT_EQ(idSet(bench.view.questions[0]).size(), 2u);
    EXPECT_EQ(idSet(bench.view.questions[0]), idSet(bench.view.questions[1]));

    bench.view.uncheckedEnding = L"NewTabPageLocation";
    bench.view.whileAsked = [&] {
        bench.platform.RegWrite(kChrome + L"RestoreOnStartup", 4, RegistryType::Dword);
    };
    bench.press();
    EXPECT_FALSE(bench.platform.registry.value(kChrome + L"HomepageLocation"));
    EXPECT_TRUE(bench.platform.registry.value(kChrome + L"NewTabPageLocation"));
    EXPECT_TRUE(bench.platform.registry.value(kChrome + L"RestoreOnStartup"));
}

// An id is its kind, place and entry as Windows compares them: case aside.
TEST(FindingIds, FollowKindPlaceAndEntryOnly) {
    const Finding lock{FindingKind::BrowserPolicy, L"Chrome", L"HKLM\\A\\B", L"1"};
    auto sameWords = lock;
    sameWords.place = L"hklm\\a\\b";
    sameWords.holds = L"2";
    auto otherEntry = lock;
    otherEntry.entry = L"x";
    auto otherKind = lock;
    otherKind.kind = FindingKind::Network;
    EXPECT_EQ(lock.id(), sameWords.id());
    EXPECT_EQ(idSet(std::vector{lock, otherEntry, otherKind}).size(), 3u);
    EXPECT_EQ(idText(FindingId{0xAB}), L"00000000000000ab");
}

}  // namespace
}  // namespace tovask::test
