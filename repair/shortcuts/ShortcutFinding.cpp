#include "repair/shortcuts/ShortcutFinding.h"

#include <algorithm>
#include <array>

#include "repair/commands/BrowserOptions.h"
#include "repair/commands/CommandLineArguments.h"
#include "repair/commands/ShortcutTarget.h"
#include "repair/commands/WebAddress.h"
#include "repair/shortcuts/ShortcutTexts.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::array kFirefoxAddressOptions = {L"url", L"new-tab", L"new-window"};
constexpr std::array kFirefoxProfileOptions = {L"p", L"profile"};

bool isOneOf(std::wstring_view name, const auto& names) {
    return std::ranges::any_of(
        names, [name](std::wstring_view known) { return equalsIgnoringCase(name, known); });
}

// Why an argument offends, the graver last.
enum class Offence { None, OpensAddress, LoadsExtensions };

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

// A Chromium web application's window on an address ("--app=https://...").
bool opensApplicationWindowOnAddress(std::wstring_view optionName) {
    constexpr std::wstring_view kApplication = L"app=";
    return equalsIgnoringCase(optionName.substr(0, kApplication.size()), kApplication) &&
           isWebAddress(optionName.substr(kApplication.size()));
}

std::vector<Offence> browserOffences(const std::vector<CommandLineArgument>& split,
                                     ShortcutTarget target) {
    std::vector<Offence> offences(split.size(), Offence::None);
    const auto arguments = browserArguments(split, target);
    const auto offend = [&](std::size_t i, Offence offence = Offence::OpensAddress) {
        auto& recorded = offences[arguments[i].from];
        recorded = std::max(recorded, offence);
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto name = optionName(arguments[i].text);
        if (!name) {
            if (isWebAddress(arguments[i].text)) {
                offend(i);
            }
        } else if (target == ShortcutTarget::ChromiumBrowser &&
                   opensApplicationWindowOnAddress(*name)) {
            offend(i);
        } else if (loadsExtensions(*name)) {
            offend(i, Offence::LoadsExtensions);
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
    return offences;
}

bool looksLikeBrowser(const ShortcutFacts& shortcut) {
    return isNamedAsBrowser(shortcut.fileName) ||
           isBrowser(classifyShortcutTarget(shortcut.iconPath));
}

}  // namespace

std::optional<ShortcutFinding> examineShortcut(const ShortcutFacts& shortcut) {
    const auto target = classifyShortcutTarget(shortcut.target);
    const auto split = splitArguments(shortcut.arguments);
    std::vector<Offence> offences(split.size(), Offence::None);
    if (isBrowser(target)) {
        offences = browserOffences(split, target);
    } else if (target == ShortcutTarget::ScriptHost && looksLikeBrowser(shortcut)) {
        for (std::size_t i = 0; i < split.size(); ++i) {
            if (holdsWebAddress(split[i].value)) {
                offences[i] = Offence::OpensAddress;
            }
        }
    }
    // The browser's own shortcut opens it bare; another one with an address
    // is as likely the user's own to a site.
    const bool addressesOffend = !isBrowser(target) || isBrowsersOwnShortcutName(shortcut.fileName);
    ShortcutFinding finding;
    std::vector<bool> keep(split.size(), true);
    for (std::size_t i = 0; i < split.size(); ++i) {
        std::wstring written(shortcut.arguments.substr(split[i].begin, split[i].length));
        if (offences[i] == Offence::LoadsExtensions ||
            (offences[i] == Offence::OpensAddress && addressesOffend)) {
            keep[i] = false;
            finding.offendingArguments.push_back(std::move(written));
        } else if (offences[i] == Offence::OpensAddress) {
            finding.siteArguments.push_back(std::move(written));
        }
    }
    if (finding.offendingArguments.empty() && finding.siteArguments.empty()) {
        return std::nullopt;
    }
    finding.repairable = isBrowser(target) && !finding.offendingArguments.empty();
    if (finding.repairable) {
        finding.repairedArguments = keptArguments(shortcut.arguments, split, keep);
    }
    return finding;
}

std::wstring describeShortcutFinding(const ShortcutFinding& finding) {
    std::wstring text;
    const auto add = [&text](std::wstring_view prefix, const std::vector<std::wstring>& arguments) {
        text += text.empty() ? L"" : L"; ";
        text += prefix;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            text += (i == 0 ? L"" : L" ") + arguments[i];
        }
    };
    if (!finding.offendingArguments.empty()) {
        add(finding.repairable ? texts::kShortcutAddedArgumentsPrefix
                               : texts::kShortcutScriptOpensAddressPrefix,
            finding.offendingArguments);
        if (!finding.repairable) {
            text += texts::kShortcutReportOnlySuffix;
        }
    }
    if (!finding.siteArguments.empty()) {
        add(texts::kShortcutOpensSitePrefix, finding.siteArguments);
        text += texts::kShortcutOwnSiteSuffix;
    }
    return text;
}

}  // namespace tovask
