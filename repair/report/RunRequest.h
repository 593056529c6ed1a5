#pragma once

#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "repair/report/Finding.h"

namespace tovask {

// How a run repairs a HOSTS file with entries that count: the window's button
// puts back the whole default file; the command line takes out only those
// entries, unless it is asked for the whole reset.
enum class HostsRepair { Reset, RemoveCountingEntries };

// What one run is asked to do: the window reads it from its controls at each
// press, the command line from its switches.
struct RunRequest {
    // As typed or given with /startpage:; empty for the default page.
    std::wstring startPage;
    // On behalf of every user of the machine: every user's hive, and the
    // browser of every user logged on, not only this desktop's.
    bool everyUser = false;
    // The kinds of finding whose repair may be offered: every kind in the
    // window, the kinds its switches name on the command line.
    std::set<FindingKind> offeredKinds;
    // The person's allow list, as given with /allow:; empty for none.
    std::wstring allowFile{};
    HostsRepair hostsRepair = HostsRepair::Reset;
};

// What a run offers to repair, and what it only reports, shown beside the
// offer so that the user sees what stays.
struct FindingsOffer {
    std::span<const Finding> repairable;
    std::span<const Finding> reportOnly;
};

// Which of the offered findings to repair: the window lets the user choose
// each, the command line answers from its switches. A finding not given back
// is left as it is.
using FindingsConsent = std::function<std::vector<FindingId>(const FindingsOffer& offer)>;

// The answer of a consent that repairs all it is offered.
inline std::vector<FindingId> everyOffered(const FindingsOffer& offer) {
    return idsOf(offer.repairable);
}

}  // namespace tovask
