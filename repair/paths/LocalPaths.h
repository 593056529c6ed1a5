#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovask {

enum class ScriptAddressKind { None, Data, File, Other };

// An automatic configuration script address; for a file: address, the
// Windows path it names (empty when the address cannot be read as one).
struct ScriptAddress {
    ScriptAddressKind kind = ScriptAddressKind::None;
    std::wstring path;

    bool operator==(const ScriptAddress&) const = default;
};

ScriptAddress classifyScriptAddress(std::wstring_view address);

// "file:///C:/Users/x/a.pac", "file://C:\Users\x\a.pac", "file:C:/a.pac",
// "file://localhost/C:/a.pac", "file://server/share/a.pac" (UNC), with
// percent-encoded UTF-8; none for anything else or a bad escape. A drive's
// administrative share on this machine ("file://127.0.0.1/C$/a.pac") is the
// drive.
std::optional<std::wstring> windowsPathOfFileUrl(std::wstring_view url);

// Backslashes only, no "." or empty components, each ".." applied (never above
// the drive or the UNC share), no "\\?\" prefix, no trailing backslash, and
// no trailing dots or spaces in a name, which Windows drops as it opens a path.
std::wstring normalisedPath(std::wstring_view path);

// The normalised path in one case: paths that name the same place compare equal.
std::wstring comparablePath(std::wstring_view path);

// Whether the path is one of the folders or lies below one, after both are
// normalised; case-insensitive and only at a backslash ("C:\Users\ab" is not
// below "C:\Users\a").
bool liesInAnyFolder(std::wstring_view path, std::span<const std::wstring> folders);

}  // namespace tovask
