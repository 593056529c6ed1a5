#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "repair/commands/BrowserPrograms.h"
#include "repair/texts/BrowserNames.h"

namespace tovask {

// Which of a user's application-data folders a browser keeps its profiles in.
enum class AppDataFolder { Local, Roaming };

// A browser whose profiles the scan reads and the repair puts back.
struct ProfileBrowser {
    std::wstring_view name;
    AppDataFolder base;
    // Below `base`: the folder of `Local State` and the profiles' folders for
    // a Chromium browser, that of the profiles for Firefox.
    std::wstring_view profilesRoot;
    // The program whose process, while it runs, writes the profile's files
    // back from memory: they are changed only while none runs.
    std::wstring_view program;
    // The browser's own page that restores its settings, where it has one.
    std::wstring_view resetPage = {};
};

inline constexpr std::array kChromiumBrowsers = {
    ProfileBrowser{texts::kChrome, AppDataFolder::Local, L"Google\\Chrome\\User Data",
                   browserProcessOf(texts::kChrome), L"chrome://settings/resetProfileSettings"},
    ProfileBrowser{texts::kEdge, AppDataFolder::Local, L"Microsoft\\Edge\\User Data",
                   browserProcessOf(texts::kEdge), L"edge://settings/resetProfileSettings"},
    ProfileBrowser{texts::kBrave, AppDataFolder::Local, L"BraveSoftware\\Brave-Browser\\User Data",
                   browserProcessOf(texts::kBrave), L"brave://settings/resetProfileSettings"},
    ProfileBrowser{texts::kChromium, AppDataFolder::Local, L"Chromium\\User Data",
                   browserProcessOf(texts::kChromium), L"chrome://settings/resetProfileSettings"},
    // Opera keeps its first profile in the folder of Local State itself.
    ProfileBrowser{texts::kOpera, AppDataFolder::Roaming, L"Opera Software\\Opera Stable",
                   browserProcessOf(texts::kOpera), L"opera://settings/resetProfileSettings"},
    ProfileBrowser{texts::kVivaldi, AppDataFolder::Local, L"Vivaldi\\User Data",
                   browserProcessOf(texts::kVivaldi)},
    ProfileBrowser{texts::kYandex, AppDataFolder::Local, L"Yandex\\YandexBrowser\\User Data",
                   browserProcessOf(texts::kYandex)},
};

inline constexpr ProfileBrowser kFirefoxBrowser{texts::kFirefox, AppDataFolder::Roaming,
                                                L"Mozilla\\Firefox\\Profiles",
                                                browserProcessOf(texts::kFirefox)};

static_assert(!kFirefoxBrowser.program.empty() &&
                  std::ranges::none_of(kChromiumBrowsers,
                                       [](const ProfileBrowser& browser) {
                                           return browser.program.empty();
                                       }),
              "each profile's browser has its program");

}  // namespace tovask
