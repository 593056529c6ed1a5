#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovask {

// The script PowerShell's -EncodedCommand carries: base64 of UTF-16LE text,
// blanks and line breaks passed over. None when the text is not that (a wrong
// letter, a length that is no multiple of four, an odd number of bytes).
std::optional<std::wstring> decodedPowerShellCommand(std::wstring_view encoded);

// Why a PowerShell script, encoded or plain, puts a hijack back, judged by
// what it does: starts a browser with an address or an extension to load,
// downloads a browser extension, or downloads code and runs it (IEX,
// Invoke-Expression, DownloadString; a download with Invoke-WebRequest,
// Invoke-RestMethod, Start-BitsTransfer or WebClient and a program started or
// called). None otherwise.
std::optional<std::wstring_view> powerShellScriptHijack(std::wstring_view script);

}  // namespace tovask
