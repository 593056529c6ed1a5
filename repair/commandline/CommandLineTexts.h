#pragma once

#include <cstddef>
#include <string_view>

#include "Version.h"

// The fixed texts of the unattended mode, in the program's language.
namespace tovask::texts {

// The window's start page box holds at most this many UTF-16 units, so the
// command line accepts no more either.
inline constexpr std::size_t kLongestStartPage = 32767;

// Why a command line is refused; each message ends with kSeeUsage.
inline constexpr std::wstring_view kUnknownArgumentPrefix = L"Argumento desconocido: ";
inline constexpr std::wstring_view kRepeatedSwitchPrefix = L"Modificador repetido: ";
inline constexpr std::wstring_view kUnexpectedValuePrefix = L"Este modificador no lleva valor: ";
inline constexpr std::wstring_view kMissingValuePrefix = L"Falta el valor de ";
inline constexpr std::wstring_view kMissingValueExample = L". Escriba ";
inline constexpr std::wstring_view kMoreThanOneCommand =
    L"Indique un solo comando: /check, /repair, /undo, /runs o /?.";
inline constexpr std::wstring_view kMissingCommand =
    L"Falta el comando: /check, /repair, /undo o /runs.";
inline constexpr std::wstring_view kRunNumberUnknownPrefix =
    L"/undo: lleva el número de una ejecución que /runs lista: ";
inline constexpr std::wstring_view kStartPageWithoutRepair =
    L"/startpage solo se puede usar con /check o /repair.";
inline constexpr std::wstring_view kAllowWithoutCheck =
    L"/allow solo se puede usar con /check o /repair.";
inline constexpr std::wstring_view kHostsResetWithoutRepair =
    L"/hosts:reset solo se puede usar con /check o /repair.";
inline constexpr std::wstring_view kHostsValueUnknownPrefix =
    L"/hosts solo admite el valor reset (/hosts:reset): ";
inline constexpr std::wstring_view kUsageStandsAlone = L"/? no se combina con otros modificadores.";
inline constexpr std::wstring_view kStartPageTooLong =
    L"La página de inicio es demasiado larga: admite hasta 32767 caracteres.";
inline constexpr std::wstring_view kSeeUsage = L" Escriba Tovask.exe /? para ver la ayuda.";

// The header of each run's block in the log, after the date and time.
inline constexpr std::wstring_view kLogNotWritablePrefix =
    L"No se puede escribir el archivo de informe ";
inline constexpr std::wstring_view kNotElevated =
    L"Tovask debe ejecutarse como administrador: no se ha cambiado nada.";
inline constexpr std::wstring_view kLogComputerLabel = L" Equipo: ";
inline constexpr std::wstring_view kLogUserLabel = L" Usuario: ";
inline constexpr std::wstring_view kLogUnknownName = L"(desconocido)";
inline constexpr std::wstring_view kLogProgramLabel = L" Tovask " TOVASK_VERSION_TEXT L" Orden: ";
inline constexpr std::wstring_view kLogExitCodeLabel = L"Código de salida: ";

// What /? shows. Lines are joined with "\n" alone; the caller ends them.
inline constexpr std::wstring_view kUsage =
    L"Uso: Tovask.exe /check | /repair [/startpage:<URL>] [/hosts:reset] | /undo[:<n>] | /runs "
    L"[/log:<archivo>]\n"
    L"                  [/allusers] [/json] [/allow:<archivo>]\n"
    L"                  [/all | [/browsers] [/network] [/shortcuts] [/startup]]\n"
    L"Ejemplo para un despliegue: Tovask.exe /check /all y Tovask.exe /repair /all.\n"
    L"Sin argumentos, Tovask abre su ventana.\n"
    L"\n"
    L"Comandos:\n"
    L"  /check             Muestra lo que la reparación con los mismos modificadores cambiaría,\n"
    L"                     sin cambiar nada.\n"
    L"  /repair            Desbloquea Internet Explorer y quita del archivo Hosts las entradas\n"
    L"                     que envían un nombre público a otra dirección o bloquean sitios de\n"
    L"                     actualización y de seguridad; deja las demás (bloqueos de anuncios,\n"
    L"                     nombres privados como .local o .internal) y cada byte del resto.\n"
    L"  /undo              Deshace los cambios de la última reparación.\n"
    L"  /undo:<n>          Deshace la ejecución n de /runs: solo lo que sigue como ella lo dejó.\n"
    L"  /runs              Lista las copias de cada ejecución y si se pueden deshacer.\n"
    L"  /?                 Muestra esta ayuda.\n"
    L"\n"
    L"Modificadores:\n"
    L"  /startpage:<URL>   Con /repair: la página de inicio que se pone; sin él, la página "
    L"predeterminada.\n"
    L"                     Con /check: la página con la que se compara.\n"
    L"  /hosts:reset       Con /repair: pone el archivo Hosts predeterminado entero, como el\n"
    L"                     botón Desbloquear IE. Con /check: se acepta para usar los mismos\n"
    L"                     modificadores.\n"
    L"  /log:<archivo>     Añade el informe al final del archivo, en UTF-8.\n"
    L"  /json              Escribe la ejecución como un documento JSON en UTF-8 (cada hallazgo\n"
    L"                     con su identificador, su tipo y lo que se hizo con él): en la salida\n"
    L"                     estándar, o como una línea al final del archivo de /log.\n"
    L"  /allow:<archivo>   Con /check y /repair: lo que el archivo (UTF-8, una entrada por\n"
    L"                     línea) declara propio no se repara ni cuenta: se lista como\n"
    L"                     \"permitido por la lista\". Se suma a la lista de la directiva\n"
    L"                     HKLM\\SOFTWARE\\Policies\\Tovask\\Allow. Con /allusers no se aplica\n"
    L"                     un archivo de una carpeta que los usuarios pueden escribir.\n"
    L"  /allusers          Aplica la configuración de cada usuario a todos los perfiles de "
    L"usuario.\n"
    L"  /browsers          Con /check: los bloqueos por directivas de Chrome, Edge, Brave,\n"
    L"                     Chromium, Vivaldi, Yandex Browser y Firefox (también su\n"
    L"                     policies.json, su distribution.ini, sus extensiones de\n"
    L"                     distribución y su autoconfiguración) y lo que un secuestrador\n"
    L"                     puso en cada perfil de los navegadores cuentan\n"
    L"                     como algo que reparar. Con /repair: se quitan (un perfil, solo\n"
    L"                     con su navegador cerrado), con copia de seguridad que\n"
    L"                     /undo vuelve a poner. Sin él, /check solo los lista y /repair\n"
    L"                     los deja. En un equipo de un dominio, unido a la nube o inscrito\n"
    L"                     en una administración de dispositivos, solo se informan: no se\n"
    L"                     cambia ninguna directiva.\n"
    L"  /network           Con /check: cuentan como algo que reparar el proxy en este equipo\n"
    L"                     donde no escucha nadie o servido por un programa de una carpeta\n"
    L"                     del usuario, el script de configuración automática en una carpeta\n"
    L"                     del usuario o escrito en la dirección (data:), y los servidores\n"
    L"                     DNS fijos de rangos usados por secuestradores. Con /repair: se\n"
    L"                     quitan (conexión directa con detección automática; los DNS del\n"
    L"                     router), con copia de seguridad que /undo vuelve a poner. Otros\n"
    L"                     proxys, scripts y DNS solo se informan. Sin él, /check solo los\n"
    L"                     lista y /repair los deja. En un equipo administrado solo se\n"
    L"                     informan.\n"
    L"  /shortcuts         Con /check: los accesos directos de navegadores que abren una\n"
    L"                     página añadida o cargan una extensión cuentan como algo que reparar.\n"
    L"                     Con /repair: se quitan solo esos argumentos, con copia de seguridad\n"
    L"                     que /undo vuelve a poner. Sin él, /check solo los lista y /repair\n"
    L"                     los deja. Los que ejecutan un intérprete de órdenes solo se informan.\n"
    L"  /startup           Con /check: los programas que se inician solos (Run y RunOnce del\n"
    L"                     equipo y de cada usuario, tareas programadas, carpetas Inicio) y\n"
    L"                     abren el navegador en una página o con una extensión, ejecutan una\n"
    L"                     orden codificada, una dirección web o un script de una carpeta del\n"
    L"                     usuario, o inician el programa de un secuestro encontrado, cuentan\n"
    L"                     como algo que reparar. Con /repair: el valor se quita, la tarea se\n"
    L"                     desactiva y el archivo pasa a las copias; /undo lo vuelve a poner.\n"
    L"                     Sin él, /check solo los lista y /repair los deja.\n"
    L"  /all               Todo lo que el programa sabe revisar: hoy /browsers, /network,\n"
    L"                     /shortcuts y /startup, y cada tipo que se añada. Úselo en los\n"
    L"                     despliegues.\n"
    L"Comandos y modificadores empiezan con / o -, sin distinguir mayúsculas de minúsculas.\n"
    L"\n"
    L"Códigos de salida:\n"
    L"  0  Hecho sin fallos, o /check no encontró nada que reparar.\n"
    L"  1  /check encontró algo que reparar.\n"
    L"  2  Línea de comandos incorrecta; no se cambió nada.\n"
    L"  3  Hecho con fallos (también un perfil cuyo navegador seguía abierto); el informe\n"
    L"     nombra cada uno.\n"
    L"  4  Rechazado porque el navegador está abierto.\n"
    L"  5  Otra reparación o deshacer está en curso.\n"
    L"  6  No se puede ejecutar: hace falta ser administrador, o no se puede escribir el archivo "
    L"de informe de /log.\n"
    L"  7  /undo no encontró cambios que deshacer; no se cambió nada.\n"
    L"  8  /undo:<n> rechazado: esa ejecución ya se deshizo; no se cambió nada.";

}  // namespace tovask::texts
