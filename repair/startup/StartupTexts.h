#pragma once

#include <string_view>

// What the report says of the programs that start by themselves, in the
// program's language.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kStartupWhatIsWrong =
    L"programa que se inicia solo y abre el navegador";
inline constexpr std::wstring_view kStartupWhyLeft = L"se deja como está: revíselo a mano";
inline constexpr std::wstring_view kStartupHeading = L"Programas que se inician solos:";
inline constexpr std::wstring_view kStartupNotCounted =
    L"Para revisarlos o repararlos añada /startup.";
// What the report groups them under where they start no browser: Run values
// and Startup files are one place to the user, the scheduled tasks another.
inline constexpr std::wstring_view kStartupGroup = L"Inicio de Windows";
inline constexpr std::wstring_view kTaskGroup = L"Tareas programadas";
inline constexpr std::wstring_view kServicesGroup = L"Servicios de Windows";
// A service's title: "Servicio «<name>» que ...".
inline constexpr std::wstring_view kServiceTitle = L"Servicio";
inline constexpr std::wstring_view kServicesListCut =
    L"la clave tiene demasiados servicios: solo se revisó una parte";
// A task's title: what it does follows its name, by why it was found.
inline constexpr std::wstring_view kTaskOpensBrowserHow =
    L"que abre el navegador en una página o con una extensión";
inline constexpr std::wstring_view kTaskDownloadsExtensionHow =
    L"que descarga una extensión del navegador";
inline constexpr std::wstring_view kTaskServesHijackHow =
    L"que inicia el programa que desvía el navegador";
inline constexpr std::wstring_view kTaskRunsDownloadedCodeHow = L"que descarga y ejecuta código";
inline constexpr std::wstring_view kTaskEncodedScriptHow = L"que ejecuta una orden oculta";
inline constexpr std::wstring_view kTaskUnreadableScriptHow =
    L"que ejecuta una orden oculta que no se puede leer";
inline constexpr std::wstring_view kTaskFetchesAddressHow = L"que descarga o abre una página web";
inline constexpr std::wstring_view kTaskUserScriptHow =
    L"que ejecuta un script de una carpeta del usuario";
inline constexpr std::wstring_view kTaskTakesSystemNameHow =
    L"que inicia un programa con el nombre de uno de Windows";
inline constexpr std::wstring_view kTaskStartsHow = L"que se inicia sola";
inline constexpr std::wstring_view kTaskCacheDiffersHow =
    L"que ejecuta otras órdenes que las que muestra el Programador de tareas";
inline constexpr std::wstring_view kStartupFolderRefused =
    L"carpeta de inicio en una ruta de red o en una unidad que no es un disco de este equipo: "
    L"no se abre";
// Each follows the command, after "; ".
inline constexpr std::wstring_view kStartupOpensBrowser =
    L"abre el navegador en una página o con una extensión";
inline constexpr std::wstring_view kStartupDownloadsExtension =
    L"descarga una extensión del navegador";
inline constexpr std::wstring_view kStartupServesHijack =
    L"inicia el programa que sirve un secuestro encontrado en esta revisión";
inline constexpr std::wstring_view kStartupRunsDownloadedCode = L"descarga y ejecuta código";
// A command encoded for PowerShell, and one whose script cannot be read.
inline constexpr std::wstring_view kStartupEncodedScript = L"ejecuta una orden codificada";
inline constexpr std::wstring_view kStartupUnreadableScript =
    L"ejecuta una orden codificada que no se puede leer";
// After the reason, when the command hides a script.
inline constexpr std::wstring_view kStartupDecodedScriptPrefix = L"; la orden codificada dice: ";
inline constexpr std::wstring_view kStartupFetchesAddress = L"descarga o abre una dirección web";
inline constexpr std::wstring_view kStartupUserScript =
    L"ejecuta un script de una carpeta en la que el usuario puede escribir";
// What an Active Setup component runs at each new user's logon: Windows's own
// components start programs, never a script host.
inline constexpr std::wstring_view kActiveSetupRunsScript = L"ejecuta un script";
inline constexpr std::wstring_view kActiveSetupWritableProgram =
    L"inicia un programa de una carpeta en la que el usuario puede escribir";
// An Active Setup component's title: its name, these words, its command.
inline constexpr std::wstring_view kActiveSetupHow = L"de Active Setup, al entrar cada usuario:";
// A Winlogon value's title: its name, then these words, then the programs
// beside Windows's own; its text says them after the value and "; ".
inline constexpr std::wstring_view kWinlogonHow = L"al iniciar la sesión, junto al de Windows:";
inline constexpr std::wstring_view kWinlogonStartsPrefix =
    L"además del programa de Windows, inicia: ";
// An Internet shortcut's title: these words, its file's name, these words, then
// its address.
inline constexpr std::wstring_view kInternetShortcutTitle = L"Acceso directo a Internet";
inline constexpr std::wstring_view kInternetShortcutHow = L"de la carpeta Inicio abre";
// Followed by which of Windows' programs, kStartupSystemNameLiesIn and the
// folder the command's program lies in.
inline constexpr std::wstring_view kStartupTakesSystemName =
    L"toma el nombre de un programa de Windows y está fuera de su carpeta: ";
inline constexpr std::wstring_view kStartupSystemNameLiesIn = L", en ";
// A task whose actions in the scheduler's registry cache are not its file's;
// followed by the cached command lines.
inline constexpr std::wstring_view kStartupCacheDiffersPrefix =
    L"el Programador de tareas guarda en el registro otras acciones que las de su archivo, "
    L"y son las que ejecuta: ";
inline constexpr std::wstring_view kStartupCacheRunsNothing = L"ningún programa";
// After the reason, when the command is the cache's.
inline constexpr std::wstring_view kStartupFromCache =
    L"; así lo guarda el Programador de tareas en el registro";
inline constexpr std::wstring_view kStartupCacheUnreadable =
    L"acciones de una tarea en el registro del Programador de tareas que no se pueden leer "
    L"enteras";
inline constexpr std::wstring_view kStartupRemovedPrefix = L"Programa de inicio quitado: ";
inline constexpr std::wstring_view kStartupLeftPrefix = L"Programa de inicio dejado: ";
inline constexpr std::wstring_view kStartupNotRemovedPrefix =
    L"No se pudo quitar el programa de inicio: ";
inline constexpr std::wstring_view kStartupRemovedCount = L"programas de inicio quitados";
inline constexpr std::wstring_view kStartupRepairDoes =
    L"quita la entrada o la tarea para que deje de iniciarse; el programa no se borra";
inline constexpr std::wstring_view kStartupWhatYouCanDo =
    L"si no lo reconoce, desactívelo en el Administrador de tareas, pestaña «Inicio», o en el "
    L"Programador de tareas";

}  // namespace tovask::texts
