#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "text/KeyPlace.h"

namespace tovask {

// Whether an extension's update address is the store of the browser whose
// extensions key names it ("Software\Google\Chrome\Extensions"), as the
// browser tells: its host and path, whatever the scheme, port or query.
bool isStoreUpdateUrl(std::wstring_view extensionsKey, std::wstring_view updateUrl);

// One extension a browser installs from the registry, as read, and what the
// report makes of it.
struct RegistryExtension {
    KeyPlace place;  // the extension's own key
    RegistryKeyContent content;
    Finding finding;
};

// The extensions named under the Chromium browsers' extensions keys in HKLM
// (both views) and in each of the users' hives ("HKCU" or "HKU\<name>"):
// repairable when its update address is not the browser's store, or when,
// without one, its package lies in a folder users can write; information for
// a package elsewhere. Store entries and keys the browser ignores (an invalid
// id, neither address nor package) are not listed. A key that cannot be read
// is a failure.
std::vector<RegistryExtension> findRegistryExtensions(PlatformOps& platform,
                                                      std::span<const std::wstring> userHives,
                                                      bool managedMachine, FailureLog& failures);

// Whether a backup section lies within an extension's key of a browser's
// extensions key, of the machine or of an account.
bool withinExtensionReach(const RegistryFileSection& section, bool hasTwoViews);

}  // namespace tovask
