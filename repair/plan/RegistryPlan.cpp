#include "repair/plan/RegistryPlan.h"

#include "repair/texts/SiteUrls.h"

namespace tovask {

namespace {

// Paths are kept character for character: letter case, "window Title" and the
// trailing blank of "SearchAssistant " are part of the names the plan targets.
constexpr std::array kPlanRows = {
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
static_assert(kPlanRows.size() == 39);

}  // namespace

constinit const std::span<const RegistryStep> kRegistryRepairPlan{kPlanRows};

constinit const RegistryStep kHostsFolderStep{
    RegistryOperation::WriteValue,
    L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\DataBasePath"};

}  // namespace tovask
