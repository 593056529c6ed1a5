#include "repair/commands/ShortcutTarget.h"

#include <algorithm>
#include <array>
#include <string>

#include "repair/commands/BrowserPrograms.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array kScriptHosts = {L"cmd.exe",        L"wscript.exe", L"cscript.exe",
                                     L"powershell.exe", L"pwsh.exe",    L"mshta.exe"};

constexpr std::array kScriptExtensions = {L".bat", L".cmd", L".vbs", L".js"};

// In upper case, as foldedCase gives text, each framed by the blanks that
// make it a whole word.
constexpr std::array kBrowserNameWords = {L" CHROME ",  L" CHROMIUM ",          L" EDGE ",
                                          L" FIREFOX ", L" INTERNET EXPLORER ", L" OPERA ",
                                          L" BRAVE ",   L" VIVALDI ",           L" YANDEX "};

// As browsers' installers, and the browsers themselves, name their shortcuts,
// in the languages they ship that name them otherwise.
constexpr std::array<std::wstring_view, 35> kBrowsersOwnShortcutNames = {
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
    L"Vivaldi",
    L"Yandex",
    L"Yandex Browser"};

// Whether a folder on the path starts with the name, as "Opera GX" does with "Opera".
bool liesInFolderStarting(std::wstring_view folders, std::wstring_view name) {
    const auto folded = foldedCase(folders);
    const auto wanted = foldedCase(name);
    for (auto at = folded.find(wanted); at != std::wstring::npos;
         at = folded.find(wanted, at + 1)) {
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

}  // namespace

const BrowserProgram* browserProgramOf(std::wstring_view path) {
    const auto [folders, fileName] = splitPath(path);
    // A folder that tells the program apart outranks the name alone.
    const auto inItsFolder = std::ranges::find_if(kBrowserPrograms, [&](const auto& program) {
        return !program.folder.empty() && equalsIgnoringCase(fileName, program.fileName) &&
               liesInFolderStarting(folders, program.folder);
    });
    if (inItsFolder != kBrowserPrograms.end()) {
        return &*inItsFolder;
    }
    const auto named = std::ranges::find_if(kBrowserPrograms, [&](const auto& program) {
        return program.folder.empty() && equalsIgnoringCase(fileName, program.fileName);
    });
    return named == kBrowserPrograms.end() ? nullptr : &*named;
}

ShortcutTarget classifyShortcutTarget(std::wstring_view path) {
    if (const auto* browser = browserProgramOf(path)) {
        return browser->family;
    }
    const auto fileName = splitPath(path).fileName;
    const bool isScript =
        std::ranges::any_of(kScriptHosts,
                            [&](auto host) { return equalsIgnoringCase(fileName, host); }) ||
        std::ranges::any_of(kScriptExtensions, [&](auto extension) {
            return endsWithIgnoringCase(fileName, extension);
        });
    return isScript ? ShortcutTarget::ScriptHost : ShortcutTarget::Other;
}

std::wstring_view browserNameOf(std::wstring_view path) {
    const auto* browser = browserProgramOf(path);
    return browser ? browser->browser : std::wstring_view{};
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
