#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/grouppolicy/PolicyFileFormat.h"
#include "repair/policykeys/BrowserPolicyKeys.h"

namespace tovask {

// A lock that a policy file sets: the browser whose policy key the file
// writes, and the lock as the policy kind knows it there.
struct PolicyFileLock {
    const BrowserPolicyKey* browser;
    PolicyLock lock;
};

// The locks the entries set under each browser's policy key, by the policy
// kind's own rules, and below Internet Explorer's Control Panel policy key,
// which the repair plan deletes. An entry "**soft.<name>", which writes the
// value when it is missing, sets a lock as an entry "<name>" does; entries
// that delete rather than set ("**del.", "**delvals." and the others Group
// Policy names with "**") set none.
std::vector<PolicyFileLock> findPolicyFileLocks(std::span<const PolicyFileEntry> entries);

// The file without its repairable locks: each entry that sets one goes, a
// "**soft." one too, a JSON value keeps its other entries, a numbered list is
// numbered again from 1 as the policy kind does in the registry; every other
// byte is kept.
std::string withoutPolicyFileLocks(std::string_view bytes, std::span<const PolicyFileEntry> entries,
                                   std::span<const PolicyFileLock> locks);

// The Group Policy editor raises the version in gpt.ini when it saves a
// policy file, so that the next refresh applies it anew: by 1 for the
// machine's file, by 65536 for the users'. None when the text has no
// "Version=<number>" line.
std::optional<std::string> withVersionRaised(std::string_view gptIni, std::uint32_t step);

}  // namespace tovask
