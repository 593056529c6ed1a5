#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/report/Finding.h"
#include "text/TextCompare.h"

namespace tovask {

// What a browser lock forces on the user.
enum class LockKind { StartAndSearch, ForcedExtension, ForcedTraffic };

// One setting a policy forces, and the smallest thing the repair removes for it.
// In a policy key: `keyPath` is the subkey below the policy key ("" for the key
// itself, "Recommended", "ExtensionInstallForcelist"), `valueName` the value.
// In a policy file: `keyPath` is the policy that holds a list ("Extensions"),
// `valueName` the policy or list ("Homepage", "Install").
// `entry` names one entry inside a JSON value or list (an extension id, an
// address); empty when the whole value is the lock.
// An `unreadable` lock is a value in a lock's place that neither the browser
// nor this program can read as the policy's type: it forces nothing, so it is
// listed and never removed. A `reportOnly` lock is listed and never removed
// too: what it forces may be the person's own choice, which only the person
// can tell.
struct PolicyLock {
    std::wstring keyPath;
    std::wstring valueName;
    std::wstring entry;
    std::wstring holds;  // what the setting forces, as the report shows it
    LockKind kind = LockKind::StartAndSearch;
    bool unreadable = false;
    // What it does to the person, as its policy's words say it (see PolicyWords).
    FindingTitle title{};
    bool reportOnly = false;

    bool operator==(const PolicyLock&) const = default;
};

// Whether the repair leaves the lock where it is.
inline bool isLeftAsIs(const PolicyLock& lock) {
    return lock.unreadable || lock.reportOnly;
}

// The lock's place below its key or file, names joined by backslashes:
// "Recommended\NewTabPageLocation", "ExtensionSettings\<extension id>".
inline std::wstring placeOf(const PolicyLock& lock) {
    const auto place = joinPath(lock.keyPath, lock.valueName);
    return lock.entry.empty() ? place : joinPath(place, lock.entry);
}

// What the lock sets, for an allow list: a forced extension's id (a forcing
// list's entry "<id>;<update address>" names it first), else its entry or
// what it holds; none where it cannot be read.
inline std::vector<std::wstring> settingOf(const PolicyLock& lock) {
    if (lock.unreadable) {
        return {};
    }
    const auto& set = lock.entry.empty() ? lock.holds : lock.entry;
    if (lock.kind == LockKind::ForcedExtension) {
        return {set.substr(0, set.find(L';'))};
    }
    return {set};
}

// Whether a lock only says how the addresses beside it apply, by its policy's
// name: the new tab page as home page, start with the listed pages, the proxy
// mode, the search engine's switch, name and keyword, Firefox's start page
// choice, proxy mode and Locked. It goes with those addresses.
inline bool switchesItsNeighbours(const PolicyLock& lock) {
    constexpr std::wstring_view kSwitches[] = {L"HomepageIsNewTabPage",
                                               L"RestoreOnStartup",
                                               L"ProxyMode",
                                               L"DefaultSearchProviderEnabled",
                                               L"DefaultSearchProviderName",
                                               L"DefaultSearchProviderKeyword",
                                               L"StartPage",
                                               L"Mode",
                                               L"Locked"};
    return lock.entry.empty() && std::ranges::any_of(kSwitches, [&](std::wstring_view name) {
               return equalsIgnoringCase(lock.valueName, name);
           });
}

// What a lock forces, told by its policy's name: "Homepage", "HomepageLocation"
// and "Recommended\\HomepageLocation" alike force the home page.
inline FindingSubject subjectOf(const PolicyLock& lock) {
    const auto named = [&](std::wstring_view policy) {
        return startsWithIgnoringCase(lock.keyPath, policy) ||
               startsWithIgnoringCase(lock.valueName, policy);
    };
    switch (lock.kind) {
        case LockKind::ForcedExtension:
            return FindingSubject::ForcedExtension;
        case LockKind::ForcedTraffic:
            return named(L"ProxyPacUrl")    ? FindingSubject::ProxyScript
                   : named(L"DnsOverHttps") ? FindingSubject::DnsServer
                                            : FindingSubject::ProxyServer;
        case LockKind::StartAndSearch:
            break;
    }
    return named(L"Homepage")           ? FindingSubject::HomePage
           : named(L"NewTab")           ? FindingSubject::NewTabPage
           : named(L"RestoreOnStartup") ? FindingSubject::StartupPages
           : named(L"DefaultSearchProvider") || named(L"SearchEngines")
               ? FindingSubject::SearchEngine
               : FindingSubject::Setting;
}

}  // namespace tovask
