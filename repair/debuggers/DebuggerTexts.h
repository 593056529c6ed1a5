#pragma once

#include <string_view>

// What the report says of a debugger put on a browser, in the program's language.
namespace tovask::texts {

// What the findings dialog says is wrong, after the browser or place, and
// why it leaves a finding it only reports.
inline constexpr std::wstring_view kDebuggerWhatIsWrong =
    L"el navegador se abre a través de otro programa";
inline constexpr std::wstring_view kDebuggerWhyLeft = L"se deja como está: revíselo a mano";
inline constexpr std::wstring_view kDebuggersHeading =
    L"Programas que se inician con los navegadores:";
inline constexpr std::wstring_view kDebuggerGroup = L"Depuradores de navegadores";
// Followed by the program the value names.
inline constexpr std::wstring_view kDebuggerHoldsPrefix =
    L"cada vez que se abre el navegador se inicia en su lugar: ";
inline constexpr std::wstring_view kManagedDebuggersLeft =
    L"Los depuradores de los navegadores también se dejan como están.";
inline constexpr std::wstring_view kDebuggerRemovedPrefix = L"Depurador quitado: ";
inline constexpr std::wstring_view kDebuggerLeftPrefix = L"Depurador dejado: ";
inline constexpr std::wstring_view kDebuggerNotRemovedPrefix = L"No se pudo quitar el depurador: ";

}  // namespace tovask::texts
