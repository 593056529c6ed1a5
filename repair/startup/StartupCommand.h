#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "repair/report/Finding.h"

namespace tovask {

// Why a start-up command puts a hijack back, and what judging it established.
struct StartupHijack {
    std::wstring_view reason;
    FindingEvidence evidence{};  // the folders a browser it starts loads extensions from
};

// Why a start-up command puts a hijack back, or none when it does not: a
// browser started with an address, a web application's window or an
// extension to load (as a shortcut's arguments are judged); or a script host
// (powershell, pwsh, wscript, cscript, mshta, cmd, rundll32, a script file)
// that runs an encoded command, names a web address, or runs a script from
// a folder a user can write.
std::optional<StartupHijack> startupCommandHijack(std::wstring_view command);

// As startupCommandHijack for a scheduled task's action, except that the
// script of PowerShell's encoded command is decoded and judged by what it does
// (decodedScriptHijack); one that cannot be decoded counts as encoded.
std::optional<StartupHijack> taskCommandHijack(std::wstring_view command);

// The script a PowerShell command hides in its encoded command, decoded;
// none for any other command.
std::optional<std::wstring> encodedScriptOf(std::wstring_view command);

// What the report says of a start-up command found to put `hijack` back:
// the command, why, and the script it hides when it hides one, so that the
// user reads what it does and an extension it reinstalls is shown with its
// lock.
std::wstring startupFindingText(std::wstring_view command, std::wstring_view hijack);

}  // namespace tovask
