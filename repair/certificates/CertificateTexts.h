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
