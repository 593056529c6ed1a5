#include "repair/commands/ShortcutTarget.h"

#include <algorithm>
#include <array>
#include <string>

#include "repair/texts/BrowserNames.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

struct KnownProgram {
    std::wstring_view fileName;
    ShortcutTarget target;
    std::wstring_view browser = {};
};

constexpr std::array kKnownPrograms = {
    KnownProgram{L"iexplore.exe", ShortcutTarget::InternetExplorer, texts::kInternetExplorer},
    KnownProgram{L"msedge.exe", ShortcutTarget::ChromiumBrowser, texts::kEdge},
    KnownProgram{L"msedge_proxy.exe", ShortcutTarget::ChromiumBrowser, texts::kEdge},
    KnownProgram{L"chrome.exe", ShortcutTarget::ChromiumBrowser, texts::kChrome},
    KnownProgram{L"chrome_proxy.exe", ShortcutTarget::ChromiumBrowser, texts::kChrome},
    KnownProgram{L"brave.exe", ShortcutTarget::ChromiumBrowser, texts::kBrave},
    KnownProgram{L"opera.exe", ShortcutTarget::ChromiumBrowser, texts::kOpera},
    KnownProgram{L"vivaldi.exe", ShortcutTarget::ChromiumBrowser, texts::kVivaldi},
    KnownProgram{L"firefox.exe", ShortcutTarget::Firefox, texts::kFirefox},
    KnownProgram{L"private_browsing.exe", ShortcutTarget::Firefox, texts::kFirefox},
    KnownProgram{L"cmd.exe", ShortcutTarget::ScriptHost},
    KnownProgram{L"wscript.exe", ShortcutTarget::ScriptHost},
    KnownProgram{L"cscript.exe", ShortcutTarget::ScriptHost},
    KnownProgram{L"powershell.exe", ShortcutTarget::ScriptHost},
    KnownProgram{L"pwsh.exe", ShortcutTarget::ScriptHost},
    KnownProgram{L"mshta.exe", ShortcutTarget::ScriptHost},
};

constexpr std::array kScriptExtensions = {L".bat", L".cmd", L".vbs", L".js"};

// In upper case, as foldedCase gives text, each framed by the blanks that
// make it a whole word.
constexpr std::array kBrowserNameWords = {
    L" CHROME ", L" EDGE ",  L" FIREFOX ", L" INTERNET EXPLORER ",
    L" OPERA ",  L" BRAVE ", L" VIVALDI "};

// As browsers' installers, and the browsers themselves, name their shortcuts,
// in the languages they ship that name them otherwise.
constexpr std::array<std::wstring_view, 33> kBrowsersOwnShortcutNames = {
    L"Google Chrome",
    L"Google Chrome Beta",
    L"Google Chrome Dev",
    L"Google Chrome Canary",
    L"Chrome",
    L"Chromium",
    L"Microsoft Edge",
    L"Microsoft Edge Beta",
    L"Microsoft Edge Dev",
    L"Microsoft Edge Canary",
    L"Edge",
    L"Firefox",
    L"Mozilla Firefox",
    L"Firefox Developer Edition",
    L"Firefox Nightly",
    L"Firefox Private Browsing",
    L"Navegación privada de Firefox",
    L"Navegación privada con Firefox",
    L"Navegació privada del Firefox",
    L"Internet Explorer",
    L"Internet Explorer (No Add-ons)",
    L"Internet Explorer (sin complementos)",
    L"Internet Explorer (64-bit)",
    L"Internet Explorer (64 bits)",
    L"Launch Internet Explorer Browser",
    L"Opera",
    L"Opera Browser",
    L"Opera GX",
    L"Opera GX Browser",
    L"Brave",
    L"Brave Beta",
    L"Brave Nightly",
    L"Vivaldi"};

bool isOperaLauncher(std::wstring_view folders, std::wstring_view fileName) {
    if (!equalsIgnoringCase(fileName, L"launcher.exe")) {
        return false;
    }
    const auto folded = foldedCase(folders);
    for (auto at = folded.find(L"OPERA"); at != std::wstring::npos;
         at = folded.find(L"OPERA", at + 1)) {
        if (at == 0 || folded[at - 1] == L'\\' || folded[at - 1] == L'/') {
            return true;
        }
    }
    return false;
}

// The name without the " (2)" the shell adds when the folder already holds it.
std::wstring_view withoutCopyNumber(std::wstring_view name) {
    const auto open = name.rfind(L" (");
    if (open == std::wstring_view::npos || !name.ends_with(L')')) {
        return name;
    }
    const auto number = name.substr(open + 2, name.size() - open - 3);
    const bool numbered = !number.empty() && std::ranges::all_of(number, [](wchar_t c) {
        return c >= L'0' && c <= L'9';
    });
    return numbered ? name.substr(0, open) : name;
}

bool isBrowsersOwnName(std::wstring_view name) {
    return std::ranges::any_of(kBrowsersOwnShortcutNames, [name](std::wstring_view own) {
        return equalsIgnoringCase(name, own);
    });
}

// The path without the blanks and quotes around it, split at its last slash.
struct SplitPath {
    std::wstring_view folders;  // empty when the path names a file alone
    std::wstring_view fileName;
};

SplitPath splitPath(std::wstring_view path) {
    const auto first = path.find_first_not_of(L" \t\"");
    path = first == std::wstring_view::npos ? std::wstring_view{} : path.substr(first);
    path = path.substr(0, path.find_last_not_of(L" \t\"") + 1);
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos
               ? SplitPath{{}, path}
               : SplitPath{path.substr(0, slash), path.substr(slash + 1)};
}

const KnownProgram* knownProgram(std::wstring_view fileName) {
    const auto known = std::ranges::find_if(kKnownPrograms, [&](const KnownProgram& program) {
        return equalsIgnoringCase(fileName, program.fileName);
    });
    return known == kKnownPrograms.end() ? nullptr : &*known;
}

}  // namespace

ShortcutTarget classifyShortcutTarget(std::wstring_view path) {
    const auto [folders, fileName] = splitPath(path);
    if (const auto* known = knownProgram(fileName)) {
        return known->target;
    }
    if (!folders.empty() && isOperaLauncher(folders, fileName)) {
        return ShortcutTarget::ChromiumBrowser;
    }
    const bool isScript = std::ranges::any_of(kScriptExtensions, [fileName](auto extension) {
        return endsWithIgnoringCase(fileName, extension);
    });
    return isScript ? ShortcutTarget::ScriptHost : ShortcutTarget::Other;
}

std::wstring_view browserNameOf(std::wstring_view path) {
    const auto [folders, fileName] = splitPath(path);
    if (const auto* known = knownProgram(fileName)) {
        return known->browser;
    }
    return !folders.empty() && isOperaLauncher(folders, fileName) ? texts::kOpera
                                                                  : std::wstring_view{};
}

bool isBrowser(ShortcutTarget target) {
    return target != ShortcutTarget::Other && target != ShortcutTarget::ScriptHost;
}

bool isNamedAsBrowser(std::wstring_view shortcutFileName) {
    std::wstring words = L" ";
    for (const wchar_t c : foldedCase(shortcutFileName)) {
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) {
            words += c;
        } else if (words.back() != L' ') {
            words += L' ';
        }
    }
    words += L' ';
    return std::ranges::any_of(kBrowserNameWords, [&words](std::wstring_view name) {
        return words.find(name) != std::wstring::npos;
    });
}

bool isBrowsersOwnShortcutName(std::wstring_view shortcutFileName) {
    constexpr std::wstring_view kShortcutExtension = L".lnk";
    auto name = shortcutFileName;
    if (endsWithIgnoringCase(name, kShortcutExtension)) {
        name.remove_suffix(kShortcutExtension.size());
    }
    name = withoutCopyNumber(name);
    constexpr std::wstring_view kProfileSeparator = L" - ";
    const auto profile = name.rfind(kProfileSeparator);
    return isBrowsersOwnName(name) ||
           (profile != std::wstring_view::npos &&
            isBrowsersOwnName(name.substr(profile + kProfileSeparator.size())));
}

}  // namespace tovask
