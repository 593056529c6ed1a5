#pragma once

#include <array>
#include <string>
#include <string_view>

#include "text/KeyPlace.h"
#include "values/RegistryValue.h"

namespace tovask {

// Where the proxy, script and DNS settings live: the scan reads these keys
// and values, and the backup of a repair may hold only these.
inline constexpr std::wstring_view kInternetSettingsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr std::wstring_view kConnectionsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
inline constexpr std::wstring_view kProxyPerUserPath =
    L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet "
    L"Settings\\ProxySettingsPerUser";
inline constexpr std::wstring_view kProxyEnable = L"ProxyEnable";
inline constexpr std::wstring_view kProxyServer = L"ProxyServer";
inline constexpr std::wstring_view kAutoConfigUrl = L"AutoConfigURL";
inline constexpr std::wstring_view kWinHttpSettings = L"WinHttpSettings";
inline constexpr std::array<std::wstring_view, 2> kConnectionBlobs = {L"DefaultConnectionSettings",
                                                                      L"SavedLegacySettings"};
inline constexpr std::array<std::wstring_view, 2> kTcpipParameters = {
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip6\\Parameters"};
inline constexpr std::wstring_view kNameServer = L"NameServer";
inline constexpr std::wstring_view kDhcpNameServer = L"DhcpNameServer";

}  // namespace tovask
