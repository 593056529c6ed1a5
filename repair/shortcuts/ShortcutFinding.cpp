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

std::vector<bool> offendingBrowserArguments(const std::vector<CommandLineArgument>& split,
                                            ShortcutTarget target) {
    std::vector<bool> offending(split.size(), false);
    for (std::size_t i = 0; i < split.size(); ++i) {
        const auto name = optionName(split[i].value);
        if (!name) {
            offending[i] = isWebAddress(split[i].value);
        } else if (startsWithOneOf(*name, kExtensionLoadingOptions)) {
            offending[i] = true;
        } else if (target != ShortcutTarget::Firefox || i + 1 == split.size()) {
            continue;
        } else if (isOneOf(*name, kFirefoxProfileOptions)) {
            ++i;  // the value names a profile, whatever it looks like
        } else if (isOneOf(*name, kFirefoxAddressOptions) && isWebAddress(split[i + 1].value)) {
            // Without its address the option would take whatever follows as one.
            offending[i] = offending[i + 1] = true;
            const auto previous = i > 0 ? optionName(split[i - 1].value) : std::nullopt;
            if (previous && equalsIgnoringCase(*previous, L"osint")) {
                offending[i - 1] = true;
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
