#pragma once

#include <string_view>

// The report's texts for the extensions the browsers install from the registry.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kExtensionWhatIsWrong = L"extensión instalada a la fuerza";
inline constexpr std::wstring_view kExtensionWhyLeft =
    L"no se puede quitar sin riesgo: quítela desde el navegador";
inline constexpr std::wstring_view kExtensionsHeading =
    L"Extensiones instaladas desde el registro:";
inline constexpr std::wstring_view kExtensionsNotCounted =
    L"Para revisarlas o quitarlas añada /browsers.";
inline constexpr std::wstring_view kExtensionRemovedPrefix = L"Extensión quitada: ";
inline constexpr std::wstring_view kExtensionNotRemovedPrefix = L"No se pudo quitar la extensión: ";
inline constexpr std::wstring_view kExtensionLeftPrefix = L"Extensión dejada: ";
inline constexpr std::wstring_view kExtensionsRemovedCount = L"extensiones quitadas";
inline constexpr std::wstring_view kExtensionRepairDoes =
    L"quita la extensión del registro: el navegador la desinstala la próxima vez que se abre";
inline constexpr std::wstring_view kExtensionWhatYouCanDo =
    L"abra el navegador, Extensiones, y quite la que no reconozca";
inline constexpr std::wstring_view kOffStorePrefix = L"se instala fuera de la tienda, desde ";
inline constexpr std::wstring_view kWritablePackagePrefix =
    L"se instala desde un paquete en una carpeta que el usuario puede modificar: ";
inline constexpr std::wstring_view kPackagePrefix = L"se instala desde el paquete ";
inline constexpr std::wstring_view kRemovedExtensionsUninstalled =
    L"Cada navegador desinstala las extensiones quitadas la próxima vez que se abre.";

}  // namespace tovask::texts
