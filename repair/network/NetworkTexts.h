#pragma once

#include <string_view>

// The report's texts for proxy, automatic configuration script and DNS findings.
namespace tovask::texts {

inline constexpr std::wstring_view kProxyPrefix = L"Proxy en ";
inline constexpr std::wstring_view kProxyNobodyListens = L", donde no escucha ningún programa";
inline constexpr std::wstring_view kProxyServedByPrefix = L", servido por ";
inline constexpr std::wstring_view kProxyUnknownProgram =
    L", servido por un programa que no se pudo identificar";
inline constexpr std::wstring_view kProxyOfThePerson =
    L", un programa que el usuario abrió en su propia sesión";
inline constexpr std::wstring_view kKnownAdwareProxy = L", un proxy publicitario conocido";
inline constexpr std::wstring_view kStartedAsHijack =
    L", un programa que el inicio de Windows arranca como secuestro";
inline constexpr std::wstring_view kNotOnThisMachine =
    L", en una ruta de red o en una unidad que no es un disco de este equipo: no se abre";
inline constexpr std::wstring_view kInUserWritableFolder =
    L", en una carpeta que el usuario puede modificar";
inline constexpr std::wstring_view kInUserWritableFolders =
    L", en carpetas que el usuario puede modificar";
// For a user who is not logged on: what starts when the user logs on.
inline constexpr std::wstring_view kNothingStartsAtLogon =
    L", donde no escucha ningún programa ni arranca ninguno al iniciar sesión el usuario";
inline constexpr std::wstring_view kStartsAtLogon =
    L", sin sesión del usuario; al iniciarla arranca ";
inline constexpr std::wstring_view kStartAtLogon =
    L", sin sesión del usuario; al iniciarla arrancan ";
inline constexpr std::wstring_view kScriptPrefix = L"Script de configuración automática en ";
inline constexpr std::wstring_view kOnInternetHost = L", en un servidor de Internet";
inline constexpr std::wstring_view kScriptInAddress =
    L"Script de configuración automática escrito en la propia dirección (data:)";
inline constexpr std::wstring_view kStaticDnsPrefix = L"Servidores DNS fijos: ";
inline constexpr std::wstring_view kDhcpDnsPrefix = L"Servidores DNS del router (DHCP): ";
inline constexpr std::wstring_view kCheckRouter = L"; revise la configuración del router";
inline constexpr std::wstring_view kHijackerRange = L"rango usado por secuestradores de DNS";
// A rule of the name resolution table, and a library that Windows loads into
// every program that connects or looks up a name.
inline constexpr std::wstring_view kNameRulePrefix = L"Regla de resolución de nombres que envía ";
inline constexpr std::wstring_view kNameRuleToServer = L" al servidor DNS ";
inline constexpr std::wstring_view kNameRuleToServers = L" a los servidores DNS ";
inline constexpr std::wstring_view kEveryName = L"todos los nombres";
inline constexpr std::wstring_view kUnreadableNameRule =
    L"regla de resolución de nombres dañada: se deja como está";
inline constexpr std::wstring_view kWinsockProviderPrefix =
    L"Biblioteca de red que no es de Windows: ";
inline constexpr std::wstring_view kWinsockProviderRemoval =
    L"; quite el programa que la instaló y después ejecute «netsh winsock reset» como "
    L"administrador";
inline constexpr std::wstring_view kUnreadableWinsockEntry =
    L"entrada del catálogo de Winsock dañada: se deja como está";
inline constexpr std::wstring_view kEntrySeparator = L"; ";
inline constexpr std::wstring_view kServerSeparator = L", ";

// A finding's title: what the judgement of a proxy, a script or DNS servers
// means to the person, followed by the address.
inline constexpr std::wstring_view kProxyNotWorkingTitle = L"Proxy que no funciona";
inline constexpr std::wstring_view kProxyUnknownTitle =
    L"Proxy de un programa que no se pudo identificar";
inline constexpr std::wstring_view kProxyUserFolderTitle =
    L"Proxy de un programa guardado en una carpeta del usuario";
inline constexpr std::wstring_view kProxyThisMachineTitle = L"Proxy de un programa de este equipo";
inline constexpr std::wstring_view kProxyAtLogonTitle =
    L"Proxy de un programa que arranca al iniciar sesión";
inline constexpr std::wstring_view kProxyOfThePersonTitle =
    L"Proxy de un programa que abrió el usuario";
inline constexpr std::wstring_view kProxyAdwareTitle = L"Proxy publicitario conocido";
inline constexpr std::wstring_view kProxyHijackTitle =
    L"Proxy de un programa que arranca como secuestro";
inline constexpr std::wstring_view kProxyElsewhereTitle = L"Proxy en otro equipo";
inline constexpr std::wstring_view kProxySetTitle = L"Proxy configurado";
inline constexpr std::wstring_view kScriptNotWorkingTitle =
    L"Script de proxy que no se puede descargar";
inline constexpr std::wstring_view kScriptUnknownTitle =
    L"Script de proxy de un programa que no se pudo identificar";
inline constexpr std::wstring_view kScriptUserFolderTitle =
    L"Script de proxy de un programa guardado en una carpeta del usuario";
inline constexpr std::wstring_view kScriptThisMachineTitle =
    L"Script de proxy de un programa de este equipo";
inline constexpr std::wstring_view kScriptAtLogonTitle =
    L"Script de proxy de un programa que arranca al iniciar sesión";
inline constexpr std::wstring_view kScriptOfThePersonTitle =
    L"Script de proxy de un programa que abrió el usuario";
inline constexpr std::wstring_view kScriptAdwareTitle =
    L"Script de proxy de un proxy publicitario conocido";
inline constexpr std::wstring_view kScriptHijackTitle =
    L"Script de proxy de un programa que arranca como secuestro";
inline constexpr std::wstring_view kScriptElsewhereTitle = L"Script de proxy en otro equipo";
inline constexpr std::wstring_view kScriptInUserFolderTitle =
    L"Script de proxy en una carpeta del usuario";
inline constexpr std::wstring_view kScriptOnInternetTitle = L"Script de proxy en Internet";
inline constexpr std::wstring_view kWrittenInTheAddress = L"escrito en la propia dirección";
inline constexpr std::wstring_view kNameRuleTitle = L"Nombres de Internet resueltos por otros DNS";
inline constexpr std::wstring_view kWinsockProviderTitle = L"Biblioteca de red ajena a Windows";
inline constexpr std::wstring_view kWinsockProviderInUserFolderTitle =
    L"Biblioteca de red guardada en una carpeta del usuario";
inline constexpr std::wstring_view kHijackerDnsTitle = L"DNS de secuestradores";
inline constexpr std::wstring_view kFixedDnsTitle = L"DNS fijos";
inline constexpr std::wstring_view kRouterDnsTitle = L"DNS del router";
inline constexpr std::wstring_view kMachineWideProxyTitle = L"Proxy";
inline constexpr std::wstring_view kSameForEveryUser = L"el mismo para todos los usuarios";

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kNetworkWhatIsWrong = L"la conexión pasa por un ajuste impuesto";
inline constexpr std::wstring_view kNetworkWhyLeft = L"se deja como está: revíselo a mano";
inline constexpr std::wstring_view kNetworkRepairDoes =
    L"vuelve a la conexión directa a Internet o a los DNS que da el router";
inline constexpr std::wstring_view kNetworkWhatYouCanDo =
    L"si no lo puso usted ni quien administra el equipo, quítelo en Configuración > Red e "
    L"Internet > Proxy, o en las propiedades del adaptador de red para los DNS";
// How the report groups and heads them, and what it says around a repair.
inline constexpr std::wstring_view kNetworkResetCount = L"ajustes de red restablecidos";
inline constexpr std::wstring_view kNetworkHeading = L"Proxy, configuración automática y DNS:";
inline constexpr std::wstring_view kNetworkNotCounted =
    L"Para revisarlos o repararlos añada /network.";
// The proxy, its script and the DNS servers are one place to the user.
inline constexpr std::wstring_view kNetworkGroup = L"Proxy y DNS";
inline constexpr std::wstring_view kMachineWideProxy =
    L"los ajustes de proxy son los del equipo para todos los usuarios";
inline constexpr std::wstring_view kManagedNetworkLeft =
    L"En un equipo administrado solo se reparan el proxy de este equipo y el script de "
    L"configuración automática de cada usuario cuando los sirve un programa de sus propias "
    L"carpetas; los demás ajustes de red solo se informan.";
inline constexpr std::wstring_view kNetworkRepairedPrefix = L"Ajuste de red reparado: ";
inline constexpr std::wstring_view kNetworkLeftPrefix = L"Ajuste de red dejado: ";
inline constexpr std::wstring_view kNetworkNotRepairedPrefix =
    L"No se pudo reparar el ajuste de red: ";
inline constexpr std::wstring_view kUnreadableSettings =
    L"ajustes de conexión dañados: se dejan como están";
inline constexpr std::wstring_view kInternetSettingsTarget =
    L"aviso de cambio de ajustes de Internet";
inline constexpr std::wstring_view kInternetSettingsNotReread =
    L"El sistema tomó el aviso del cambio de proxy pero no pudo hacer que se lea ya; los "
    L"navegadores abiertos lo leerán al reiniciarse.";

}  // namespace tovask::texts
