#include "repair/shortcuts/ShortcutFinding.h"

#include <algorithm>
#include <array>

#include "repair/shortcuts/CommandLineArguments.h"
#include "repair/shortcuts/ShortcutTarget.h"
#include "repair/shortcuts/ShortcutTexts.h"
#include "repair/shortcuts/WebAddress.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array kExtensionLoadingOptions = {L"load-extension=", L"disable-extensions-except="};
constexpr std::array kFirefoxAddressOptions = {L"url", L"new-tab", L"new-window"};
constexpr std::array kFirefoxProfileOptions = {L"p", L"profile"};

// Browsers on Windows take "--", "-" and "/" before an option's name.
std::optional<std::wstring_view> optionName(std::wstring_view argument) {
    if (argument.starts_with(L"--")) {
        return argument.substr(2);
    }
    if (argument.starts_with(L'-') || argument.starts_with(L'/')) {
        return argument.substr(1);
    }
    return std::nullopt;
}

bool isOneOf(std::wstring_view name, const auto& names) {
    return std::ranges::any_of(
        names, [name](std::wstring_view known) { return equalsIgnoringCase(name, known); });
}

bool startsWithOneOf(std::wstring_view name, const auto& prefixes) {
    return std::ranges::any_of(prefixes, [name](std::wstring_view prefix) {
        return equalsIgnoringCase(name.substr(0, prefix.size()), prefix);
    });
}

// An argument as the browser reads it, and the command line's argument it
// comes from.
struct BrowserArgument {
    std::wstring_view text;
    std::size_t from;
};

// Where Firefox divides an option from its value: "-name=value",
// "--name=value" and "/name:value"; npos where it reads the argument whole.
std::size_t firefoxValueSeparator(std::wstring_view text) {
    if (text.starts_with(L'/')) {
        return text.find(L':');
    }
    return text.starts_with(L'-') ? text.find(L'=') : std::wstring_view::npos;
}

// Other browsers read each argument whole.
std::vector<BrowserArgument> browserArguments(const std::vector<CommandLineArgument>& split,
                                              ShortcutTarget target) {
    std::vector<BrowserArgument> arguments;
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::wstring_view text = split[i].value;
        const auto separator = target == ShortcutTarget::Firefox ? firefoxValueSeparator(text)
                                                                 : std::wstring_view::npos;
        if (separator == std::wstring_view::npos) {
            arguments.push_back({text, i});
        } else {
            arguments.push_back({text.substr(0, separator), i});
            arguments.push_back({text.substr(separator + 1), i});
        }
    }
    return arguments;
}

std::vector<bool> offendingBrowserArguments(const std::vector<CommandLineArgument>& split,
                                            ShortcutTarget target) {
    std::vector<bool> offending(split.size(), false);
    const auto arguments = browserArguments(split, target);
    const auto offend = [&](std::size_t i) { offending[arguments[i].from] = true; };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto name = optionName(arguments[i].text);
        if (!name) {
            if (isWebAddress(arguments[i].text)) {
                offend(i);
            }
        } else if (startsWithOneOf(*name, kExtensionLoadingOptions)) {
            offend(i);
        } else if (target != ShortcutTarget::Firefox || i + 1 == arguments.size()) {
            continue;
        } else if (isOneOf(*name, kFirefoxProfileOptions)) {
            ++i;  // the value names a profile, whatever it looks like
        } else if (isOneOf(*name, kFirefoxAddressOptions) && isWebAddress(arguments[i + 1].text)) {
            // Without its address the option would take whatever follows as one.
            offend(i);
            offend(i + 1);
            const auto previous = i > 0 ? optionName(arguments[i - 1].text) : std::nullopt;
            if (previous && equalsIgnoringCase(*previous, L"osint")) {
                offend(i - 1);
            }
            ++i;
        }
    }
    return offending;
}

bool looksLikeBrowser(const ShortcutFacts& shortcut) {
    return isNamedAsBrowser(shortcut.fileName) ||
           isBrowser(classifyShortcutTarget(shortcut.iconPath));
}

}  // namespace

std::optional<ShortcutFinding> examineShortcut(const ShortcutFacts& shortcut) {
    const auto target = classifyShortcutTarget(shortcut.target);
    const auto split = splitArguments(shortcut.arguments);
    std::vector<bool> offending(split.size(), false);
    if (isBrowser(target)) {
        offending = offendingBrowserArguments(split, target);
    } else if (target == ShortcutTarget::ScriptHost && looksLikeBrowser(shortcut)) {
        for (std::size_t i = 0; i < split.size(); ++i) {
            offending[i] = holdsWebAddress(split[i].value);
        }
    }
    if (std::ranges::find(offending, true) == offending.end()) {
        return std::nullopt;
    }
    ShortcutFinding finding;
    finding.repairable = isBrowser(target);
    std::vector<bool> keep(split.size());
    for (std::size_t i = 0; i < split.size(); ++i) {
        keep[i] = !offending[i];
        if (offending[i]) {
            finding.offendingArguments.emplace_back(
                shortcut.arguments.substr(split[i].begin, split[i].length));
        }
    }
    if (finding.repairable) {
        finding.repairedArguments = keptArguments(shortcut.arguments, split, keep);
    }
    return finding;
}

std::wstring describeShortcutFinding(const ShortcutFinding& finding) {
    std::wstring text(finding.repairable ? texts::kShortcutAddedArgumentsPrefix
                                         : texts::kShortcutScriptOpensAddressPrefix);
    for (std::size_t i = 0; i < finding.offendingArguments.size(); ++i) {
        text += (i == 0 ? L"" : L" ") + finding.offendingArguments[i];
    }
    if (!finding.repairable) {
        text += texts::kShortcutReportOnlySuffix;
    }
    return text;
}

}  // namespace tovask
