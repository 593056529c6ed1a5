#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "repair/policykeys/PolicyLock.h"
#include "values/RegistryValue.h"

namespace tovask {

// What a policy's values do to the person, a row each, in a column of the
// rules that find its locks.
struct PolicyWords {
    // The value's name, or that of a subkey on the way to it; empty for any
    // value the rule finds.
    std::wstring_view name;
    std::wstring_view what;
    // A number policy's words hold only for this number, and `said` then
    // stands for the number.
    std::optional<std::uint32_t> number = std::nullopt;
    std::wstring_view said = {};
    // The value beside it whose text names what it sets: a search engine's name.
    std::wstring_view namedBy = {};
};

// The policy's name as a person may look it up: its place below the policy
// key, without "Recommended\".
std::wstring policyNameOf(const PolicyLock& lock);

// The lock's title by the first of `words` that fits it; a lock no row fits,
// or fits with no words, keeps the plain form "<setting title>: <policy> =
// <value>". `key` holds the lock's value, for the value that names it;
// `number` is the value as a number, when it is one.
FindingTitle titleOfLock(const PolicyLock& lock, std::span<const PolicyWords> words,
                         const RegistryKeyContent* key, std::optional<std::uint32_t> number);

}  // namespace tovask
