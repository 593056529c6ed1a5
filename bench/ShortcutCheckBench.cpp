// Times the check of every user ("/check /allusers") without and with the
// shortcut findings counted ("/shortcuts"), on the Wine prefix seeded with
// three users' profiles holding 400 shortcuts, 20 of them hijacked, in their
// Desktops, Start menus and pinned taskbars; interleaved so that both see the
// same machine. With --report it prints the last report of /check /shortcuts.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/Statistics.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/files/ShortcutFiles.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"

namespace {

constexpr int kRounds = 10;
constexpr int kProfiles = 3;
constexpr int kShortcuts = 400;
constexpr int kHijackedEvery = 20;  // one in twenty: 20 of 400
constexpr std::wstring_view kProfileList =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";

std::wstring sidOf(int profile) {
    return L"S-1-5-21-7-7-7-" + std::to_wstring(1001 + profile);
}

// Where the n-th shortcut of a profile goes: its Desktop, a folder of its
// Start menu, or its pinned taskbar.
std::wstring folderFor(const std::wstring& profile, int n) {
    const std::wstring roaming = profile + L"\\AppData\\Roaming\\Microsoft";
    switch (n % 4) {
        case 0:
            return profile + L"\\Desktop";
        case 1:
            return roaming + L"\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
        default:
            return roaming + L"\\Windows\\Start Menu\\Programs\\Programa " +
                   std::to_wstring(n % 10);
    }
}

bool seed(tovask::Win32Platform& platform, const std::wstring& root,
          std::vector<std::wstring>& shortcuts) {
    const std::wstring chrome = L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
    for (int profile = 0; profile < kProfiles; ++profile) {
        const std::wstring folder = root + L"\\usuario" + std::to_wstring(profile);
        const std::wstring sid = sidOf(profile);
        if (platform.RegWrite(std::wstring(kProfileList) + sid + L"\\ProfileImagePath", folder,
                              tovask::RegistryType::String) ||
            platform.RegWrite(L"HKU\\" + sid + L"\\Software\\Tovask", L"",
                              tovask::RegistryType::String)) {
            return false;
        }
    }
    for (int n = 0; n < kShortcuts; ++n) {
        const std::wstring profile = root + L"\\usuario" + std::to_wstring(n % kProfiles);
        const std::wstring folder = folderFor(profile, n / kProfiles);
        std::filesystem::create_directories(folder);
        const bool hijacked = n % kHijackedEvery == 0;
        tovask::ShortcutContent content;
        content.target = hijacked || n % 2 ? chrome : L"C:\\Windows\\notepad.exe";
        content.arguments = hijacked ? L"--profile-directory=Default http://buscar.example/?id=" +
                                           std::to_wstring(n)
                                     : L"--profile-directory=Default";
        content.iconPath = content.target;
        // A hijacked one named as the browser's own, whose addresses offend.
        const std::wstring name = hijacked ? L"\\Google Chrome (" + std::to_wstring(n) + L").lnk"
                                           : L"\\Acceso " + std::to_wstring(n) + L".lnk";
        if (tovask::win32::createShortcut(folder + name, content)) {
            return false;
        }
        shortcuts.push_back(folder + name);
    }
    return true;
}

void unseed(tovask::Win32Platform& platform, const std::wstring& root) {
    for (int profile = 0; profile < kProfiles; ++profile) {
        platform.RegDelete(std::wstring(kProfileList) + sidOf(profile) + L"\\");
        platform.RegDelete(L"HKU\\" + sidOf(profile) + L"\\");
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

// As /check /allusers, with /shortcuts or without.
void check(tovask::BrowserRepair& repair, bool shortcuts) {
    tovask::RunRequest request{L"", true, {}};
    if (shortcuts) {
        request.offeredKinds.insert(tovask::FindingKind::Shortcut);
    }
    repair.checkWhatNeedsRepair(request);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool report = argc > 1 && std::wstring_view(argv[1]) == L"--report";
    tovask::Win32Platform platform;
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    const std::wstring root = std::wstring(temporary, length) + L"TovaskBancoAccesos";
    std::vector<std::wstring> seeded;
    if (!seed(platform, root, seeded)) {
        std::printf("shortcut check: could not seed the profiles under %ls\n", root.c_str());
        unseed(platform, root);
        return 1;
    }
    tovask::RecordingView view;
    tovask::BrowserRepair repair(platform, view, tovask::everyOffered);
    repair.loadPaths();
    const auto times = tovask::bench::timeAgainstFloor(
        kRounds, [&] { check(repair, true); }, [&] { check(repair, false); },
        [&] {
            for (const auto& shortcut : seeded) {
                platform.ReadShortcut(shortcut);
            }
        });
    unseed(platform, root);
    if (report) {
        for (const auto& line : view.lines) {
            std::printf("%ls\n", line.c_str());
        }
    }
    std::printf(
        "check of every user, %d shortcuts (%d hijacked) in 3 users' profiles (medians of %d "
        "rounds): /check %.1f ms, /check /shortcuts %.1f ms\n",
        kShortcuts, kShortcuts / kHijackedEvery, kRounds, times.without, times.with);
    tovask::bench::printAgainstFloor(times);
    return 0;
}
