#pragma once

#include <string_view>

// The report's texts for what the browsers' profiles hold.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kPreferenceWhatIsWrong = L"preferencia del perfil cambiada";
inline constexpr std::wstring_view kPreferenceWhyLeft =
    L"en un equipo administrado por una organización, los perfiles no se cambian";
inline constexpr std::wstring_view kPreferencesHeading =
    L"Preferencias de los perfiles de los navegadores:";
inline constexpr std::wstring_view kPreferencesNotCounted =
    L"Para revisar o reparar las preferencias de los perfiles añada /browsers.";
inline constexpr std::wstring_view kPreferenceRepairedPrefix =
    L"Preferencia devuelta a la del navegador: ";
inline constexpr std::wstring_view kPreferenceNotRepairedPrefix =
    L"No se pudo devolver la preferencia: ";
inline constexpr std::wstring_view kPreferenceLeftPrefix = L"Preferencia dejada: ";
inline constexpr std::wstring_view kPreferencesRepairedCount =
    L"preferencias de perfiles devueltas";
inline constexpr std::wstring_view kPreferenceRepairDoes =
    L"con el navegador cerrado, borra del perfil lo que puso el secuestrador (el archivo pasa "
    L"antes a las copias): al abrirse, el navegador vuelve por sí mismo a su valor de siempre";
inline constexpr std::wstring_view kPreferenceWhatYouCanDo =
    L"abra el navegador, Configuración > Restablecer configuración";
inline constexpr std::wstring_view kProfileSeparator = L", perfil ";
// A changed preference's title, followed by what it sets.
inline constexpr std::wstring_view kChangedHomePageTitle = L"Página de inicio cambiada";
inline constexpr std::wstring_view kChangedStartupPageTitle = L"Página que se abre al iniciar";
inline constexpr std::wstring_view kChangedSearchTitle = L"Buscador cambiado";
inline constexpr std::wstring_view kChangedNewTabTitle = L"Página de nueva pestaña cambiada";
inline constexpr std::wstring_view kChangedProxyScriptTitle = L"Script de proxy cambiado";
inline constexpr std::wstring_view kUnpackedExtensionTitle =
    L"Extensión cargada desde una carpeta del usuario";
inline constexpr std::wstring_view kCampaignExtensionTitle =
    L"Extensión que una clave del registro instala a la fuerza";
inline constexpr std::wstring_view kHomePagePrefix = L"página principal: ";
inline constexpr std::wstring_view kStartupPagePrefix = L"página de inicio: ";
inline constexpr std::wstring_view kNewTabPagePrefix = L"página de nueva pestaña: ";
inline constexpr std::wstring_view kSearchProviderPrefix = L"buscador predeterminado: ";
inline constexpr std::wstring_view kProxyScriptPrefix = L"script de proxy: ";
inline constexpr std::wstring_view kUnpackedExtensionPrefix =
    L"extensión cargada desde una carpeta que el usuario puede modificar: ";
inline constexpr std::wstring_view kCampaignExtensionPrefix =
    L"extensión que una clave de extensiones del registro instala: ";
inline constexpr std::wstring_view kPreferencesTooLarge =
    L"el archivo ocupa más de 32 MiB; no se lee";
inline constexpr std::wstring_view kPreferencesNotJson = L"no es un archivo JSON válido; no se lee";
// Said of a profile whose browser runs: it would write its own copy back.
inline constexpr std::wstring_view kBrowserOpenPrefix = L"navegador abierto: cierre ";
inline constexpr std::wstring_view kBrowserOpenSuffix = L" y repare de nuevo";
inline constexpr std::wstring_view kCloseBrowsersPrompt =
    L"Cierre estos navegadores para que se puedan reparar sus perfiles:";
inline constexpr std::wstring_view kCloseBrowsersQuestion =
    L"Pulse Sí cuando estén cerrados, o No para dejar sus perfiles como están.";
inline constexpr std::wstring_view kExtensionFolderCut =
    L"la carpeta de la extensión tiene demasiados archivos; se deja donde está";
// The browser's own reset page, offered for a profile that could not be put back.
inline constexpr std::wstring_view kOpenResetPagePrefix = L"No se pudo reparar el perfil de ";
inline constexpr std::wstring_view kOpenResetPageQuestion =
    L"¿Abrir ahora la página del navegador que restablece su configuración?";

}  // namespace tovask::texts
