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
inline constexpr std::wstring_view kPublishedInfix =
    L": certificado publicado como el que instala para leer las páginas seguras ";
inline constexpr std::wstring_view kKeyHereInfix =
    L": su clave privada está en este equipo, así que un programa puede leer las páginas "
    L"seguras (los programas de seguridad también lo hacen)";
inline constexpr std::wstring_view kKeyContainerPrefix = L"; clave guardada como ";
inline constexpr std::wstring_view kPersonalStore = L"Almacén personal de certificados";
inline constexpr std::wstring_view kUnreadableCertificate = L"el certificado no se puede leer";
inline constexpr std::wstring_view kRemovedCertificatesUntrusted =
    L"Los navegadores dejan de confiar en los certificados quitados cuando se vuelven a abrir.";

}  // namespace tovask::texts
