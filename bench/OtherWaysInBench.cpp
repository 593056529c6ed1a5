// Times "/check /all" on the real registry and files of the Wine prefix with
// what the other ways in read seeded, three Chromium profiles with 2 MiB
// Preferences each, 200 extension keys and 300 root certificates, and with
// those places hidden, in the same rounds.
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/HidingPlatform.h"
#include "bench/Statistics.h"
#include "bench/TimingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "repair/certificates/StoredCertificate.h"
#include "repair/findings/FindingKinds.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "text/RegistryEncoding.h"

namespace {

using tovask::RegistryView;

constexpr int kRounds = 5;
constexpr int kProfiles = 3;
constexpr int kExtensionKeys = 200;
constexpr int kRootCertificates = 300;

const std::wstring kExtensions = L"HKLM\\Software\\Google\\Chrome\\Extensions\\";
const std::wstring kRoots = L"HKLM\\SOFTWARE\\Microsoft\\SystemCertificates\\ROOT\\Certificates\\";

// Extension ids are 32 letters from a to p.
std::wstring extensionId(int number) {
    std::wstring id(32, L'a');
    for (std::size_t at = id.size(); number > 0 && at > 0; number /= 16) {
        id[--at] = static_cast<wchar_t>(L'a' + number % 16);
    }
    return id;
}

// A root's certificate, a short sequence of its number: the store lists it
// under its own thumbprint, and the system's certificate library skips it.
std::string rootCertificate(int root) {
    return {'\x30', '\x02', static_cast<char>(root >> 8), static_cast<char>(root & 0xff)};
}

std::wstring rootKey(int root) {
    return kRoots + tovask::thumbprintOf(rootCertificate(root)) + L"\\";
}

std::wstring profileFolder(int profile) {
    const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
    return std::wstring(localAppData ? localAppData : L"C:\\") +
           L"\\Google\\Chrome\\User Data\\Profile " + std::to_wstring(profile + 1);
}

// A profile's preferences: a foreign search provider and start-up pages,
// padded with ordinary settings to 2 MiB.
std::string preferences() {
    std::string text = R"({"default_search_provider_data":{"template_url_data":{"url":)"
                       R"("http://buscar.example/?q={searchTerms}"}},"session":{)"
                       R"("restore_on_startup":4,"startup_urls":["http://inicio.example"]},)"
                       R"("padding":[)";
    while (text.size() < 2 * 1024 * 1024) {
        text += R"({"name":"ajuste","value":"0123456789abcdef0123456789abcdef"},)";
    }
    return text + R"({}]})";
}

void writeFile(const std::wstring& path, const std::string& content) {
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
}

void seed(tovask::PlatformOps& platform) {
    const auto content = preferences();
    for (int profile = 0; profile < kProfiles; ++profile) {
        const auto folder = profileFolder(profile);
        std::filesystem::create_directories(folder);
        writeFile(folder + L"\\Preferences", content);
    }
    for (int key = 0; key < kExtensionKeys; ++key) {
        platform.RegWriteRaw(kExtensions + extensionId(key) + L"\\", L"update_url",
                             tovask::stringValue(L"https://ads.example/crx"),
                             RegistryView::Default);
    }
    // A stored certificate: its one property, the certificate.
    for (int root = 0; root < kRootCertificates; ++root) {
        const auto certificate = rootCertificate(root);
        std::vector<std::uint8_t> blob{32, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0};
        blob.insert(blob.end(), certificate.begin(), certificate.end());
        platform.RegWriteRaw(rootKey(root), L"Blob", {tovask::regtype::kBinary, blob},
                             RegistryView::Default);
    }
}

void unseed(tovask::PlatformOps& platform) {
    for (int profile = 0; profile < kProfiles; ++profile) {
        std::error_code ignored;
        std::filesystem::remove_all(profileFolder(profile), ignored);
    }
    platform.RegDeleteIn(kExtensions, RegistryView::Default);
    for (int root = 0; root < kRootCertificates; ++root) {
        platform.RegDeleteIn(rootKey(root), RegistryView::Default);
    }
}

// What those kinds read: each profile's preferences, the extension keys and the roots.
void readSeededPlaces(tovask::PlatformOps& platform) {
    for (int profile = 0; profile < kProfiles; ++profile) {
        platform.ReadFileContent(profileFolder(profile) + L"\\Preferences", std::size_t{32} << 20);
    }
    platform.RegReadTree(kExtensions, RegistryView::Default);
    platform.RegReadTree(kRoots, RegistryView::Default);
}

}  // namespace

int main() {
    tovask::Win32Platform platform;
    tovask::bench::TimingPlatform timing(platform);
    tovask::bench::HidingPlatform hiding(platform,
                                         {L"\\Chrome\\User Data\\Profile ", kExtensions, kRoots});
    tovask::RecordingView view;
    tovask::BrowserRepair withThem(timing, view, tovask::everyOffered);
    tovask::BrowserRepair withoutThem(hiding, view, tovask::everyOffered);
    withThem.loadPaths();
    withoutThem.loadPaths();
    const tovask::RunRequest all{L"", false, tovask::everyFindingKind()};
    seed(platform);
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { withThem.checkWhatNeedsRepair(all); },
        [&] { withoutThem.checkWhatNeedsRepair(all); }, [&] { readSeededPlaces(platform); });
    std::printf(
        "check /all, 3 profiles with 2 MiB Preferences, %d extension keys and %d root "
        "certificates (medians of %d rounds): without them %.1f ms, with them %.1f ms\n",
        kExtensionKeys, kRootCertificates, kRounds, times.without, times.with);
    tovask::bench::printAgainstFloor(times);
    tovask::bench::printCostliest(timing, kRounds, 4);
    unseed(platform);
    return 0;
}
