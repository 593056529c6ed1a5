#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovask {

// The script PowerShell's -EncodedCommand carries: base64 of UTF-16LE text.
// None when the text is not that (a wrong letter, a length that is no
// multiple of four, an odd number of bytes).
std::optional<std::wstring> decodedPowerShellCommand(std::wstring_view encoded);

// Why a script that a scheduled task hides in an encoded command puts a
// hijack back, judged by what it does: starts a browser with an address or
// an extension to load, or downloads a browser extension. None otherwise.
std::optional<std::wstring_view> decodedScriptHijack(std::wstring_view script);

}  // namespace tovask
