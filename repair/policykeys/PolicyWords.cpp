#include "repair/policykeys/PolicyWords.h"

#include <algorithm>

#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/policykeys/PolicyLockTexts.h"
#include "repair/report/FindingTexts.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kRecommended = L"Recommended\\";

bool namesLock(const PolicyWords& row, const PolicyLock& lock) {
    if (row.name.empty() || equalsIgnoringCase(row.name, lock.valueName)) {
        return true;
    }
    std::wstring_view path = lock.keyPath;
    for (std::size_t start = 0; start <= path.size();) {
        const auto end = std::min(path.find(L'\\', start), path.size());
        if (equalsIgnoringCase(path.substr(start, end - start), row.name)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A forced extension's list entry is "<id>;<update address>": the id names it.
std::wstring shownValue(const PolicyLock& lock) {
    const auto& value = lock.entry.empty() ? lock.holds : lock.entry;
    return lock.kind == LockKind::ForcedExtension ? value.substr(0, value.find(L';')) : value;
}

}  // namespace

std::wstring policyNameOf(const PolicyLock& lock) {
    auto name = joinPath(lock.keyPath, lock.valueName);
    if (startsWithIgnoringCase(name, kRecommended)) {
        name.erase(0, kRecommended.size());
    }
    return name;
}

FindingTitle titleOfLock(const PolicyLock& lock, std::span<const PolicyWords> words,
                         const RegistryKeyContent* key, std::optional<std::uint32_t> number) {
    if (lock.unreadable) {
        return {.what = texts::kUnreadablePolicyTitle, .value = policyNameOf(lock)};
    }
    const auto row = std::ranges::find_if(words, [&](const PolicyWords& candidate) {
        return namesLock(candidate, lock) && (!candidate.number || candidate.number == number);
    });
    if (row == words.end() || row->what.empty()) {
        return {.what = texts::kSettingTitle, .value = policyNameOf(lock) + L" = " + lock.holds};
    }
    if (row->number) {
        return {.what = row->what, .value = std::wstring(row->said)};
    }
    const auto* namer =
        key == nullptr || row->namedBy.empty() ? nullptr : findValue(*key, row->namedBy);
    const auto name = namer == nullptr ? std::nullopt : textOf(namer->value);
    if (name && !name->empty()) {
        return {.what = row->what, .value = *name + L" (" + shownValue(lock) + L")"};
    }
    return {.what = row->what, .value = shownValue(lock)};
}

}  // namespace tovask
