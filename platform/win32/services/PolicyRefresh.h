#pragma once

#include <system_error>

namespace tovask::win32 {

enum class PolicyScope { Machine, User };

// Asks the system to apply group policy again now, so that browsers reload
// the policies the repair removed. std::errc::function_not_supported when the
// system lacks the call (Wine): the caller reports it instead of failing.
std::error_code refreshPolicy(PolicyScope scope);

}  // namespace tovask::win32
