#pragma once

#include <string_view>

// The texts of the findings beyond Internet Explorer, in the program's language.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kPolicyWhatIsWrong = L"ajuste impuesto por una directiva";
inline constexpr std::wstring_view kPolicyWhyLeft =
    L"el navegador no lo aplica o no se puede cambiar sin riesgo: se deja como está";
inline constexpr std::wstring_view kFindingsHeading = L"Bloqueos de otros navegadores:";
inline constexpr std::wstring_view kPolicyRepairDoes =
    L"quita el bloqueo: al reiniciar el navegador usted puede volver a cambiar ese ajuste";
inline constexpr std::wstring_view kPolicyWhatYouCanDo =
    L"si el equipo es de una empresa o un centro, pida a quien lo administra que revise la "
    L"directiva";
inline constexpr std::wstring_view kFindingsNotCounted =
    L"Para revisarlos o repararlos añada /browsers.";
inline constexpr std::wstring_view kMoreFindingsPrefix = L"... y otros ";
inline constexpr std::wstring_view kReportOnlySuffix = L" (solo se informa)";
// A lock and what puts it back are repaired together; each names the other.
inline constexpr std::wstring_view kPutBackBy = L"; lo vuelve a poner ";
inline constexpr std::wstring_view kPutsBack = L"; vuelve a poner ";
inline constexpr std::wstring_view kEnrollmentGroup = L"Administración del equipo";
// An enrollment's title names who claims to manage the machine.
inline constexpr std::wstring_view kUnverifiedEnrollmentTitle =
    L"Inscripción en una administración que no se pudo comprobar";
inline constexpr std::wstring_view kUnverifiedEnrollmentHolds =
    L"inscripción en una administración de dispositivos que no se pudo comprobar: no se "
    L"tiene en cuenta";
inline constexpr std::wstring_view kManagedByDomain =
    L"El equipo pertenece a un dominio: sus directivas se dejan como están.";
inline constexpr std::wstring_view kManagedByCloud =
    L"El equipo está unido a un directorio en la nube: sus directivas se dejan como están.";
inline constexpr std::wstring_view kManagedByEnrollment =
    L"El equipo está inscrito en una administración de dispositivos: sus directivas se dejan "
    L"como están.";
inline constexpr std::wstring_view kManagedUnknown =
    L"No se pudo saber si el equipo está unido a un dominio o a un directorio en la nube: sus "
    L"directivas se dejan como están.";
inline constexpr std::wstring_view kFindingsQuestionTitle = L"Otros navegadores";
// The findings dialog: a box per finding to repair, the report-only ones apart.
inline constexpr std::wstring_view kFindingsDialogIntro =
    L"Estos ajustes bloquean o desvían los navegadores. Marque los que desea reparar:";
inline constexpr std::wstring_view kFindingsLeftIntro = L"Se informan y se dejan como están:";
inline constexpr std::wstring_view kFindingsBackupNote =
    L"Se guarda una copia de seguridad y \"Deshacer los cambios\" lo vuelve a poner todo como "
    L"estaba.";
inline constexpr std::wstring_view kRepairCheckedButton = L"Reparar lo marcado";
inline constexpr std::wstring_view kDoNotRepairButton = L"No reparar";
inline constexpr std::wstring_view kWhatIsWrongColumn = L"Qué ocurre";
inline constexpr std::wstring_view kFindingDetailsLabel = L"Detalles de la línea elegida:";
inline constexpr std::wstring_view kWhyLeftColumn = L"Por qué se deja";
// A finding's name by its subject, where its kind says nothing else.
inline constexpr std::wstring_view kSettingTitle = L"Ajuste impuesto por una directiva";
inline constexpr std::wstring_view kHomePageTitle = L"Página de inicio impuesta";
inline constexpr std::wstring_view kSearchEngineTitle = L"Buscador impuesto";
inline constexpr std::wstring_view kNewTabPageTitle = L"Página de nueva pestaña impuesta";
inline constexpr std::wstring_view kStartupPagesTitle = L"Páginas que se abren al iniciar";
inline constexpr std::wstring_view kForcedExtensionTitle = L"Extensión instalada a la fuerza";
inline constexpr std::wstring_view kExtensionFolderTitle = L"Extensión cargada desde una carpeta";
inline constexpr std::wstring_view kExtensionKeyTitle =
    L"Extensión instalada desde fuera de la tienda";
inline constexpr std::wstring_view kProxyServerTitle = L"Proxy impuesto";
inline constexpr std::wstring_view kProxyScriptTitle = L"Script de proxy";
inline constexpr std::wstring_view kDnsServerTitle = L"DNS impuestos";
inline constexpr std::wstring_view kShortcutTitle =
    L"Acceso directo que abre el navegador con algo añadido";
inline constexpr std::wstring_view kStartupCommandTitle = L"Programa que se inicia solo";
inline constexpr std::wstring_view kTaskTitle = L"Tarea programada";
inline constexpr std::wstring_view kDebuggerTitle = L"Programa que se abre en lugar del navegador";
inline constexpr std::wstring_view kRestrictionTitle = L"Opción de Internet Explorer bloqueada";
inline constexpr std::wstring_view kRootCertificateTitle =
    L"Certificado raíz que lee las páginas seguras";
inline constexpr std::wstring_view kPolicyFileTitle =
    L"Archivo de directivas que vuelve a poner bloqueos";
inline constexpr std::wstring_view kEnrollmentTitle = L"Administración del equipo sin comprobar";
inline constexpr std::wstring_view kSearchScopeTitle = L"Buscador añadido a Internet Explorer";
inline constexpr std::wstring_view kHelperObjectTitle = L"Complemento de Internet Explorer";
inline constexpr std::wstring_view kZoneEntryTitle = L"Sitio con más permisos en Internet Explorer";
inline constexpr std::wstring_view kZoneSettingTitle =
    L"Controles ActiveX sin firmar permitidos en Internet";
inline constexpr std::wstring_view kNetworkProviderTitle = L"Biblioteca de red";
// The details the findings dialog shows of a selected finding.
inline constexpr std::wstring_view kDetailGroup = L"Afecta a: ";
inline constexpr std::wstring_view kDetailWhere = L"Dónde está: ";
inline constexpr std::wstring_view kDetailFound = L"Valor encontrado: ";
inline constexpr std::wstring_view kDetailRepair = L"Al reparar: ";
inline constexpr std::wstring_view kDetailWhyLeft = L"Por qué se deja: ";
inline constexpr std::wstring_view kDetailWhatToDo = L"Qué puede hacer: ";
// The summary that ends a run's report, a line per browser or place.
inline constexpr std::wstring_view kSummaryHeading = L"Resumen por navegador y lugar:";
inline constexpr std::wstring_view kStillToDoHeading = L"Queda por hacer:";
inline constexpr std::wstring_view kLocksRemovedCount = L"bloqueos quitados";
inline constexpr std::wstring_view kSummaryLeftCount = L"dejados por elección";
inline constexpr std::wstring_view kSummaryFailedCount = L"no se pudieron reparar";
inline constexpr std::wstring_view kFindingRepairedPrefix = L"Bloqueo quitado: ";
inline constexpr std::wstring_view kFindingLeftPrefix = L"Bloqueo dejado: ";
inline constexpr std::wstring_view kFindingNotRepairedPrefix = L"No se pudo quitar el bloqueo: ";
inline constexpr std::wstring_view kRestartBrowsers =
    L"Reinicie los navegadores para que dejen de aplicar los bloqueos quitados.";
inline constexpr std::wstring_view kPolicyRefreshUnavailable =
    L"El sistema no pudo aplicar las directivas de nuevo; se aplicarán al reiniciar el navegador.";
inline constexpr std::wstring_view kPolicyRefreshTarget = L"actualización de directivas";
inline constexpr std::wstring_view kPolicyValueUnreadable =
    L"valor ilegible: no es JSON válido del tipo que espera la directiva, así que el navegador "
    L"no lo aplica";
inline constexpr std::wstring_view kPolicyFileNotJson =
    L"no es un archivo JSON válido; no se modificó";
inline constexpr std::wstring_view kPolicyFileTooDeep =
    L"anida valores a más de 200 niveles, más de los que este programa puede conservar; no se "
    L"modificó";
inline constexpr std::wstring_view kPolicyFileLoneSurrogate =
    L"contiene un carácter UTF-16 suelto (como \\udc00) que este programa no puede conservar; no "
    L"se modificó";
inline constexpr std::wstring_view kPolicyFileNotKept =
    L"reescrito cambiaría algo más que los bloqueos quitados; no se modificó";
inline constexpr std::wstring_view kAutoconfigTitle =
    L"Configuración automática que puede bloquear preferencias";
inline constexpr std::wstring_view kAutoconfigHoldsPrefix =
    L"configuración automática que puede bloquear preferencias: ";
// The files of a Firefox installation that Firefox applies at every start.
inline constexpr std::wstring_view kDistributionFileTitle = L"Archivo de distribución";
inline constexpr std::wstring_view kDistributionFileHow = L"que impone";
inline constexpr std::wstring_view kDistributionHoldsPrefix =
    L"preferencias que Firefox vuelve a poner al iniciar: ";
inline constexpr std::wstring_view kMorePreferencesPrefix = L" y otras ";
inline constexpr std::wstring_view kSideloadedExtensionTitle =
    L"Extensión que Firefox instala en cada perfil";
inline constexpr std::wstring_view kSideloadedExtensionHoldsPrefix =
    L"extensión que Firefox instala en cada perfil al iniciar: ";
inline constexpr std::wstring_view kInstallFileTooLarge =
    L"el archivo ocupa más de 32 MiB, más de lo que guarda la copia de seguridad; no se quitó";

}  // namespace tovask::texts
