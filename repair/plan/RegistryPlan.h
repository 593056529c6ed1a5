#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/PlatformOps.h"
#include "repair/texts/SiteUrls.h"

namespace tovask {

enum class RegistryOperation { DeleteKey, DeleteValue, WriteValue, WriteKeyDefault };

// Where a written value comes from: a fixed text, a fixed number, the start
// page the user chose for this run, or the browser's blank page in the system
// folder of the view the row is written in.
enum class ValueSource { None, Text, Number, StartPage, LocalPage };

struct RegistryStep {
    RegistryOperation operation;
    std::wstring_view path;
    ValueSource source = ValueSource::None;
    std::wstring_view text{};
    std::int32_t number = 0;
    RegistryType type = RegistryType::String;
};

namespace plan {

constexpr RegistryStep deleteKey(std::wstring_view path) {
    return {RegistryOperation::DeleteKey, path};
}
constexpr RegistryStep deleteValue(std::wstring_view path) {
    return {RegistryOperation::DeleteValue, path};
}
constexpr RegistryStep writeText(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteValue, path, ValueSource::Text, text};
}
constexpr RegistryStep writeKeyDefault(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteKeyDefault, path, ValueSource::Text, text};
}
constexpr RegistryStep writeDwordText(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteValue, path, ValueSource::Text, text, 0, RegistryType::Dword};
}
constexpr RegistryStep writeDword(std::wstring_view path, std::int16_t number) {
    return {
        RegistryOperation::WriteValue, path, ValueSource::Number, {}, number, RegistryType::Dword};
}
constexpr RegistryStep writeStartPage(std::wstring_view path) {
    return {RegistryOperation::WriteValue, path, ValueSource::StartPage};
}
constexpr RegistryStep writeLocalPage(std::wstring_view path) {
    return {RegistryOperation::WriteValue, path, ValueSource::LocalPage};
}

}  // namespace plan

// The registry repair plan: applied in this order, every row once per run.
// Paths are kept character for character: letter case, "window Title" and the
// trailing blank of "SearchAssistant " are part of the names the plan targets.
inline constexpr std::array kRegistryRepairPlan = {
    plan::deleteKey(L"HKLM\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\"),
    plan::writeText(L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell",
                    L"Explorer.exe"),
    plan::writeDwordText(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy "
                         L"Objects\\LocalUser\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                         L"Policies\\Explorer\\NoSaveSettings",
                         L"00000000"),
    plan::deleteKey(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy "
                    L"Objects\\LocalUser\\Software\\Policies\\Microsoft\\Internet Explorer\\"
                    L"Control Panel\\"),
    plan::writeDwordText(
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoSaveSettings",
        L"00000000"),
    plan::writeText(L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Search Page",
                    VendorSearchUrl),
    plan::deleteKey(L"HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\"),
    plan::writeStartPage(L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page"),
    plan::deleteValue(L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"),
    plan::deleteKey(L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\"),
    plan::deleteKey(L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\"),
    plan::writeKeyDefault(L"HKCU\\Software\\Microsoft\\Internet Explorer\\SearchUrl\\", L""),
    plan::writeText(L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks\\"
                    L"{CFBFAE00-17A6-11D0-99CB-00C04FD64497}",
                    L""),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\@ivt",
                     1),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\http",
                     3),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\https",
                     3),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\ftp",
                     3),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\file",
                     3),
    plan::writeDword(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\shell",
                     0),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\AboutURLs\\blank",
                    L"res://mshtml.dll/blank.htm"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Default_Page_URL",
                    VendorDefaultPageUrl),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Default_Search_URL",
                    VendorSearchUrl),
    plan::writeLocalPage(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Local Page"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page",
                    ForumSiteUrl),
    plan::deleteValue(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\CustomizeSearch",
                    VendorCustomizeSearchUrl),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Internet Explorer\\Search\\SearchAssistant ",
                    VendorSearchAssistantUrl),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\@ivt",
                     1),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\http",
                     3),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\https",
                     3),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\ftp",
                     3),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\file",
                     3),
    plan::writeDword(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                     L"Settings\\ZoneMap\\ProtocolDefaults\\shell",
                     0),
    plan::writeKeyDefault(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix\\", L"http://"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\ftp",
                    L"ftp://"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\gopher",
                    L"gopher://"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\home",
                    L"http://"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\mosaic",
                    L"http://"),
    plan::writeText(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes\\www",
                    L"http://"),
};
static_assert(kRegistryRepairPlan.size() == 39);

// Windows reads the HOSTS file from the folder this value names. Unwanted
// software points it at a folder of its own; the run puts the default back
// when it names another folder.
inline constexpr RegistryStep kHostsFolderStep{
    RegistryOperation::WriteValue,
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\DataBasePath"};
inline constexpr std::wstring_view kDefaultHostsFolder = L"%SystemRoot%\\System32\\drivers\\etc";

}  // namespace tovask
