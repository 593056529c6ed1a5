#pragma once

#include <string_view>

// What a browser policy does to the person, as a finding's title says it, in
// the program's language; the plain ones are the subjects' own
// (report/FindingTexts.h).
namespace tovask::texts {

inline constexpr std::wstring_view kStartupPageTitle = L"Página que se abre al iniciar";
inline constexpr std::wstring_view kSearchEngineNameTitle = L"Nombre del buscador impuesto";
inline constexpr std::wstring_view kAddedSearchEngineTitle = L"Buscador añadido";
inline constexpr std::wstring_view kLockedExtensionTitle = L"Extensión que no se puede quitar";
inline constexpr std::wstring_view kProxyServerPolicyTitle = L"Proxy impuesto";
inline constexpr std::wstring_view kProxyScriptPolicyTitle = L"Script de proxy impuesto";
inline constexpr std::wstring_view kDohResolverTitle =
    L"DNS cifrado impuesto en un servidor desconocido";
inline constexpr std::wstring_view kUnreadablePolicyTitle =
    L"Directiva que el navegador no puede leer";
// A number policy's title says what its number means, after the title's words.
inline constexpr std::wstring_view kSearchTitle = L"Buscador";
inline constexpr std::wstring_view kAddressBarSearchTitle =
    L"Búsqueda desde la barra de direcciones";
inline constexpr std::wstring_view kProxyTitle = L"Proxy";
inline constexpr std::wstring_view kHomePageWord = L"Página de inicio";
inline constexpr std::wstring_view kCannotBeChanged = L"no se puede cambiar";
inline constexpr std::wstring_view kTurnedOff = L"desactivada";
inline constexpr std::wstring_view kTheNewTabPage = L"la página de nueva pestaña";
inline constexpr std::wstring_view kThePolicysPages = L"las que fija la directiva";
inline constexpr std::wstring_view kTheLastSession = L"las de la última vez";

}  // namespace tovask::texts
