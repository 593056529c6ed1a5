#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/PlatformOps.h"
#include "repair/preferences/ProfilePreferences.h"
#include "repair/report/FailureLog.h"
#include "repair/report/ProgressView.h"

namespace tovask {

// The arguments that open the browser's reset page in the profile, for a
// browser that has one.
std::optional<std::wstring> resetPageArguments(const BrowserProfile& profile);

// Offers, for each of the running user's profiles the repair could not put
// back, to open its browser's own page that restores its settings, where
// somebody is there to answer. The browser, as the machine's App Paths name
// it, starts as the person at the desktop, never elevated.
void offerResetPages(PlatformOps& platform, ProgressView& view,
                     std::span<const BrowserProfile> profiles, FailureLog& failures);

}  // namespace tovask
