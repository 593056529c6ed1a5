#pragma once

#include <string_view>

// The report's texts for the root certificates that let a program read
// secure pages.
namespace tovask::texts {

inline constexpr std::wstring_view kCertificatesHeading =
    L"Certificados raíz que permiten leer las páginas seguras:";
inline constexpr std::wstring_view kGroup = L"Certificados";
inline constexpr std::wstring_view kCertificatesNotCounted =
    L"Para revisarlos o quitarlos añada /network.";
// What the findings dialog and the closing summary say.
inline constexpr std::wstring_view kCertificateWhatIsWrong =
    L"certificado raíz que permite leer las páginas seguras";
inline constexpr std::wstring_view kCertificateWhyLeft =
    L"puede ser de un programa de seguridad: quítelo a mano si no lo reconoce";
inline constexpr std::wstring_view kCertificatesRemovedCount = L"certificados quitados";
// The title of a root not published as an interceptor's, whose key is here
// or whose registry key names another certificate.
inline constexpr std::wstring_view kMayReadTitle =
    L"Certificado raíz que puede leer las páginas seguras";
inline constexpr std::wstring_view kCertificateRepairDoes =
    L"quita el certificado: los navegadores dejan de confiar en él";
inline constexpr std::wstring_view kCertificateWhatYouCanDo =
    L"si no es de su antivirus ni de su empresa, quítelo con el administrador de certificados "
    L"(certmgr.msc), carpeta «Entidades de certificación raíz de confianza»";
inline constexpr std::wstring_view kCertificateRemovedPrefix = L"Certificado quitado: ";
inline constexpr std::wstring_view kCertificateNotRemovedPrefix =
    L"No se pudo quitar el certificado: ";
inline constexpr std::wstring_view kCertificateLeftPrefix = L"Certificado dejado: ";
// What is said of a root after its subject and ": ", reasons apart with "; ".
inline constexpr std::wstring_view kPublishedReason =
    L"certificado publicado como el que instala para leer las páginas seguras ";
inline constexpr std::wstring_view kKeyHereReason =
    L"su clave privada está en este equipo, así que un programa puede leer las páginas "
    L"seguras (los programas de seguridad también lo hacen)";
inline constexpr std::wstring_view kKeyContainerPrefix = L", clave guardada como ";
// Followed by the thumbprint of the certificate the key holds.
inline constexpr std::wstring_view kOtherNameReason =
    L"su clave en el registro no lleva el nombre del certificado que guarda, cuya huella es ";
inline constexpr std::wstring_view kPersonalStore = L"Almacén personal de certificados";
inline constexpr std::wstring_view kUnreadableCertificate = L"el certificado no se puede leer";
inline constexpr std::wstring_view kRemovedCertificatesUntrusted =
    L"Los navegadores dejan de confiar en los certificados quitados cuando se vuelven a abrir.";

}  // namespace tovask::texts
