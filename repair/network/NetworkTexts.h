#pragma once

#include <string_view>

// The report's texts for proxy, automatic configuration script and DNS findings.
namespace tovask::texts {

inline constexpr std::wstring_view kProxyPrefix = L"Proxy en ";
inline constexpr std::wstring_view kProxyNobodyListens = L", donde no escucha ningún programa";
inline constexpr std::wstring_view kProxyServedByPrefix = L", servido por ";
inline constexpr std::wstring_view kProxyUnknownProgram =
    L", servido por un programa que no se pudo identificar";
inline constexpr std::wstring_view kInUserWritableFolder =
    L", en una carpeta que el usuario puede modificar";
inline constexpr std::wstring_view kScriptPrefix = L"Script de configuración automática en ";
inline constexpr std::wstring_view kScriptInAddress =
    L"Script de configuración automática escrito en la propia dirección (data:)";
inline constexpr std::wstring_view kStaticDnsPrefix = L"Servidores DNS fijos: ";
inline constexpr std::wstring_view kDhcpDnsPrefix = L"Servidores DNS del router (DHCP): ";
inline constexpr std::wstring_view kCheckRouter = L"; revise la configuración del router";
inline constexpr std::wstring_view kHijackerRange = L"rango usado por secuestradores de DNS";
inline constexpr std::wstring_view kEntrySeparator = L"; ";
inline constexpr std::wstring_view kServerSeparator = L", ";

}  // namespace tovask::texts
