#pragma once

#include <string_view>

namespace tovask {

// What a shortcut starts, as far as its arguments are concerned: the browser
// families differ in which options take the next argument as their value.
enum class ShortcutTarget {
    Other,
    InternetExplorer,  // iexplore.exe
    // msedge, chrome and their _proxy, chromium, brave, opera, vivaldi, and
    // launcher.exe in an Opera folder, browser.exe in a Yandex one
    ChromiumBrowser,
    Firefox,     // firefox, and private_browsing that starts it
    ScriptHost,  // cmd, wscript, cscript, powershell, pwsh, mshta, or a .bat/.cmd/.vbs/.js file
};

struct BrowserProgram;

// The browser program a path names, as a shortcut holds it (environment
// references such as %ProgramFiles% left unexpanded), by its file name
// without regard to case; a generic name (launcher.exe, browser.exe) counts
// as the browser's only when a folder on its path starts with the browser's
// folder ("Opera", "Opera GX"), and chrome.exe in a Chromium folder is
// Chromium's. None for any other program.
const BrowserProgram* browserProgramOf(std::wstring_view path);

// Judged as browserProgramOf judges, then by the file name alone.
ShortcutTarget classifyShortcutTarget(std::wstring_view path);

bool isBrowser(ShortcutTarget target);

// The browser a path starts, as people know it ("Google Chrome"); empty for
// any other program.
std::wstring_view browserNameOf(std::wstring_view path);

// Whether a shortcut's file name holds a browser's name as whole words:
// Chrome, Chromium, Edge, Firefox, Internet Explorer, Opera, Brave, Vivaldi
// or Yandex
// ("Google Chrome.lnk", "Opera GX.lnk", but not "Knowledge.lnk").
bool isNamedAsBrowser(std::wstring_view shortcutFileName);

// Whether a shortcut's file name is one a browser's installer or the browser
// itself gives: the browser's name alone ("Google Chrome.lnk", "Firefox.lnk",
// "Navegación privada de Firefox.lnk"), or after a profile's name as the
// browser names a profile's shortcut ("Ana - Chrome.lnk"), without regard to
// case and with the " (2)" the shell adds to a second one; a name the user
// gives ("Gmail.lnk", "Google Chrome - copia.lnk") is not.
bool isBrowsersOwnShortcutName(std::wstring_view shortcutFileName);

}  // namespace tovask
