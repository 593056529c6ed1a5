#pragma once

#include <span>
#include <string>
#include <vector>

#include "repair/policykeys/PolicyLock.h"
#include "values/RegistryValue.h"

namespace tovask {

// A policy key's content with the given locks removed (any subset of the locks
// findPolicyLocks gave for it): each lock's value, or its entry of a JSON
// value, and nothing else. A JSON value left without entries goes; the entries
// left in a numbered list are numbered 1..n again, as Chromium reads a list
// from "1" up; a subkey the removal empties goes; the policy key itself stays.
RegistryKeyContent withoutLocks(const RegistryKeyContent& key, std::span<const PolicyLock> locks);

struct ValuePlace {
    std::wstring keyPath;  // below the policy key, "" for the key itself
    std::wstring name;

    bool operator==(const ValuePlace&) const = default;
};

struct PlacedValue {
    ValuePlace place;
    RegistryValue value;

    bool operator==(const PlacedValue&) const = default;
};

// The registry writes that turn one content of a key into another. Applied in
// this order: values written, values deleted, subkeys removed with all they
// hold (no value to write or delete lies inside a subkey to remove).
struct PolicyKeyEdit {
    std::vector<PlacedValue> valuesToWrite;
    std::vector<ValuePlace> valuesToDelete;
    std::vector<std::wstring> keysToRemove;

    bool operator==(const PolicyKeyEdit&) const = default;
};

PolicyKeyEdit editBetween(const RegistryKeyContent& before, const RegistryKeyContent& after);

}  // namespace tovask
