#pragma once

#include <string_view>

#include "repair/texts/BrowserNames.h"

// The report's texts for Internet Explorer's own restrictions.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kRestrictionWhatIsWrong = L"opción oculta o bloqueada";
inline constexpr std::wstring_view kRestrictionWhyLeft = L"se deja como está";
inline constexpr std::wstring_view kRestrictionsHeading = L"Restricciones de Internet Explorer:";
inline constexpr std::wstring_view kRestrictionsNotCounted =
    L"Para revisarlas o quitarlas añada /browsers.";
inline constexpr std::wstring_view kRestrictionsGroup = kInternetExplorer;
inline constexpr std::wstring_view kRestrictionRemovedPrefix = L"Restricción quitada: ";
inline constexpr std::wstring_view kRestrictionNotRemovedPrefix =
    L"No se pudo quitar la restricción: ";
inline constexpr std::wstring_view kRestrictionLeftPrefix = L"Restricción dejada: ";
inline constexpr std::wstring_view kRestrictionsRemovedCount = L"restricciones quitadas";
inline constexpr std::wstring_view kRestrictionRepairDoes =
    L"quita la restricción: la opción vuelve a aparecer en Internet Explorer";
inline constexpr std::wstring_view kRestrictionWhatYouCanDo =
    L"pida a quien administra el equipo que quite la restricción";

// What each restriction takes from the user.
inline constexpr std::wstring_view kHidesOptions = L"oculta «Opciones de Internet»";
inline constexpr std::wstring_view kHidesContextMenu = L"quita el menú contextual";
inline constexpr std::wstring_view kHidesFileOpen = L"quita «Abrir» del menú Archivo";
inline constexpr std::wstring_view kHidesFileNew = L"quita «Nuevo» del menú Archivo";
inline constexpr std::wstring_view kHidesSaveAs = L"quita «Guardar como»";
inline constexpr std::wstring_view kHidesClose = L"impide cerrar el navegador";
inline constexpr std::wstring_view kHidesFavorites = L"oculta los Favoritos";
inline constexpr std::wstring_view kHidesNewWindow = L"impide abrir vínculos en una ventana nueva";
inline constexpr std::wstring_view kHidesFullScreen = L"quita la pantalla completa";
inline constexpr std::wstring_view kHidesFindFiles = L"quita la búsqueda de archivos";
inline constexpr std::wstring_view kHidesViewSource = L"impide ver el código fuente de la página";
inline constexpr std::wstring_view kHidesDownloadFolder =
    L"impide elegir la carpeta de las descargas";
inline constexpr std::wstring_view kHidesNavigation = L"oculta los botones Atrás y Adelante";
inline constexpr std::wstring_view kHidesPrinting = L"quita «Imprimir» y la vista previa";
inline constexpr std::wstring_view kHidesHelpMenu = L"oculta el menú Ayuda";
inline constexpr std::wstring_view kHidesAddOns = L"impide activar o desactivar los complementos";

}  // namespace tovask::texts
