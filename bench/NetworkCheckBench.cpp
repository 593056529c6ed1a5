// Times "/check /network" against "/check" for every user, in the program's
// own process, on the Wine prefix's registry seeded with three users that
// each have a proxy and two network adapters.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Statistics.h"
#include "bench/TimingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "text/RegistryEncoding.h"

namespace {

using tovask::RegistryValue;
using tovask::RegistryView;
using tovask::bench::milliseconds;

constexpr int kRounds = 20;
const std::wstring kUsers[] = {L"S-1-5-21-7001-7002-7003-1001", L"S-1-5-21-7001-7002-7003-1002",
                               L"S-1-5-21-7001-7002-7003-1003"};
const std::wstring kAdapters =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const std::wstring kAdapterNames[] = {L"{0BE0C001-7E57-4A00-9000-000000000001}",
                                      L"{0BE0C001-7E57-4A00-9000-000000000002}"};

void seed(tovask::PlatformOps& platform) {
    for (std::size_t i = 0; i < std::size(kUsers); ++i) {
        const auto settings =
            L"HKU\\" + kUsers[i] +
            L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\";
        platform.RegWriteRaw(settings, L"ProxyEnable", {tovask::regtype::kDword, {1, 0, 0, 0}},
                             RegistryView::Default);
        const std::wstring proxy =
            i == 0 ? L"127.0.0.1:1" : L"proxy" + std::to_wstring(i) + L".example:8080";
        platform.RegWriteRaw(settings, L"ProxyServer", tovask::stringValue(proxy),
                             RegistryView::Default);
    }
    platform.RegWriteRaw(kAdapters + kAdapterNames[0] + L"\\", L"NameServer",
                         tovask::stringValue(L"85.255.112.36,8.8.8.8"), RegistryView::Default);
    platform.RegWriteRaw(kAdapters + kAdapterNames[1] + L"\\", L"DhcpNameServer",
                         tovask::stringValue(L"192.168.1.1"), RegistryView::Default);
}

void unseed(tovask::PlatformOps& platform) {
    for (const auto& user : kUsers) {
        platform.RegDeleteIn(L"HKU\\" + user + L"\\", RegistryView::Default);
    }
    for (const auto& adapter : kAdapterNames) {
        platform.RegDeleteIn(kAdapters + adapter + L"\\", RegistryView::Default);
    }
}

// What the network check reads: each user's Internet settings, each adapter's
// name servers and the table of listening sockets.
void readNetworkPlaces(tovask::PlatformOps& platform) {
    for (const auto& user : kUsers) {
        platform.RegReadTree(
            L"HKU\\" + user +
                L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\",
            RegistryView::Default);
    }
    for (const auto& adapter : kAdapterNames) {
        platform.RegReadTree(kAdapters + adapter + L"\\", RegistryView::Default);
    }
    platform.ListeningSockets();
}

}  // namespace

int main() {
    tovask::Win32Platform real;
    tovask::bench::TimingPlatform platform(real);
    seed(platform);
    // As the console asks: "/check /allusers" offers no kind, "/check /allusers /network"
    // the network one.
    const tovask::RunRequest plain{L"", true, {}};
    const tovask::RunRequest network{L"", true, {tovask::FindingKind::Network}};
    tovask::RecordingView view;
    tovask::BrowserRepair repair(platform, view, tovask::everyOffered);
    repair.loadPaths();
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { repair.checkWhatNeedsRepair(network); },
        [&] { repair.checkWhatNeedsRepair(plain); }, [&] { readNetworkPlaces(real); });
    unseed(platform);
    std::printf(
        "check for every user, three users with a proxy each and two adapters (medians of %d "
        "rounds): /check %.2f ms, /check /network %.2f ms\n",
        kRounds, times.without, times.with);
    tovask::bench::printAgainstFloor(times);
    const auto sockets = platform.tallies["ListeningSockets"];
    std::printf("  listening-socket table: %d reads in %d checks, %.3f ms per read\n",
                sockets.calls, 2 * kRounds,
                sockets.calls == 0 ? 0.0 : milliseconds(sockets.total) / sockets.calls);
    return 0;
}
