#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tovask {

// What a finding beyond Internet Explorer is about.
enum class FindingKind {
    BrowserPolicy,
    Network,
    Shortcut,
    BrowserDebugger,
    LocalPolicyFile,
    IeRestriction,
    RegistryExtension,
    ProfilePreference,
    Startup,
    InterceptionRoot,
};

// The hives of a lock in the registry's policy keys, or those a local policy
// file that could not be read writes into, so that such a file is tied to
// every lock it may put back.
enum class PolicyHives { None, Machine, Users };

// Something found that keeps a setting from the user: where it is, named as
// the backup names it, what it holds, and whether this run may repair it.
struct Finding {
    FindingKind kind = FindingKind::BrowserPolicy;
    std::wstring group;  // what the report groups it under: the browser
    std::wstring place;
    std::wstring holds;
    bool repairable = true;
    PolicyHives hives = PolicyHives::None;

    bool operator==(const Finding&) const = default;
};

// The findings as report lines, each group's heading followed by its
// findings; after `limit` lines one more says how many were left out.
std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit);

std::vector<Finding> repairableOnly(std::span<const Finding> findings);

// Whether a finding stays once the user chose: report-only ones always do.
bool isKept(const Finding& finding, std::span<const Finding> chosen);

}  // namespace tovask
