#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "repair/commands/CommandLineArguments.h"

namespace tovask {

// What PowerShell (powershell.exe or pwsh.exe) makes of its arguments.
struct PowerShellCommandLine {
    std::optional<std::wstring> encodedCommand;  // as written, still encoded
    // -Command's script, or the first argument no option takes and all after it.
    std::optional<std::wstring> script;
    bool hidden = false;          // -WindowStyle Hidden, or 1
    bool bypassesPolicy = false;  // -ExecutionPolicy Bypass or Unrestricted

    bool operator==(const PowerShellCommandLine&) const = default;
};

// Reads the arguments as PowerShell's own parser does. An option starts with
// '-', '/', an en dash, an em dash or a horizontal bar, and a second dash after
// the first is dropped. Its name is any beginning of an option's name no
// shorter than the one PowerShell tells apart, the first option in PowerShell's
// order winning: "-e", "-en" and "-ec" name -EncodedCommand, while "-ex" and
// "-ep" name -ExecutionPolicy. -Command takes all that follows as its script,
// -File ends the options, and so does the first argument that is no option.
// An option PowerShell does not know is passed over.
PowerShellCommandLine readPowerShellArguments(std::span<const CommandLineArgument> arguments);

// Whether PowerShell reads the argument as its -EncodedCommand option.
bool namesEncodedCommand(std::wstring_view argument);

// Whether a program names PowerShell: powershell or pwsh, with ".exe" or not.
bool isPowerShell(std::wstring_view program);

}  // namespace tovask
