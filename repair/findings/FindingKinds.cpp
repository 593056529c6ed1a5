#include "repair/findings/FindingKinds.h"

#include "repair/extensions/ExtensionKind.h"
#include "repair/network/NetworkKind.h"
#include "repair/policies/PolicyKind.h"
#include "repair/preferences/PreferencesKind.h"
#include "repair/restrictions/IeRestrictionKind.h"
#include "repair/shortcuts/ShortcutKind.h"

namespace tovask {

std::span<const FindingKindRow* const> findingKinds() {
    static const FindingKindRow* const kKinds[] = {&policyKind(),    &ieRestrictionKind(),
                                                   &extensionKind(), &preferencesKind(),
                                                   &networkKind(),   &shortcutKind()};
    return kKinds;
}

}  // namespace tovask
