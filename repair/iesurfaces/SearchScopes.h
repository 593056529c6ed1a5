#pragma once

#include <span>
#include <string>
#include <vector>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/iesurfaces/IeSurface.h"

namespace tovask {

// Internet Explorer's search scopes in HKLM (both views) and in each of the
// users' hives: each scope whose address is fetched from a web server that
// is no known search engine, to be removed; and a DefaultScope that names
// such a scope, to be put back to a remaining scope of a known engine, or
// removed when there is none, so that the browser takes its own. A scope
// without a web address, and a DefaultScope naming a scope that is not there,
// are left: the browser cannot search with them.
std::vector<IeSurface> findSearchScopes(PlatformOps& platform,
                                        std::span<const std::wstring> userHives,
                                        bool managedMachine, FailureLog& failures);

// Whether a backup section puts back a DefaultScope or a scope's key.
bool withinSearchScopeReach(const SectionKey& key, const RegistryFileSection& section);

}  // namespace tovask
