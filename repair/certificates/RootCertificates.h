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
// or "HKU\<name>"), in every store Windows trusts them from, each known by
// the SHA-1 of its encoded bytes: repairable when that thumbprint was
// published as shipped by a program that intercepts secure pages;
// information when its private key is kept on this machine, or when its key
// is named otherwise. Other roots are not listed. A store that cannot be
// read, and an entry that holds no certificate, are failures.
std::vector<InterceptionRoot> findInterceptionRoots(PlatformOps& platform,
                                                    std::span<const std::wstring> userHives,
                                                    bool managedMachine, FailureLog& failures);

// Whether a backup section lies within one certificate's key of a root store,
// of the machine or of an account: the undo puts a root back where it was.
bool withinRootStoreReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
