#pragma once

#include <string_view>

// What the report says of the local Group Policy files, in the program's language.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kLocalPolicyWhatIsWrong =
    L"directiva local que vuelve a imponer un ajuste";
inline constexpr std::wstring_view kLocalPolicyWhyLeft =
    L"el navegador no lo aplica, o el archivo no se pudo leer: se deja como está";
inline constexpr std::wstring_view kLocalPolicyHeading =
    L"Bloqueos en los archivos de directivas locales (Registry.pol):";
// Follows what the lock forces.
inline constexpr std::wstring_view kLocalPolicyReappliedSuffix =
    L"; Windows lo vuelve a aplicar en cada actualización de directivas";
inline constexpr std::wstring_view kLocalPolicyFileUnreadablePrefix =
    L"no tiene el formato de un archivo de directivas (Registry.pol) en el byte ";
inline constexpr std::wstring_view kLocalPolicyFileLeftSuffix = L"; no se modificó";
// A file that could not be read, under its own group.
inline constexpr std::wstring_view kLocalPolicyUnreadGroup = L"Archivos de directivas locales";
// Its title says whose policies it holds.
inline constexpr std::wstring_view kLocalPolicyUnreadTitle =
    L"Archivo de directivas que no se pudo leer";
inline constexpr std::wstring_view kMachinesPolicies = L"el del equipo";
inline constexpr std::wstring_view kUsersPolicies = L"el de los usuarios";
inline constexpr std::wstring_view kLocalPolicyUnreadMachine =
    L"no se pudo leer: Windows puede volver a poner con él cualquier bloqueo de las directivas "
    L"del equipo";
inline constexpr std::wstring_view kLocalPolicyUnreadUsers =
    L"no se pudo leer: Windows puede volver a poner con él cualquier bloqueo de las directivas "
    L"de los usuarios";
// Said of a lock removed from the registry that a policy file left as it was
// puts back at the next policy refresh; the file follows.
inline constexpr std::wstring_view kLockPutBackPrefix =
    L"Bloqueo que vuelve a poner una directiva local: ";
inline constexpr std::wstring_view kLocalPolicyRemovedPrefix = L"Directiva local quitada: ";
inline constexpr std::wstring_view kLocalPolicyLeftPrefix = L"Directiva local dejada: ";
inline constexpr std::wstring_view kLocalPolicyRepairDoes =
    L"quita el bloqueo del archivo de directivas, que Windows ya no vuelve a aplicar";
inline constexpr std::wstring_view kLocalPolicyWhatYouCanDo =
    L"pida a quien administra el equipo que lo revise con el Editor de directivas de grupo "
    L"local (gpedit.msc)";
inline constexpr std::wstring_view kLocalPolicyNotRemovedPrefix =
    L"No se pudo quitar la directiva local: ";

}  // namespace tovask::texts
