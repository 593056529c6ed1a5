#include "repair/findings/FindingKinds.h"

#include "repair/debuggers/DebuggerKind.h"
#include "repair/grouppolicy/LocalPolicyKind.h"
#include "repair/network/NetworkKind.h"
#include "repair/policies/PolicyKind.h"
#include "repair/shortcuts/ShortcutKind.h"

namespace tovask {

std::span<const FindingKindRow* const> findingKinds() {
    static const FindingKindRow* const kKinds[] = {
        &localPolicyKind(), &policyKind(), &debuggerKind(), &networkKind(), &shortcutKind()};
    return kKinds;
}

}  // namespace tovask
