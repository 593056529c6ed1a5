#pragma once

#include <string_view>

namespace tovask {

// What a shortcut starts, as far as its arguments are concerned: the browser
// families differ in which options take the next argument as their value.
enum class ShortcutTarget {
    Other,
    InternetExplorer,  // iexplore.exe
    // msedge, chrome and their _proxy, brave, opera, vivaldi, and launcher.exe in an Opera folder
    ChromiumBrowser,
    Firefox,     // firefox, and private_browsing that starts it
    ScriptHost,  // cmd, wscript, cscript, powershell, pwsh, mshta, or a .bat/.cmd/.vbs/.js file
};

// Judged by the file name of a path as a shortcut holds it (environment
// references such as %ProgramFiles% left unexpanded), without regard to case;
// launcher.exe counts as Opera's when any folder on its path starts with
// "Opera" ("Opera", "Opera GX").
ShortcutTarget classifyShortcutTarget(std::wstring_view path);

bool isBrowser(ShortcutTarget target);

// The browser a path starts, as people know it ("Google Chrome"), judged as
// classifyShortcutTarget judges; empty for any other program.
std::wstring_view browserNameOf(std::wstring_view path);

// Whether a shortcut's file name holds a browser's name as whole words:
// Chrome, Edge, Firefox, Internet Explorer, Opera, Brave or Vivaldi
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
