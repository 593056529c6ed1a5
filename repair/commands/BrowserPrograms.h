#pragma once

#include <array>
#include <string_view>

#include "repair/commands/ShortcutTarget.h"
#include "repair/texts/BrowserNames.h"

namespace tovask {

// A browser's program as Windows starts it, and the browser people know it as.
struct BrowserProgram {
    std::wstring_view fileName;
    std::wstring_view browser;
    ShortcutTarget family;  // how it reads its arguments
    // Where the file name is one other programs have too: the start of the
    // name of a folder on the program's path ("Opera GX" starts with "Opera").
    std::wstring_view folder = {};
};

// The first row of a file name is what that name alone says; a row with a
// folder names the program only inside it.
inline constexpr std::array kBrowserPrograms = {
    BrowserProgram{L"iexplore.exe", texts::kInternetExplorer, ShortcutTarget::InternetExplorer},
    BrowserProgram{L"msedge.exe", texts::kEdge, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"msedge_proxy.exe", texts::kEdge, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"chrome.exe", texts::kChrome, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"chrome_proxy.exe", texts::kChrome, ShortcutTarget::ChromiumBrowser},
    // Chromium's builds keep Chrome's program name in a folder of their own.
    BrowserProgram{L"chrome.exe", texts::kChromium, ShortcutTarget::ChromiumBrowser, L"Chromium"},
    BrowserProgram{L"chromium.exe", texts::kChromium, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"brave.exe", texts::kBrave, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"opera.exe", texts::kOpera, ShortcutTarget::ChromiumBrowser},
    // What Opera's shortcuts start, and it starts opera.exe.
    BrowserProgram{L"launcher.exe", texts::kOpera, ShortcutTarget::ChromiumBrowser, L"Opera"},
    BrowserProgram{L"vivaldi.exe", texts::kVivaldi, ShortcutTarget::ChromiumBrowser},
    BrowserProgram{L"browser.exe", texts::kYandex, ShortcutTarget::ChromiumBrowser, L"Yandex"},
    BrowserProgram{L"firefox.exe", texts::kFirefox, ShortcutTarget::Firefox},
    BrowserProgram{L"private_browsing.exe", texts::kFirefox, ShortcutTarget::Firefox},
};

// The program whose process is the browser itself: the first the table
// names for it; none for a browser it does not know.
constexpr std::wstring_view browserProcessOf(std::wstring_view browser) {
    for (const auto& program : kBrowserPrograms) {
        if (program.browser == browser) {
            return program.fileName;
        }
    }
    return {};
}

}  // namespace tovask
