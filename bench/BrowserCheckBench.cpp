// Times the check of every user ("/check /allusers") without and with the
// browser findings counted ("/browsers"), on the real registry of the Wine
// prefix seeded with three users' hives and 40 policy values across the four
// Chromium browsers and Firefox, interleaved so that both see the same machine.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Statistics.h"
#include "platform/win32/Win32Platform.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"

namespace {

constexpr int kRounds = 10;

// Keys made directly under HKEY_USERS stand for the hives of users who are
// logged on.
constexpr std::array<std::wstring_view, 3> kUserHives = {
    L"HKU\\S-1-5-21-7-7-7-1001", L"HKU\\S-1-5-21-7-7-7-1002", L"HKU\\S-1-5-21-7-7-7-1003"};
constexpr std::array<std::wstring_view, 4> kChromiumKeys = {
    L"Software\\Policies\\Google\\Chrome", L"Software\\Policies\\Microsoft\\Edge",
    L"Software\\Policies\\BraveSoftware\\Brave", L"Software\\Policies\\Chromium"};
constexpr std::array<std::wstring_view, 8> kChromiumValues = {L"HomepageLocation",
                                                              L"NewTabPageLocation",
                                                              L"RestoreOnStartup",
                                                              L"ProxyMode",
                                                              L"ProxyServer",
                                                              L"DefaultSearchProviderSearchURL",
                                                              L"DefaultSearchProviderName",
                                                              L"ExtensionInstallForcelist\\1"};
constexpr std::array<std::wstring_view, 8> kFirefoxValues = {
    L"Homepage\\URL",
    L"Homepage\\Locked",
    L"SearchEngines\\Default",
    L"NewTabPage",
    L"Proxy\\Mode",
    L"Proxy\\HTTPProxy",
    L"Extensions\\Install\\1",
    L"ExtensionSettings\\x@y\\installation_mode"};

// Eight values for each browser, spread over the machine and the three users.
std::vector<std::wstring> seededValues() {
    std::vector<std::wstring> paths;
    std::size_t next = 0;
    const auto spread = [&](std::wstring_view key, std::wstring_view value) {
        const std::wstring hive = next % 4 == 0 ? L"HKLM" : std::wstring(kUserHives[next % 4 - 1]);
        ++next;
        paths.push_back(hive + L"\\" + std::wstring(key) + L"\\" + std::wstring(value));
    };
    for (const auto key : kChromiumKeys) {
        for (const auto value : kChromiumValues) {
            spread(key, value);
        }
    }
    for (const auto value : kFirefoxValues) {
        spread(L"Software\\Policies\\Mozilla\\Firefox", value);
    }
    return paths;
}

// As /check /allusers, with /browsers or without.
void check(tovask::BrowserRepair& repair, bool browsers) {
    tovask::RunRequest request{L"", true, {}};
    if (browsers) {
        request.offeredKinds.insert(tovask::FindingKind::BrowserPolicy);
    }
    repair.checkWhatNeedsRepair(request);
}

// Each browser's policy key in the machine and in each user's hive.
void readPolicyKeys(tovask::PlatformOps& platform) {
    std::vector<std::wstring> hives = {L"HKLM"};
    hives.insert(hives.end(), kUserHives.begin(), kUserHives.end());
    for (const auto& hive : hives) {
        for (const auto key : kChromiumKeys) {
            platform.RegReadTree(hive + L"\\" + std::wstring(key) + L"\\",
                                 tovask::RegistryView::Default);
        }
        platform.RegReadTree(hive + L"\\Software\\Policies\\Mozilla\\Firefox\\",
                             tovask::RegistryView::Default);
    }
}

}  // namespace

int main() {
    tovask::Win32Platform platform;
    const auto values = seededValues();
    for (const auto& path : values) {
        if (const auto error =
                platform.RegWrite(path, L"http://x.example", tovask::RegistryType::String)) {
            std::printf("browser check: could not seed %ls\n", path.c_str());
            return 1;
        }
    }
    tovask::RecordingView view;
    tovask::BrowserRepair repair(platform, view, tovask::everyOffered);
    repair.loadPaths();
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { check(repair, true); }, [&] { check(repair, false); },
        [&] { readPolicyKeys(platform); });
    for (const auto hive : kUserHives) {
        platform.RegDelete(std::wstring(hive) + L"\\");
    }
    for (const auto key : kChromiumKeys) {
        platform.RegDelete(L"HKLM\\" + std::wstring(key) + L"\\");
    }
    platform.RegDelete(L"HKLM\\Software\\Policies\\Mozilla\\");
    std::printf(
        "check of every user, %zu policy values in 3 users' hives and the machine (medians of %d "
        "rounds, %zu report lines): /check %.1f ms, /check /browsers %.1f ms\n",
        values.size(), kRounds, view.lines.size(), times.without, times.with);
    tovask::bench::printAgainstFloor(times);
    return 0;
}
