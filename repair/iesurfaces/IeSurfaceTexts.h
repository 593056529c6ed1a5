#pragma once

#include <string_view>

// The report's texts for Internet Explorer's own search scopes, add-ons and
// security zones.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kIeSurfaceWhatIsWrong =
    L"Internet Explorer busca, carga o confía en algo que no eligió el usuario";
inline constexpr std::wstring_view kIeSurfaceWhyLeft =
    L"un sitio de confianza puede ser del usuario o de su trabajo: se deja como está";
inline constexpr std::wstring_view kIeSurfacesHeading =
    L"Buscadores, complementos y zonas de Internet Explorer:";
inline constexpr std::wstring_view kIeSurfacesNotCounted =
    L"Para revisarlos o repararlos añada /browsers.";
inline constexpr std::wstring_view kIeSurfacesGroup = L"Internet Explorer";
inline constexpr std::wstring_view kIeSurfaceRepairedPrefix = L"Internet Explorer reparado: ";
inline constexpr std::wstring_view kIeSurfaceNotRepairedPrefix =
    L"No se pudo reparar en Internet Explorer: ";
inline constexpr std::wstring_view kIeSurfaceLeftPrefix = L"Dejado en Internet Explorer: ";
inline constexpr std::wstring_view kIeSurfacesRepairedCount =
    L"buscadores, complementos y zonas reparados";
inline constexpr std::wstring_view kIeSurfaceRepairDoes =
    L"quita el buscador o el complemento añadido, o vuelve a bloquear los controles ActiveX "
    L"sin firmar; el archivo del complemento no se borra";
inline constexpr std::wstring_view kIeSurfaceWhatYouCanDo =
    L"abra Opciones de Internet, Seguridad, Sitios, y quite los que no reconozca";

// What each finding holds, before what was read.
inline constexpr std::wstring_view kAdvertiserScopePrefix =
    L"busca en un sitio que no es un buscador conocido: ";
inline constexpr std::wstring_view kDefaultScopePrefix =
    L"el buscador predeterminado busca en un sitio que no es un buscador conocido: ";
inline constexpr std::wstring_view kDefaultScopeTitle = L"Buscador predeterminado cambiado";
inline constexpr std::wstring_view kBrowserHelperTitle =
    L"Complemento que se carga con el navegador";
inline constexpr std::wstring_view kToolbarTitle = L"Barra de herramientas añadida";
inline constexpr std::wstring_view kNoProgramRegistered = L"sin programa registrado: ";
inline constexpr std::wstring_view kProgramMissing = L"su programa ya no existe: ";
inline constexpr std::wstring_view kProgramInWritableFolder =
    L"su programa está en una carpeta que el usuario puede modificar: ";
inline constexpr std::wstring_view kProgramNotOnThisMachine =
    L"su programa está en una ruta de red o en una unidad que no es un disco de este equipo, "
    L"no se abre: ";
inline constexpr std::wstring_view kTrustedSitePrefix = L"en la zona de sitios de confianza: ";
inline constexpr std::wstring_view kIntranetSitePrefix = L"en la zona de intranet local: ";
// The Internet zone's settings as Internet Options names them, and what
// each is set to.
inline constexpr std::wstring_view kUnsignedDownloadSetting =
    L"Descargar los controles ActiveX sin firmar";
inline constexpr std::wstring_view kUnsafeScriptingSetting =
    L"Inicializar y generar scripts de los controles ActiveX no marcados como seguros";
inline constexpr std::wstring_view kSettingEnabled = L": Habilitar, en la zona de Internet";
inline constexpr std::wstring_view kSettingPrompts = L": Preguntar, en la zona de Internet";
inline constexpr std::wstring_view kZoneMapCut =
    L"hay demasiados sitios en las zonas; sólo se revisaron los primeros";

}  // namespace tovask::texts
