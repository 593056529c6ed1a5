#pragma once

#include <string_view>

namespace tovask::texts {

// Where an allow list's mistake is: "C:\lista.txt, línea 3".
inline constexpr std::wstring_view kAllowLinePrefix = L", línea ";
inline constexpr std::wstring_view kAllowUnknownKeyword =
    L"la lista de permitidos no conoce esta palabra (pagina, buscador, extension, proxy, pac, "
    L"dns, hosts, argumento, tarea, inicio, raiz)";
inline constexpr std::wstring_view kAllowMissingValue =
    L"a la entrada de la lista de permitidos le falta lo que permite";
inline constexpr std::wstring_view kAllowBadAddress =
    L"la lista de permitidos espera una dirección con su esquema, como https://intranet.ejemplo/";
inline constexpr std::wstring_view kAllowBadExtension =
    L"la lista de permitidos espera el identificador de una extensión: 32 letras de la a a la p, "
    L"o el de una de Firefox";
inline constexpr std::wstring_view kAllowBadProxy =
    L"la lista de permitidos espera un proxy como servidor:puerto";
inline constexpr std::wstring_view kAllowBadDns =
    L"la lista de permitidos espera la dirección IP de un servidor DNS";
inline constexpr std::wstring_view kAllowBadHostsName =
    L"la lista de permitidos espera un nombre de equipo o de dominio";
inline constexpr std::wstring_view kAllowBadTask =
    L"la lista de permitidos espera la ruta de una tarea, que empieza por \\";
inline constexpr std::wstring_view kAllowBadThumbprint =
    L"la lista de permitidos espera la huella de un certificado: 40 cifras hexadecimales";
inline constexpr std::wstring_view kAllowLineTooLong =
    L"la línea de la lista de permitidos es demasiado larga";
inline constexpr std::wstring_view kAllowFileTooLarge =
    L"la lista de permitidos es demasiado grande; no se aplica";
inline constexpr std::wstring_view kAllowFileNotUtf8 =
    L"la lista de permitidos no está en UTF-8; no se aplica";
inline constexpr std::wstring_view kAllowFileUserWritable =
    L"la lista de permitidos está en una carpeta que pueden escribir los usuarios; con /allusers "
    L"solo se aplica una lista que ellos no pueden cambiar";
inline constexpr std::wstring_view kAllowFileOnNetwork =
    L"la lista de permitidos no está en un disco de este equipo; se espera su ruta completa, "
    L"como C:\\Listas\\permitidos.txt";
inline constexpr std::wstring_view kAllowPolicyValueUnreadable =
    L"el valor de la lista de permitidos de la directiva no es texto (REG_SZ o REG_MULTI_SZ)";
// What a finding the list allows says beside it.
inline constexpr std::wstring_view kAllowedByList = L"permitido por la lista";
inline constexpr std::wstring_view kAllowedByListSuffix = L" (permitido por la lista)";

}  // namespace tovask::texts
