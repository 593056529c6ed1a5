#include "repair/findings/FindingKinds.h"

#include <algorithm>

#include "repair/certificates/CertificateKind.h"
#include "repair/debuggers/DebuggerKind.h"
#include "repair/extensions/ExtensionKind.h"
#include "repair/grouppolicy/LocalPolicyKind.h"
#include "repair/iesurfaces/IeSurfaceKind.h"
#include "repair/network/NetworkKind.h"
#include "repair/policies/PolicyKind.h"
#include "repair/preferences/PreferencesKind.h"
#include "repair/restrictions/IeRestrictionKind.h"
#include "repair/shortcuts/ShortcutKind.h"
#include "repair/startup/StartupKind.h"

namespace tovask {

std::span<const FindingKindRow* const> findingKinds() {
    static const FindingKindRow* const kKinds[] = {
        &localPolicyKind(), &policyKind(),      &ieRestrictionKind(), &ieSurfaceKind(),
        &extensionKind(),   &preferencesKind(), &debuggerKind(),      &networkKind(),
        &certificateKind(), &shortcutKind(),    &startupKind()};
    return kKinds;
}

std::set<FindingKind> everyFindingKind() {
    std::set<FindingKind> kinds;
    for (const auto* kind : findingKinds()) {
        kinds.insert(kind->kind);
    }
    return kinds;
}

const FindingKindRow& rowOf(FindingKind kind) {
    const auto kinds = findingKinds();
    const auto row = std::ranges::find(kinds, kind, &FindingKindRow::kind);
    // Every value of FindingKind has its row (the kind list's test holds it).
    return row == kinds.end() ? *kinds.front() : **row;
}

std::wstring_view kindName(FindingKind kind) {
    return rowOf(kind).name;
}

const FindingKindRow* kindReaching(const RegistryFileSection& section, bool hasTwoViews) {
    const auto kinds = findingKinds();
    const auto row = std::ranges::find_if(kinds, [&](const FindingKindRow* kind) {
        return kind->withinRegistryReach != nullptr &&
               kind->withinRegistryReach(section, hasTwoViews);
    });
    return row == kinds.end() ? nullptr : *row;
}

const FindingKindRow* kindOwningFile(std::wstring_view path) {
    const auto kinds = findingKinds();
    const auto row = std::ranges::find_if(kinds, [&](const FindingKindRow* kind) {
        return kind->ownsFilePath != nullptr && kind->ownsFilePath(path);
    });
    return row == kinds.end() ? nullptr : *row;
}

}  // namespace tovask
