#pragma once

#include <optional>
#include <string_view>

namespace tovask {

// Why a start-up command puts a hijack back, or none when it does not: a
// browser started with an address, a web application's window or an
// extension to load (as a shortcut's arguments are judged); or a script host
// (powershell, pwsh, wscript, cscript, mshta, cmd, rundll32, a script file)
// that runs an encoded command, names a web address, or runs a script from
// a folder a user can write.
std::optional<std::wstring_view> startupCommandHijack(std::wstring_view command);

// As startupCommandHijack for a scheduled task's action, except that the
// script of PowerShell's encoded command is decoded and judged by what it does
// (decodedScriptHijack); one that cannot be decoded counts as encoded.
std::optional<std::wstring_view> taskCommandHijack(std::wstring_view command);

}  // namespace tovask
