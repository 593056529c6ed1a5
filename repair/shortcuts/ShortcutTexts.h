#pragma once

#include <string_view>

// What the report says of a shortcut, in the program's language.
namespace tovask::texts {

inline constexpr std::wstring_view kShortcutFindingKind = L"Acceso directo";
// Followed by the offending arguments as the shortcut holds them.
inline constexpr std::wstring_view kShortcutAddedArgumentsPrefix =
    L"el navegador se abre con argumentos añadidos: ";
inline constexpr std::wstring_view kShortcutScriptOpensAddressPrefix =
    L"tiene nombre o icono de navegador pero ejecuta un intérprete de órdenes que abre: ";
inline constexpr std::wstring_view kShortcutReportOnlySuffix =
    L" (solo se informa: revíselo y corríjalo a mano)";

}  // namespace tovask::texts
