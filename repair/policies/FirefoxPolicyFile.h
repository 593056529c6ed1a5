#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "repair/policykeys/PolicyJson.h"
#include "repair/policykeys/PolicyLock.h"

namespace tovask {

// The locks in the "policies" of a Firefox distribution\policies.json: the
// policies Homepage, SearchEngines, NewTabPage and Proxy whole, each
// ExtensionSettings entry that forces its extension, each entry of the
// Install and Locked lists of Extensions. None when the file cannot be read
// exactly, with the reason in `refusal`: such a file is reported and never
// changed.
std::optional<std::vector<PolicyLock>> findPolicyFileLocks(
    std::string_view fileContent, policyjson::JsonRefusal* refusal = nullptr);

// The file without the given locks, every other policy kept in its order,
// indented by two spaces, UTF-8; a list or entry set left empty goes. The
// content unchanged when none of the locks is in it. None, with the reason in
// `refusal`, when the file cannot be read exactly, or when the new text, read
// again, would differ from the file without the locks in anything else.
std::optional<std::string> policyFileWithoutLocks(std::string_view fileContent,
                                                  std::span<const PolicyLock> locks,
                                                  policyjson::JsonRefusal* refusal = nullptr);

// The file that a defaults\pref\*.js script names in general.config.filename,
// through pref(), lockPref(), defaultPref() or sticky_pref(), comments aside:
// Firefox then runs that file, which may lock any preference. An empty name
// when the script names the preference but no plain text for it.
std::optional<std::wstring> autoconfigFileName(std::string_view prefsScript);

}  // namespace tovask
