#pragma once

#include <span>
#include <string>
#include <vector>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/iesurfaces/IeSurface.h"

namespace tovask {

// Internet Explorer's security zones in HKLM (both views) and each of the
// users' hives. Each site of the zone map's Domains and EscDomains (a domain
// key, or a host key below it) and each of its Ranges whose http, https or *
// value puts it in the Local Intranet (1) or Trusted Sites (2) zone, unless
// the organisation's Site to Zone Assignment List (the machine's, or the
// user's own) names it, or it is this machine or one of Windows' own update
// sites: reported only, since the person may have added it. Only the first
// entries of a zone map are looked at, and the cut is a failure. And the
// Internet zone's settings that let unsigned ActiveX controls be downloaded
// (1004) or unsafe ones run (1201), set to enable or prompt: put back to
// Windows' own disable.
std::vector<IeSurface> findSecurityZones(PlatformOps& platform,
                                         std::span<const std::wstring> userHives,
                                         bool managedMachine, FailureLog& failures);

// Whether a backup section puts back only the Internet zone's ActiveX settings.
bool withinZoneSettingReach(const SectionKey& key, const RegistryFileSection& section);

}  // namespace tovask
