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

// What a kind established as fact while it judged a finding, for a later
// kind to act on. One kind's finding reaches another only through this,
// never through `holds`: that is text for the user, and the enemy's values
// flow into it.
struct FindingEvidence {
    // The program found listening where a proxy or its script points.
    std::vector<std::wstring> servingPrograms;
    // The folders a browser's command line has it load extensions from, as read.
    std::vector<std::wstring> extensionFolders;

    bool operator==(const FindingEvidence&) const = default;
};

// Something found that keeps a setting from the user: where it is, named as
// the backup names it, what it holds, and whether this run may repair it.
struct Finding {
    FindingKind kind = FindingKind::BrowserPolicy;
    std::wstring group;  // what the report groups it under: the browser
    std::wstring place;
    std::wstring holds;
    bool repairable = true;
    PolicyHives hives = PolicyHives::None;
    FindingEvidence evidence{};

    bool operator==(const Finding&) const = default;
};

// The findings as report lines, each group's heading followed by its
// findings; after `limit` lines one more says how many were left out.
std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit);

std::vector<Finding> repairableOnly(std::span<const Finding> findings);

// Whether a finding stays once the user chose: report-only ones always do.
bool isKept(const Finding& finding, std::span<const Finding> chosen);

}  // namespace tovask
