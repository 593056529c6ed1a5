#pragma once

#include <string_view>

#include "platform/PlatformOps.h"
#include "repair/allow/AllowList.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Where an organisation deploys its list: each value one entry, REG_SZ, or
// REG_MULTI_SZ with one entry a string; the values' names are free.
inline constexpr std::wstring_view kAllowPolicyKey = L"HKLM\\SOFTWARE\\Policies\\Tovask\\Allow\\";

// The organisation's entries from the policy key, then the person's from
// `file` (none when empty): UTF-8 text, one entry a line. A file on the
// network, too large or not UTF-8 adds nothing and is one failure; when the
// run acts for every user, so is one in a folder a standard user can write,
// where the enemy could have written it.
AllowList loadAllowList(PlatformOps& platform, std::wstring_view file, bool everyUser,
                        FailureLog& failures);

}  // namespace tovask
