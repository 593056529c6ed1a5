#pragma once

#include <string_view>

// What the report says of a shortcut, in the program's language.
namespace tovask::texts {

// The report groups a shortcut under the browser it starts, else under its
// folder's place; its title says where it is between its name and what it
// opens.
inline constexpr std::wstring_view kDesktopGroup = L"Escritorio";
inline constexpr std::wstring_view kStartMenuGroup = L"Menú Inicio";
inline constexpr std::wstring_view kTaskbarGroup = L"Barra de tareas";
inline constexpr std::wstring_view kStartupFolderGroup = L"Carpeta de inicio";
inline constexpr std::wstring_view kShortcutWord = L"Acceso directo";
inline constexpr std::wstring_view kDesktopOpens = L"del Escritorio abre";
inline constexpr std::wstring_view kStartMenuOpens = L"del menú Inicio abre";
inline constexpr std::wstring_view kTaskbarOpens = L"de la barra de tareas abre";
inline constexpr std::wstring_view kStartupFolderOpens = L"de la carpeta de inicio abre";
inline constexpr std::wstring_view kRefusedFolderTitle =
    L"Carpeta de accesos directos que no se revisa";
// Followed by the offending arguments as the shortcut holds them.
inline constexpr std::wstring_view kShortcutAddedArgumentsPrefix =
    L"el navegador se abre con argumentos añadidos: ";
inline constexpr std::wstring_view kShortcutScriptOpensAddressPrefix =
    L"tiene nombre o icono de navegador pero ejecuta un intérprete de órdenes que abre: ";
inline constexpr std::wstring_view kShortcutReportOnlySuffix = L"; revíselo y corríjalo a mano";
// Followed by the addresses a browser's shortcut not named as the browser opens.
inline constexpr std::wstring_view kShortcutOpensSitePrefix =
    L"no lleva el nombre del navegador y abre: ";
inline constexpr std::wstring_view kShortcutOwnSiteSuffix =
    L"; puede ser un acceso directo suyo a ese sitio: si no lo creó usted, quite la dirección a "
    L"mano";
// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kShortcutWhatIsWrong = L"acceso directo cambiado";
inline constexpr std::wstring_view kShortcutWhyLeft = L"revíselo y corríjalo a mano";
inline constexpr std::wstring_view kShortcutsRepairedCount = L"accesos directos corregidos";
inline constexpr std::wstring_view kShortcutRepairDoes =
    L"quita del acceso directo lo añadido; el resto queda como estaba";
inline constexpr std::wstring_view kShortcutWhatYouCanDo =
    L"haga clic con el botón derecho en el acceso directo, Propiedades, y borre lo añadido tras "
    L"el programa en «Destino», o bórrelo y créelo de nuevo";
inline constexpr std::wstring_view kShortcutsHeading = L"Accesos directos de navegadores:";
inline constexpr std::wstring_view kShortcutRepairedPrefix = L"Acceso directo reparado: ";
inline constexpr std::wstring_view kShortcutLeftPrefix = L"Acceso directo dejado: ";
inline constexpr std::wstring_view kShortcutNotRepairedPrefix =
    L"No se pudo reparar el acceso directo: ";
inline constexpr std::wstring_view kShortcutChangedMeanwhile =
    L"el acceso directo cambió mientras se revisaba; no se ha tocado";
inline constexpr std::wstring_view kShortcutFolderRefused =
    L"carpeta de accesos directos en una ruta de red o en una unidad que no es un disco de este "
    L"equipo: no se abre";
// With the command line: how to have the shortcut findings counted and repaired.
inline constexpr std::wstring_view kShortcutsNotCounted =
    L"Para revisar o reparar los accesos directos añada /shortcuts.";

}  // namespace tovask::texts
