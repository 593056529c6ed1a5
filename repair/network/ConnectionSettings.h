#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "values/Result.h"

namespace tovask {

// The flags word of Internet Settings\Connections\DefaultConnectionSettings
// and SavedLegacySettings, which browsers follow over the string values.
namespace connectionflags {
inline constexpr std::uint32_t kDirect = 1;
inline constexpr std::uint32_t kProxy = 2;
inline constexpr std::uint32_t kAutoConfigScript = 4;
inline constexpr std::uint32_t kAutoDetect = 8;
}  // namespace connectionflags

// The WinINet connection settings blob: version, change counter, flags, then
// the counted single-byte strings, then data this program does not interpret,
// kept so that encoding gives back the bytes decoded.
struct ConnectionSettings {
    std::uint32_t version = 0;
    std::uint32_t counter = 0;
    std::uint32_t flags = 0;
    std::string proxyServer;
    std::string bypassList;
    std::string scriptAddress;
    std::vector<std::uint8_t> trailing;

    bool operator==(const ConnectionSettings&) const = default;
};

// Fails with std::errc::illegal_byte_sequence ("cannot decode") when the blob
// ends before its header or before a string its count announces.
Result<ConnectionSettings> decodeConnectionSettings(std::span<const std::uint8_t> blob);
std::vector<std::uint8_t> encodeConnectionSettings(const ConnectionSettings& settings);

// Which of the two redirections a repair takes away.
struct ClearedEntries {
    bool proxyServer = false;
    bool scriptAddress = false;

    bool any() const { return proxyServer || scriptAddress; }
    bool operator==(const ClearedEntries&) const = default;
};

// Direct plus detect-automatically, the named entries emptied, the bypass list
// and the trailing data kept, the counter moved on so that WinINet rereads it.
// An entry not named keeps its flag.
ConnectionSettings repairedConnectionSettings(const ConnectionSettings& settings,
                                              ClearedEntries cleared);

// The access type of HKLM\...\Internet Settings\Connections\WinHttpSettings.
namespace winhttpaccess {
inline constexpr std::uint32_t kDirect = 1;
inline constexpr std::uint32_t kNamedProxy = 3;
}  // namespace winhttpaccess

// The WinHTTP proxy blob ("netsh winhttp set proxy"): version, counter, access
// type, then the counted proxy server and bypass list.
struct WinHttpSettings {
    std::uint32_t version = 0;
    std::uint32_t counter = 0;
    std::uint32_t accessType = 0;
    std::string proxyServer;
    std::string bypassList;
    std::vector<std::uint8_t> trailing;

    bool usesProxy() const { return (accessType & 2) != 0; }
    bool operator==(const WinHttpSettings&) const = default;
};

Result<WinHttpSettings> decodeWinHttpSettings(std::span<const std::uint8_t> blob);
std::vector<std::uint8_t> encodeWinHttpSettings(const WinHttpSettings& settings);
// What "netsh winhttp reset proxy" leaves: direct access, no proxy, no bypass
// list, in the version the machine already writes.
WinHttpSettings directWinHttpSettings(const WinHttpSettings& settings);

// The blob's single-byte text as the report shows it.
std::wstring widenedText(std::string_view text);

}  // namespace tovask
