#pragma once

#include <span>
#include <string>
#include <vector>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/iesurfaces/IeSurface.h"

namespace tovask {

// The browser helper objects (HKLM in both views, each user's hive) and the
// toolbars (HKLM's Toolbar key in both views; each user's WebBrowser,
// ShellBrowser and Explorer toolbars) Internet Explorer loads, each named by
// a CLSID, whose program, the default value of the class's InprocServer32
// (the user's own classes first, then the machine's in the same view), is
// missing, lies in a folder users can write, or is on a network path or a
// drive that is no disk of this machine, which is never opened. The repair
// removes the registration and leaves the program's file. A program named
// without its folder is left: the system looks it up where it loads it.
std::vector<IeSurface> findHelperObjects(PlatformOps& platform,
                                         std::span<const std::wstring> userHives,
                                         bool managedMachine, FailureLog& failures);

// Whether a backup section puts back a helper object's key or toolbar values.
bool withinHelperObjectReach(const SectionKey& key, const RegistryFileSection& section);

}  // namespace tovask
