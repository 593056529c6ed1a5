#pragma once

#include <string_view>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"
#include "repair/startup/ServedHijacks.h"
#include "text/KeyPlace.h"
#include "values/RegistryValue.h"

namespace tovask {

// One component of the machine's Active Setup whose command puts a hijack
// back, its key as read, and what the report makes of it.
struct ActiveSetupComponent {
    KeyPlace place;  // the component's own key
    RegistryKeyContent content;
    Finding finding;
};

// The components below HKLM's (each view)
// SOFTWARE\Microsoft\Active Setup\Installed Components whose StubPath is
// judged as a Run value is, or starts a script host (PowerShell, Windows
// Script Host, mshta, a script file, cmd or rundll32 running one), or a
// program in a folder users can write. None is repairable on a managed
// machine; a key that cannot be read is a failure.
std::vector<ActiveSetupComponent> findActiveSetupHijacks(PlatformOps& platform, bool managedMachine,
                                                         const ServedHijacks& served,
                                                         FailureLog& failures);

// Whether a key below HKLM lies within one component's key of Active Setup.
bool liesInActiveSetupComponent(RegistryRoot root, std::wstring_view key);

}  // namespace tovask
