#include "repair/findings/FindingKinds.h"

#include "repair/debuggers/DebuggerKind.h"
#include "repair/grouppolicy/LocalPolicyKind.h"
#include "repair/network/NetworkKind.h"
#include "repair/policies/PolicyKind.h"
#include "repair/shortcuts/ShortcutKind.h"
#include "repair/startup/StartupKind.h"

namespace tovask {

std::span<const FindingKindRow* const> findingKinds() {
    static const FindingKindRow* const kKinds[] = {&localPolicyKind(), &policyKind(),
                                                   &debuggerKind(),    &networkKind(),
                                                   &shortcutKind(),    &startupKind()};
    return kKinds;
}

}  // namespace tovask
