#include "repair/policies/FirefoxPolicyFile.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "repair/policykeys/DohResolvers.h"
#include "repair/policykeys/PolicyJson.h"
#include "repair/policykeys/PolicyLockTexts.h"
#include "repair/policykeys/PolicyWords.h"
#include "repair/report/FindingTexts.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

using policyjson::Json;

enum class FileMatch {
    WholePolicy,
    ForcedEntries,  // the entries of the policy's object that force an extension
    ListEntries,    // the entries of the policy's lists named by the rule
    // The policy's ProviderURL, reported only, when it names a resolver no
    // browser offers (unknownDohResolvers) and the policy's Enabled is not false.
    DohProvider,
};

struct FilePolicyRule {
    std::string_view policy;
    FileMatch match;
    LockKind kind;
    // What a lock of the whole policy does, with the member whose text is its value.
    std::wstring_view what = {};
    std::string_view shownMember = {};
};

constexpr std::array kFilePolicyRules = {
    FilePolicyRule{"Homepage", FileMatch::WholePolicy, LockKind::StartAndSearch,
                   texts::kHomePageTitle, "URL"},
    FilePolicyRule{"SearchEngines", FileMatch::WholePolicy, LockKind::StartAndSearch,
                   texts::kSearchEngineTitle, "Default"},
    FilePolicyRule{"NewTabPage", FileMatch::WholePolicy, LockKind::StartAndSearch},
    FilePolicyRule{"ExtensionSettings", FileMatch::ForcedEntries, LockKind::ForcedExtension},
    FilePolicyRule{"Extensions", FileMatch::ListEntries, LockKind::ForcedExtension},
    FilePolicyRule{"Proxy", FileMatch::WholePolicy, LockKind::ForcedTraffic,
                   texts::kProxyServerPolicyTitle, "HTTPProxy"},
    FilePolicyRule{"DNSOverHTTPS", FileMatch::DohProvider, LockKind::ForcedTraffic,
                   texts::kDohResolverTitle, "ProviderURL"},
};

// Installed and kept from removal: Firefox's own names for these two lists.
constexpr std::array<std::string_view, 2> kForcedExtensionLists = {"Install", "Locked"};
// What the entries of each list and of ExtensionSettings do to the person.
constexpr PolicyWords kExtensionWords[] = {{L"Locked", texts::kLockedExtensionTitle},
                                           {L"", texts::kForcedExtensionTitle}};

PolicyLock titled(PolicyLock lock, std::span<const PolicyWords> words) {
    lock.title = titleOfLock(lock, words, nullptr, std::nullopt);
    return lock;
}

// A whole policy's title: its member's text, or the plain words where it has none.
PolicyLock titledWhole(PolicyLock lock, const FilePolicyRule& rule, const Json& policy) {
    const auto* shown =
        rule.shownMember.empty() ? nullptr : policyjson::member(policy, rule.shownMember);
    const auto text = shown == nullptr ? std::string_view() : policyjson::utf8Of(*shown);
    if (text.empty()) {
        return titled(std::move(lock), {});
    }
    lock.title = {.what = rule.what, .value = wideFromUtf8(text)};
    return lock;
}

// The file's object of policies; any other value there holds none.
constexpr std::string_view kPolicies = "policies";

void addRuleLocks(const FilePolicyRule& rule, const Json& policy, std::vector<PolicyLock>& locks) {
    const std::wstring name = wideFromUtf8(rule.policy);
    switch (rule.match) {
        case FileMatch::WholePolicy:
            locks.push_back(titledWhole({L"", name, L"", policyjson::wideText(policy), rule.kind},
                                        rule, policy));
            break;
        case FileMatch::ForcedEntries:
            for (const auto& [id, entry] : policyjson::membersOf(policy)) {
                if (policyjson::forcesInstallation(entry)) {
                    locks.push_back(titled({L"", name, policyjson::wideText(id),
                                            policyjson::wideText(entry), rule.kind},
                                           kExtensionWords));
                }
            }
            break;
        case FileMatch::DohProvider: {
            const auto* enabled = policyjson::member(policy, "Enabled");
            const auto* provider = policyjson::member(policy, rule.shownMember);
            const auto url =
                provider == nullptr ? std::wstring() : wideFromUtf8(policyjson::utf8Of(*provider));
            if ((enabled == nullptr || !enabled->IsFalse()) && !unknownDohResolvers(url).empty()) {
                PolicyLock lock{name, wideFromUtf8(rule.shownMember), L"", url, rule.kind};
                lock.title = {.what = rule.what, .value = url};
                lock.reportOnly = true;
                locks.push_back(std::move(lock));
            }
            break;
        }
        case FileMatch::ListEntries:
            for (const auto list : kForcedExtensionLists) {
                const auto* found = policyjson::member(policy, list);
                if (found == nullptr || !found->IsArray()) {
                    continue;
                }
                for (const auto& item : found->GetArray()) {
                    const auto text = policyjson::wideText(item);
                    locks.push_back(
                        titled({name, wideFromUtf8(list), text, text, rule.kind}, kExtensionWords));
                }
            }
            break;
    }
}

// An object without members or an array without items.
bool isEmptyContainer(const Json& value) {
    return value.IsObject() ? value.ObjectEmpty() : value.IsArray() && value.Empty();
}

// Removes the entry from an object's members or an array's items; true when anything went.
bool removeEntry(Json& value, const std::wstring& entry) {
    if (!value.IsArray()) {
        return policyjson::removeMember(value, utf8FromWide(entry));
    }
    const auto kept = std::remove_if(value.Begin(), value.End(), [&](const Json& item) {
        return policyjson::wideText(item) == entry;
    });
    const bool removed = kept != value.End();
    value.Erase(kept, value.End());
    return removed;
}

// Removes the lock's value or entry from `holder`; true when anything went.
bool removeFrom(Json& holder, const PolicyLock& lock) {
    const auto name = utf8FromWide(lock.valueName);
    auto* value = policyjson::member(holder, name);
    if (value == nullptr) {
        return false;
    }
    if (lock.entry.empty()) {
        return policyjson::removeMember(holder, name);
    }
    const bool removed = removeEntry(*value, lock.entry);
    if (removed && isEmptyContainer(*value)) {
        policyjson::removeMember(holder, name);
    }
    return removed;
}

bool removeLockFromJson(Json& policies, const PolicyLock& lock) {
    if (lock.keyPath.empty()) {
        return removeFrom(policies, lock);
    }
    const auto name = utf8FromWide(lock.keyPath);
    auto* holder = policyjson::member(policies, name);
    if (holder == nullptr || !removeFrom(*holder, lock)) {
        return false;
    }
    if (isEmptyContainer(*holder)) {
        policyjson::removeMember(policies, name);
    }
    return true;
}

// The script with its comments blanked out and its strings kept, so that a
// commented-out call does not count and a "//" inside an address does not cut it.
std::string withoutComments(std::string_view script) {
    std::string code;
    char quote = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        const char next = i + 1 < script.size() ? script[i + 1] : '\0';
        if (quote != 0) {
            code += c;
            if (c == '\\' && next != '\0') {
                code += script[++i];
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == '/' && next == '/') {
            i = std::min(script.find('\n', i), script.size()) - 1;
        } else if (c == '/' && next == '*') {
            i = std::min(script.find("*/", i + 2), script.size() - 2) + 1;
            code += ' ';
        } else {
            quote = c == '"' || c == '\'' ? c : 0;
            code += c;
        }
    }
    return code;
}

constexpr std::string_view kConfigFilePref = "general.config.filename";
constexpr std::array<std::string_view, 4> kPrefCalls = {"pref", "lockPref", "defaultPref",
                                                        "sticky_pref"};
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view withoutLeadingBlanks(std::string_view text) {
    return text.substr(std::min(text.find_first_not_of(kBlanks), text.size()));
}
std::string_view withoutTrailingBlanks(std::string_view text) {
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

// Whether the code ends in a call to one of the preference functions, open
// for its first argument.
bool followsPrefCall(std::string_view before) {
    before = withoutTrailingBlanks(before);
    if (!before.ends_with('(')) {
        return false;
    }
    before = withoutTrailingBlanks(before.substr(0, before.size() - 1));
    return std::ranges::any_of(kPrefCalls, [&](std::string_view call) {
        const auto start = before.size() - std::min(call.size(), before.size());
        const bool wholeName =
            start == 0 || !(std::isalnum(static_cast<unsigned char>(before[start - 1])) ||
                            before[start - 1] == '_');
        return before.ends_with(call) && wholeName;
    });
}

// The plain text of a ", 'text'" argument at the start of the code; empty when
// the argument is anything else.
std::wstring stringArgumentAfter(std::string_view after) {
    after = withoutLeadingBlanks(after);
    if (!after.starts_with(',')) {
        return {};
    }
    after = withoutLeadingBlanks(after.substr(1));
    if (!after.starts_with('"') && !after.starts_with('\'')) {
        return {};
    }
    const auto end = after.find(after[0], 1);
    return end == after.npos ? std::wstring() : wideFromUtf8(after.substr(1, end - 1));
}

}  // namespace

std::optional<std::vector<PolicyLock>> findPolicyFileLocks(std::string_view fileContent,
                                                           policyjson::JsonRefusal* refusal) {
    auto file = policyjson::parse(fileContent, refusal);
    if (!file) {
        return std::nullopt;
    }
    std::vector<PolicyLock> locks;
    const auto* policies = policyjson::member(*file, kPolicies);
    if (policies == nullptr) {
        return locks;
    }
    for (const auto& rule : kFilePolicyRules) {
        if (const auto* policy = policyjson::member(*policies, rule.policy)) {
            addRuleLocks(rule, *policy, locks);
        }
    }
    return locks;
}

std::optional<std::string> policyFileWithoutLocks(std::string_view fileContent,
                                                  std::span<const PolicyLock> locks,
                                                  policyjson::JsonRefusal* refusal) {
    auto file = policyjson::parse(fileContent, refusal);
    if (!file) {
        return std::nullopt;
    }
    auto* policies = policyjson::member(*file, kPolicies);
    bool changed = false;
    for (const auto& lock : locks) {
        changed =
            (policies != nullptr && !isLeftAsIs(lock) && removeLockFromJson(*policies, lock)) ||
            changed;
    }
    if (!changed) {
        return std::string(fileContent);
    }
    // What the file will hold is read again before it is written: a writer
    // that stopped or changed a value leaves the file as it is.
    const auto text = policyjson::indented(*file);
    const auto reread = text ? policyjson::parse(*text) : nullptr;
    if (!reread || *reread != *file) {
        if (refusal != nullptr) {
            *refusal = policyjson::JsonRefusal::NotKeptExactly;
        }
        return std::nullopt;
    }
    return *text + "\n";
}

std::optional<std::wstring> autoconfigFileName(std::string_view prefsScript) {
    const auto code = withoutComments(prefsScript);
    const std::string_view view(code);
    for (const char quote : {'"', '\''}) {
        const auto quoted = quote + std::string(kConfigFilePref) + quote;
        for (auto at = view.find(quoted); at != view.npos; at = view.find(quoted, at + 1)) {
            if (followsPrefCall(view.substr(0, at))) {
                return stringArgumentAfter(view.substr(at + quoted.size()));
            }
        }
    }
    return std::nullopt;
}

}  // namespace tovask
