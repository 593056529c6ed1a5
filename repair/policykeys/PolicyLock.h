#pragma once

#include <string>

#include "repair/policykeys/PolicyKeyContent.h"

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
// listed and never removed.
struct PolicyLock {
    std::wstring keyPath;
    std::wstring valueName;
    std::wstring entry;
    std::wstring holds;  // what the setting forces, as the report shows it
    LockKind kind = LockKind::StartAndSearch;
    bool unreadable = false;

    bool operator==(const PolicyLock&) const = default;
};

// The lock's place below its key or file, names joined by backslashes:
// "Recommended\NewTabPageLocation", "ExtensionSettings\<extension id>".
inline std::wstring placeOf(const PolicyLock& lock) {
    const auto place = joinPath(lock.keyPath, lock.valueName);
    return lock.entry.empty() ? place : joinPath(place, lock.entry);
}

}  // namespace tovask
