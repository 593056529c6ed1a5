#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/KeyPlace.h"

namespace tovask {

// A root certificate that lets a program read secure pages, as read from
// its store's key, and what the report makes of it.
struct InterceptionRoot {
    KeyPlace place;  // the certificate's own key
    RegistryKeyContent content;
    Finding finding;
};

// The trusted roots of the machine and of each of the users' hives ("HKCU"
// or "HKU\<name>"): repairable when its thumbprint was published as shipped
// by a program that intercepts secure pages; information when its private
// key is kept on this machine. Other roots are not listed. A store that
// cannot be read is a failure; an entry that holds no certificate is left.
std::vector<InterceptionRoot> findInterceptionRoots(PlatformOps& platform,
                                                    std::span<const std::wstring> userHives,
                                                    bool managedMachine, FailureLog& failures);

// Whether a backup section lies within one certificate's key of a root store,
// of the machine or of an account.
bool withinRootStoreReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
