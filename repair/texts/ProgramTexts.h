#pragma once

#include <string_view>

#include "Version.h"

// Every fixed text the user sees, in the program's language.
namespace tovask::texts {

inline constexpr std::wstring_view kBrowserWindowClass = L"IEFrame";

// Messages.
inline constexpr std::wstring_view kWarningTitle = L"Aviso";
inline constexpr std::wstring_view kCloseBrowserPrompt =
    L"Por favor cierre el navegador Internet Explorer y vuelva a ejecutar "
    L"Tovask " TOVASK_VERSION_TEXT;
inline constexpr std::wstring_view kFinishedTitle = L"Finalizado";
inline constexpr std::wstring_view kRepairSucceededPrompt =
    L"Internet Explorer desbloqueado exitosamente";
inline constexpr std::wstring_view kRepairFailedPromptPrefix =
    L"Internet Explorer desbloqueado con errores. Operaciones fallidas: ";
inline constexpr std::wstring_view kUndoFinishedPrompt = L"Finalizado";
inline constexpr std::wstring_view kErrorTitle = L"Error";
inline constexpr std::wstring_view kUndoFailedPromptPrefix = L"No se pudo restaurar el archivo ";
inline constexpr std::wstring_view kFailedOperationsPrefix = L"Operaciones fallidas: ";
inline constexpr std::wstring_view kUndoWithFailuresPromptPrefix =
    L"Cambios deshechos con errores. Operaciones fallidas: ";
inline constexpr std::wstring_view kAnotherRepairPrompt =
    L"Otra reparación está en curso en este equipo. Vuelva a intentarlo cuando termine.";
inline constexpr std::wstring_view kBrowserOpenByPrefix = L"Internet Explorer está abierto por: ";
inline constexpr std::wstring_view kSiteNotOpenedPromptPrefix = L"No se pudo abrir el sitio ";

// Progress lines.
inline constexpr std::wstring_view kRunStarted = L"Finalizado:";
inline constexpr std::wstring_view kRegistryRestored = L"Registro restaurado";
inline constexpr std::wstring_view kHostsBackedUp = L"Backup del Archivo Hosts";
inline constexpr std::wstring_view kHostsRestored = L"Archivo Hosts restaurado";
inline constexpr std::wstring_view kStartPagePrefix = L"Página de inicio: ";
inline constexpr std::wstring_view kErrorLinePrefix = L"Error: ";
inline constexpr std::wstring_view kUndoDone = L"Cambios desechos.....Hecho";
// What the undo puts back, told before it acts and again as each comes back.
inline constexpr std::wstring_view kUndoWillPutBack = L"Deshacer pondrá de nuevo:";
inline constexpr std::wstring_view kUndoBackupMadePrefix = L"Copia de seguridad del ";
inline constexpr std::wstring_view kUndoQuestion = L"¿Desea deshacer estos cambios?";
inline constexpr std::wstring_view kUndoDeclined =
    L"No se ha deshecho nada: no se ha cambiado nada.";
inline constexpr std::wstring_view kNothingToUndo = L"No hay cambios que deshacer.";
inline constexpr std::wstring_view kUndoPutBackPrefix = L"Puesto de nuevo: ";
inline constexpr std::wstring_view kUndoIeHeading = L"Internet Explorer:";
inline constexpr std::wstring_view kUndoHostsHeading = L"Archivo Hosts:";
inline constexpr std::wstring_view kUndoDefaultValue = L"(predeterminado)";
inline constexpr std::wstring_view kUndoOneKey = L" clave del registro";
inline constexpr std::wstring_view kUndoKeys = L" claves del registro";
inline constexpr std::wstring_view kUndoOneValue = L" valor del registro";
inline constexpr std::wstring_view kUndoValues = L" valores del registro";
inline constexpr std::wstring_view kUndoOneFile = L" archivo";
inline constexpr std::wstring_view kUndoFiles = L" archivos";
inline constexpr std::wstring_view kUndoCopyOfPrefix = L" (copia del ";
// When several runs can still be undone: which this undo undoes, and which
// earlier ones are left to the command line.
inline constexpr std::wstring_view kUndoRunsPrefix = L"Ejecuciones que se deshacen: ";
inline constexpr std::wstring_view kUndoRunsLeftPrefix =
    L"Ejecuciones anteriores, que se deshacen desde la línea de comandos: ";
inline constexpr std::wstring_view kUndoRunSwitch = L"/undo:";
// The backups of each run, listed by /runs and undone one by one.
inline constexpr std::wstring_view kRunSetTooLarge =
    L"La copia de la ejecución es mayor de lo que este programa escribe; no se usa.";
inline constexpr std::wstring_view kRunManifestRefused =
    L"La copia de la ejecución está dañada o no es de este programa; no se usa.";
inline constexpr std::wstring_view kNoRunSets = L"No hay copias de ninguna ejecución.";
inline constexpr std::wstring_view kRunSetPrefix = L"Ejecución ";
inline constexpr std::wstring_view kRunSetEveryUser = L"todos los usuarios";
inline constexpr std::wstring_view kRunSetCurrentUser = L"el usuario actual";
inline constexpr std::wstring_view kRunSetNoSwitches = L"solo Internet Explorer";
inline constexpr std::wstring_view kRunSetOneHostsFile = L" archivo Hosts";
inline constexpr std::wstring_view kRunSetHostsFiles = L" archivos Hosts";
inline constexpr std::wstring_view kRunSetCanBeUndone = L"se puede deshacer";
inline constexpr std::wstring_view kRunSetFindingsPrefix = L"hallazgos reparados: ";
inline constexpr std::wstring_view kRunSetUndonePrefix = L"deshecha el ";
inline constexpr std::wstring_view kRunSetRefusedPrefix = L"no se puede usar: ";
inline constexpr std::wstring_view kRunSetsSizePrefix = L"Tamaño de todas las copias: ";
inline constexpr std::wstring_view kRunSetsSizeUnit = L" bytes";
inline constexpr std::wstring_view kRunSetUnknownPrefix = L"No hay copia de la ejecución ";
inline constexpr std::wstring_view kRunAlreadyUndonePrefix =
    L"Esa ejecución ya se deshizo; no se deshace dos veces. Se deshizo el ";
// An item a later run or the person changed after the run is never overwritten.
inline constexpr std::wstring_view kRunItemLeftPrefix = L"Dejado: ";
inline constexpr std::wstring_view kRunItemChangedSince =
    L" (cambió después de esa ejecución; se deja como está)";

inline constexpr std::wstring_view kNeedsRepairPrefix = L"Por reparar: ";
inline constexpr std::wstring_view kNothingToRepair = L"Nada que reparar.";
inline constexpr std::wstring_view kEntriesToRepairPrefix = L"Entradas por reparar: ";
inline constexpr std::wstring_view kWillBeWrittenHeading =
    L"Valores que faltan y se escribirán (no cuentan como algo que reparar):";
inline constexpr std::wstring_view kReplacedPagesHeading =
    L"Páginas que la reparación reemplaza (solo se informa):";
inline constexpr std::wstring_view kHostsNotRedirectingPrefix =
    L"Archivo Hosts distinto del predeterminado que no desvía ningún nombre (solo se informa): ";
inline constexpr std::wstring_view kHostsOwnEntriesPrefix =
    L"Archivo Hosts con entradas propias que se dejan (bloqueos y nombres privados; solo se "
    L"informa): ";
inline constexpr std::wstring_view kHostsAllowedEntriesPrefix =
    L"Archivo Hosts con entradas que se dejan (permitido por la lista; solo se informa): ";
// After the HOSTS file's name: "y 250 entradas más".
inline constexpr std::wstring_view kHostsMoreEntriesPrefix = L"y ";
inline constexpr std::wstring_view kHostsMoreEntriesSuffix = L" entradas más";
inline constexpr std::wstring_view kHostsEntryRemovedPrefix =
    L"Entrada quitada del Archivo Hosts: ";
inline constexpr std::wstring_view kPolicyRowLeftPrefix = L"Directiva dejada: ";
inline constexpr std::wstring_view kHostsLeftPrefix =
    L"Archivo Hosts dejado por ser un equipo administrado: ";

// Failures that name no system error of their own.
inline constexpr std::wstring_view kNoBackupReason =
    L"no se modificó porque no se pudo hacer su copia de seguridad";
inline constexpr std::wstring_view kSystemFolderUnknown = L"<carpeta del sistema>";
inline constexpr std::wstring_view kWindowsFolderUnknown = L"<carpeta de Windows>";
inline constexpr std::wstring_view kDnsCacheTarget = L"caché de resolución DNS";
inline constexpr std::wstring_view kNameBreaksLineReason =
    L"el nombre tiene un salto de línea y no cabe en la copia de seguridad; no se modificó";
inline constexpr std::wstring_view kBackupTooLargeReason =
    L"más datos de los que caben en la copia de seguridad; no se modificó";

// Why a registry backup is refused before anything is restored.
inline constexpr std::wstring_view kBackupNotUtf16 = L"La copia no es un archivo UTF-16.";
inline constexpr std::wstring_view kBackupNoHeader =
    L"La copia no empieza como un archivo del Editor del Registro.";
inline constexpr std::wstring_view kBackupMalformedAtLine = L"La copia no es válida en la línea ";
inline constexpr std::wstring_view kBackupTruncated = L"La copia está incompleta.";
inline constexpr std::wstring_view kBackupForeignKeyPrefix =
    L"La copia nombra una clave que la reparación no toca: ";

// Why files are not backed up or put back.
inline constexpr std::wstring_view kFileBackupFolderRefused =
    L"la carpeta de copias tiene otro dueño o deja entrar a otros usuarios; no se usa";
inline constexpr std::wstring_view kFileManifestRefused =
    L"la lista de copias no es válida; no se restauró ningún archivo";
inline constexpr std::wstring_view kFileCopyDamaged =
    L"la copia no coincide con lo guardado; no se restauró";
inline constexpr std::wstring_view kFileChangedSinceRepairPrefix =
    L"cambió después de la reparación; se deja como está y su copia sigue en ";
inline constexpr std::wstring_view kFileTakenSinceRepairPrefix =
    L"ya hay otro archivo con ese nombre; se deja como está y la copia sigue en ";
inline constexpr std::wstring_view kFileReachedByLinkPrefix =
    L"se llega a él por un vínculo o una unión, o tiene otro nombre; se deja como está y su "
    L"copia sigue en ";
// Why a change was not made: what it would change was swapped for a link to
// somewhere else.
inline constexpr std::wstring_view kReachedThroughLink =
    L"es un vínculo que lleva a otro lugar; se deja como está";

// Window captions.
inline constexpr std::wstring_view kWindowCaption = L"Tovask " TOVASK_VERSION_TEXT;
inline constexpr std::wstring_view kAboutWindowCaption = L"Acerca de Tovask " TOVASK_VERSION_TEXT;

// Texts set when the window loads.
inline constexpr std::wstring_view kWelcome =
    L"Bienvenido a Tovask " TOVASK_VERSION_TEXT
    L". Antes de comenzar, cierre todos los programas, en especial el navegador Internet "
    L"Explorer";
inline constexpr std::wstring_view kSafeModeAdvice =
    L"Se recomienda utilizar la herramienta en modo a prueba de fallos (Modo seguro)";

// Design captions.
inline constexpr std::wstring_view kAboutButton = L"Acerca de";
inline constexpr std::wstring_view kExitButton = L"Salir";
inline constexpr std::wstring_view kUndoButton = L"Deshacer los cambios";
inline constexpr std::wstring_view kRepairButton = L"Desbloquear IE";
inline constexpr std::wstring_view kReportTitle = L"Informe:";
inline constexpr std::wstring_view kStartPagePrompt = L"Ingrese la página de Inicio que desee:";
inline constexpr std::wstring_view kPoweredByPrefix = L"Powered by: ";
inline constexpr std::wstring_view kCloseAboutButton = L"Tovask";
inline constexpr std::wstring_view kAboutHeader =
    L"Tovask " TOVASK_VERSION_TEXT L" del grupo Kestomar";

// Hover help of the four main buttons.
inline constexpr std::wstring_view kRepairDetails =
    L"(Desbloquear IE), su navegador IE sera liberado y su archivo Hosts sera restaurado";
inline constexpr std::wstring_view kUndoDetails =
    L"(Deshacer los cambios), el archivo Hosts volverá a la configuración anterior";
inline constexpr std::wstring_view kExitDetails = L"Salir de Tovask " TOVASK_VERSION_TEXT;
inline constexpr std::wstring_view kAboutDetails = L"Detalles sobre Tovask " TOVASK_VERSION_TEXT;

// The About panel's body text, line by line; it is joined with CR LF pairs.
// The two runs of 37 blanks leave room for the site links laid over them.
inline constexpr std::wstring_view kAboutBodyLines[] = {
    L"",
    L"La herramientas que contengan este archivo y provistas por los sitios del grupo Kestomar ("
    L"                                     "
    L"y"
    L"                                     "
    L") son aplicaciones Freeware (Gratuitas) y están a su disposición con el consentimiento de "
    L"sus respectivos autores en cualquiera de nuestros sitios oficiales.",
    L"",
    L"Soporte y Ayuda.",
    L"Cada herramienta cuenta con una breve explicación para su mejor uso la cual se encuentra en "
    L"nuestro Foro de Pelandra, al cual también pueden acudir por ayuda personalizada en",
    L"",
    L"Distribución.",
    L"",
    L"",
    L"Úsela bajo su responsabilidad.",
    L"",
    L"Con el cariño de siempre, el equipo del grupo Kestomar.",
};
inline constexpr std::wstring_view kLinkGapBlanks = L"                                     ";
static_assert(kLinkGapBlanks.size() == 37);

}  // namespace tovask::texts
