#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// What the rules need of one shortcut, as its shell link holds it.
struct ShortcutFacts {
    std::wstring_view fileName;  // the shortcut's own, e.g. "Google Chrome.lnk"
    std::wstring_view target;    // environment references left unexpanded
    std::wstring_view arguments;
    std::wstring_view iconPath;  // the icon's file, without its index
};

struct ShortcutFinding {
    // A browser's shortcut is repaired by writing `repairedArguments`; a
    // script host's shortcut named or iconed as a browser is only reported.
    bool repairable = false;
    std::vector<std::wstring> offendingArguments;  // each as written in the shortcut
    std::wstring repairedArguments;                // empty when not repairable
    // The addresses of a browser's shortcut not named as the browser's own:
    // the user's shortcut to a site, as likely as not; reported and kept.
    std::vector<std::wstring> siteArguments;

    bool operator==(const ShortcutFinding&) const = default;
};

// A browser's shortcut is a finding when its arguments hold a web address (see
// isWebAddress), open a Chromium web application's window on one
// ("--app=https://..."), or load extensions ("--load-extension=",
// "--disable-extensions-except="). Other options are never bare addresses, so
// installed web applications ("--app-id=") and options with an address as
// value ("--proxy-server=http://...") stay, as does every other argument.
// Firefox's "-url", "-new-tab" and "-new-window" go together with the address
// they take, and "-osint" with such a "-url"; Firefox reads "-name=value",
// "--name=value" and "/name:value" as the option followed by its value, and an
// argument so written goes whole; the value of "-P" and "-profile" is a
// profile, never an address. The addresses offend only in a shortcut named as
// the browser's own (see isBrowsersOwnShortcutName); in another they are
// reported as the user's own, perhaps. A script host's shortcut that is named
// as a browser or takes its icon from one is a report-only finding when any
// argument holds a web address.
std::optional<ShortcutFinding> examineShortcut(const ShortcutFacts& shortcut);

// What the finding holds, for the report line.
std::wstring describeShortcutFinding(const ShortcutFinding& finding);

}  // namespace tovask
