#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "repair/policykeys/PolicyLock.h"
#include "repair/policykeys/PolicyWords.h"
#include "values/RegistryValue.h"

namespace tovask {

// How a rule picks the locks out of a policy key.
enum class LockMatch {
    Value,          // the value of that name
    ValuePrefix,    // every value whose name starts with it
    ListEntries,    // each value of the list subkey of that name
    Subtree,        // every value anywhere below the subkey of that name
    ForcedEntries,  // each entry of the JSON value of that name that forces an extension
    // The value of that name, reported only, when its DNS-over-HTTPS templates
    // name a resolver no browser offers (unknownDohResolvers) and the key's
    // DnsOverHttpsMode is "secure" or "automatic", the modes that use them.
    DohTemplates,
    // The ProviderURL of the subkey of that name, reported only, when it names
    // such a resolver and the subkey's Enabled is not 0.
    DohProvider,
};

struct LockRule {
    std::wstring_view name;
    LockMatch match;
    LockKind kind;
    // What its locks do to the person; none keeps the plain words.
    std::span<const PolicyWords> words = {};
};

// A browser's policy key, below HKLM or a user's hive, and what in it is a lock.
struct BrowserPolicyKey {
    std::wstring_view keyPath;
    std::wstring_view group;  // the browser, as the report groups its findings
    std::span<const LockRule> rules;
    bool hasRecommended;  // the same rules hold again in its Recommended subkey
};

// The Chromium browsers, then Firefox.
std::span<const BrowserPolicyKey> browserPolicyKeys();

// The locks in one policy key's content as RegReadTree returns it; names compare
// without regard to case. Every value no rule names is no lock.
std::vector<PolicyLock> findPolicyLocks(const BrowserPolicyKey& browser,
                                        const RegistryKeyContent& key);

}  // namespace tovask
