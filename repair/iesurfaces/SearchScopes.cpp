#include "repair/iesurfaces/SearchScopes.h"

#include <algorithm>

#include "repair/addresses/ProxyAddress.h"
#include "repair/addresses/SearchEngines.h"
#include "repair/iesurfaces/IeSurfaceTexts.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kSearchScopesKey =
    L"Software\\Microsoft\\Internet Explorer\\SearchScopes";
constexpr std::wstring_view kDefaultScopeValue = L"DefaultScope";
constexpr std::wstring_view kScopeAddressValue = L"URL";

std::optional<std::wstring> scopeAddressOf(const RegistryKeyContent& scope) {
    const auto* address = findValue(scope, kScopeAddressValue);
    return address ? textOf(address->value) : std::nullopt;
}

// A scope the browser searches a web server with that is no known engine's.
bool isAdvertiserScope(const RegistryKeyContent& scope) {
    const auto address = scopeAddressOf(scope);
    return address && serverOfWebAddress(*address) && !isKnownSearchAddress(*address);
}

bool isEngineScope(const RegistryKeyContent& scope) {
    const auto address = scopeAddressOf(scope);
    return address && isKnownSearchAddress(*address);
}

IeSurface defaultScopeSurface(const KeyPlace& place, const NamedRegistryValue& defaultScope,
                              const RegistryKeyContent& scopes, const RegistryKeyContent& scope,
                              bool managedMachine) {
    const auto address = scopeAddressOf(scope).value_or(L"");
    const auto engine = std::ranges::find_if(scopes.subkeys, isEngineScope);
    IeSurface surface{place, defaultScope.name, SurfaceChange::RemoveValue};
    surface.value = defaultScope.value;
    if (engine != scopes.subkeys.end()) {
        surface.change = SurfaceChange::WriteValue;
        surface.repairedTo = stringValue(engine->name);
    }
    surface.finding =
        surfaceFinding(FindingSubject::SearchEngine, place, defaultScope.name,
                       std::wstring(texts::kDefaultScopePrefix) + address, !managedMachine);
    surface.finding.title = {.what = texts::kDefaultScopeTitle, .value = address};
    return surface;
}

void lookAtScopes(PlatformOps& platform, const KeyPlace& place, bool managedMachine,
                  std::vector<IeSurface>& found, FailureLog& failures) {
    const auto scopes = readKey(platform, place, failures);
    if (!scopes) {
        return;
    }
    const auto* defaultScope = findValue(*scopes, kDefaultScopeValue);
    const auto named = defaultScope ? textOf(defaultScope->value) : std::nullopt;
    const auto* scope = named ? findSubkey(*scopes, *named) : nullptr;
    if (scope != nullptr && isAdvertiserScope(*scope)) {
        found.push_back(defaultScopeSurface(place, *defaultScope, *scopes, *scope, managedMachine));
    }
    for (const auto& added : scopes->subkeys) {
        if (!isAdvertiserScope(added)) {
            continue;
        }
        const auto address = scopeAddressOf(added).value_or(L"");
        const KeyPlace scopePlace{place.root, place.key + L"\\" + added.name, place.view};
        IeSurface surface{scopePlace, {}, SurfaceChange::RemoveKey, added};
        surface.finding =
            surfaceFinding(FindingSubject::SearchScope, scopePlace, {},
                           std::wstring(texts::kAdvertiserScopePrefix) + address, !managedMachine);
        surface.finding.title.value = address;
        found.push_back(std::move(surface));
    }
}

}  // namespace

std::vector<IeSurface> findSearchScopes(PlatformOps& platform,
                                        std::span<const std::wstring> userHives,
                                        bool managedMachine, FailureLog& failures) {
    std::vector<IeSurface> found;
    for (const auto& [hive, place] : placesOf(platform, userHives, kSearchScopesKey)) {
        lookAtScopes(platform, place, managedMachine, found, failures);
    }
    return found;
}

bool withinSearchScopeReach(const SectionKey& key, const RegistryFileSection& section) {
    const std::wstring_view name = key.key;
    if (equalsIgnoringCase(name, kSearchScopesKey)) {
        return std::ranges::all_of(section.entries, [](const RegistryFileEntry& entry) {
            return equalsIgnoringCase(entry.name, kDefaultScopeValue);
        });
    }
    return name.size() > kSearchScopesKey.size() + 1 && name[kSearchScopesKey.size()] == L'\\' &&
           equalsIgnoringCase(name.substr(0, kSearchScopesKey.size()), kSearchScopesKey);
}

}  // namespace tovask
