// Times "/check /all" on the real registry and files of the Wine prefix with
// twenty Chrome and Edge profiles of 2 MiB Preferences each, listed in their
// Local State, and five Firefox profiles, and with those places hidden, in
// the same rounds; the floor reads the same files bare.
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/HidingPlatform.h"
#include "bench/Statistics.h"
#include "bench/TimingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "repair/findings/FindingKinds.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"

namespace {

constexpr int kRounds = 9;
constexpr int kProfilesEach = 10;
constexpr int kFirefoxProfiles = 5;
constexpr std::size_t kLimit = std::size_t{32} << 20;

std::wstring appData(const wchar_t* variable) {
    const wchar_t* folder = _wgetenv(variable);
    return std::wstring(folder ? folder : L"C:\\");
}

const std::vector<std::wstring> kChromiumRoots = {
    appData(L"LOCALAPPDATA") + L"\\Google\\Chrome\\User Data",
    appData(L"LOCALAPPDATA") + L"\\Microsoft\\Edge\\User Data"};
const std::wstring kFirefoxRoot = appData(L"APPDATA") + L"\\Mozilla\\Firefox\\Profiles";

std::wstring profileName(int profile) {
    return L"Profile " + std::to_wstring(profile + 1);
}

std::wstring firefoxProfile(int profile) {
    return kFirefoxRoot + L"\\perfil" + std::to_wstring(profile) + L".default";
}

// What a hijacked profile holds: the hijacker's search provider and
// start-up pages, padded with ordinary settings to the given size.
std::string padded(std::string text, std::size_t size, const std::string& end) {
    while (text.size() < size) {
        text += R"({"name":"ajuste","value":"0123456789abcdef0123456789abcdef"},)";
    }
    return text + end;
}

std::string preferences() {
    return padded(R"({"default_search_provider_data":{"template_url_data":{"url":)"
                  R"("http://buscar.example/?q={searchTerms}"}},"session":{)"
                  R"("restore_on_startup":4,"startup_urls":["http://inicio.example"]},)"
                  R"("padding":[)",
                  2 * 1024 * 1024, R"({}]})");
}

std::string securePreferences() {
    return padded(R"({"protection":{"macs":{"homepage":"00"},"super_mac":"00"},"padding":[)",
                  16 * 1024, R"({}]})");
}

std::string firefoxPrefs() {
    std::string text =
        "// Mozilla User Preferences\n"
        "user_pref(\"browser.startup.homepage\", \"http://inicio.example\");\n";
    for (int line = 0; text.size() < 256 * 1024; ++line) {
        text += "user_pref(\"ajuste." + std::to_string(line) + "\", \"0123456789abcdef\");\n";
    }
    return text;
}

std::string localState() {
    std::string text = R"({"profile":{"info_cache":{)";
    for (int profile = 0; profile < kProfilesEach; ++profile) {
        std::string name = "Profile " + std::to_string(profile + 1);
        text += (profile ? ",\"" : "\"") + name + R"(":{"name":"Persona"})";
    }
    return text + "}}}";
}

void writeFile(const std::wstring& path, const std::string& content) {
    if (FILE* file = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
}

void seed() {
    const auto chromium = preferences();
    const auto secure = securePreferences();
    for (const auto& root : kChromiumRoots) {
        for (int profile = 0; profile < kProfilesEach; ++profile) {
            const auto folder = root + L"\\" + profileName(profile);
            std::filesystem::create_directories(folder);
            writeFile(folder + L"\\Preferences", chromium);
            writeFile(folder + L"\\Secure Preferences", secure);
        }
        writeFile(root + L"\\Local State", localState());
    }
    const auto firefox = firefoxPrefs();
    for (int profile = 0; profile < kFirefoxProfiles; ++profile) {
        std::filesystem::create_directories(firefoxProfile(profile));
        writeFile(firefoxProfile(profile) + L"\\prefs.js", firefox);
        writeFile(firefoxProfile(profile) + L"\\user.js", "user_pref(\"a\", 1);\n");
    }
}

void unseed() {
    std::error_code ignored;
    for (const auto& root : kChromiumRoots) {
        std::filesystem::remove_all(root, ignored);
    }
    std::filesystem::remove_all(kFirefoxRoot, ignored);
}

// What the profile kind reads: each Local State and profile file, and the
// Firefox profiles' folder listed to find them.
void readSeededPlaces(tovask::PlatformOps& platform) {
    for (const auto& root : kChromiumRoots) {
        platform.ReadFileContent(root + L"\\Local State", kLimit);
        for (int profile = 0; profile < kProfilesEach; ++profile) {
            const auto folder = root + L"\\" + profileName(profile);
            platform.ReadFileContent(folder + L"\\Preferences", kLimit);
            platform.ReadFileContent(folder + L"\\Secure Preferences", kLimit);
        }
    }
    platform.ListFiles(kFirefoxRoot, L".js", {1, 400, 20000});
    for (int profile = 0; profile < kFirefoxProfiles; ++profile) {
        platform.ReadFileContent(firefoxProfile(profile) + L"\\prefs.js", kLimit);
        platform.ReadFileContent(firefoxProfile(profile) + L"\\user.js", kLimit);
    }
}

}  // namespace

int main() {
    tovask::Win32Platform platform;
    tovask::bench::TimingPlatform timing(platform);
    tovask::bench::HidingPlatform hiding(
        platform, {L"\\Chrome\\User Data", L"\\Edge\\User Data", L"\\Firefox\\Profiles"});
    tovask::RecordingView view;
    tovask::BrowserRepair withThem(timing, view, tovask::everyOffered);
    tovask::BrowserRepair withoutThem(hiding, view, tovask::everyOffered);
    withThem.loadPaths();
    withoutThem.loadPaths();
    const tovask::RunRequest all{L"", false, tovask::everyFindingKind()};
    seed();
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { withThem.checkWhatNeedsRepair(all); },
        [&] { withoutThem.checkWhatNeedsRepair(all); }, [&] { readSeededPlaces(platform); });
    std::printf(
        "check /all, %d Chrome and Edge profiles with 2 MiB Preferences and %d Firefox profiles "
        "(medians of %d rounds): without them %.1f ms, with them %.1f ms\n",
        2 * kProfilesEach, kFirefoxProfiles, kRounds, times.without, times.with);
    tovask::bench::printAgainstFloor(times);
    tovask::bench::printCostliest(timing, kRounds, 4);
    unseed();
    return 0;
}
