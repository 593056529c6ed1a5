#pragma once

#include <string_view>

// The report's texts for what the browsers' profiles hold.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kPreferenceWhatIsWrong = L"preferencia del perfil cambiada";
inline constexpr std::wstring_view kPreferenceWhyLeft =
    L"el navegador protege este archivo: cámbiela desde su configuración";
inline constexpr std::wstring_view kPreferencesHeading =
    L"Preferencias de los perfiles de los navegadores (este programa no las cambia: use "
    L"\"Restablecer la configuración\" en cada navegador):";
inline constexpr std::wstring_view kProfileSeparator = L", perfil ";
// A changed preference's title, followed by what it sets.
inline constexpr std::wstring_view kChangedHomePageTitle = L"Página de inicio cambiada";
inline constexpr std::wstring_view kChangedStartupPageTitle = L"Página que se abre al iniciar";
inline constexpr std::wstring_view kChangedSearchTitle = L"Buscador cambiado";
inline constexpr std::wstring_view kChangedNewTabTitle = L"Página de nueva pestaña cambiada";
inline constexpr std::wstring_view kUnpackedExtensionTitle =
    L"Extensión cargada desde una carpeta del usuario";
inline constexpr std::wstring_view kPreferenceWhatYouCanDo =
    L"abra el navegador, Configuración > Restablecer configuración";
inline constexpr std::wstring_view kHomePagePrefix = L"página principal: ";
inline constexpr std::wstring_view kStartupPagePrefix = L"página de inicio: ";
inline constexpr std::wstring_view kSearchProviderPrefix = L"buscador predeterminado: ";
inline constexpr std::wstring_view kUnpackedExtensionPrefix =
    L"extensión cargada desde una carpeta que el usuario puede modificar: ";
inline constexpr std::wstring_view kPreferencesTooLarge =
    L"el archivo ocupa más de 32 MiB; no se lee";
inline constexpr std::wstring_view kPreferencesNotJson = L"no es un archivo JSON válido; no se lee";

}  // namespace tovask::texts
