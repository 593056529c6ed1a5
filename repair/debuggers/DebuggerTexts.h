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
// A debugger's title: the program it starts in the browser's place follows.
inline constexpr std::wstring_view kInsteadOfChrome =
    L"Programa que se abre en lugar de Google Chrome";
inline constexpr std::wstring_view kInsteadOfEdge =
    L"Programa que se abre en lugar de Microsoft Edge";
inline constexpr std::wstring_view kInsteadOfFirefox =
    L"Programa que se abre en lugar de Mozilla Firefox";
inline constexpr std::wstring_view kInsteadOfInternetExplorer =
    L"Programa que se abre en lugar de Internet Explorer";
inline constexpr std::wstring_view kInsteadOfBrave = L"Programa que se abre en lugar de Brave";
inline constexpr std::wstring_view kInsteadOfOpera = L"Programa que se abre en lugar de Opera";
inline constexpr std::wstring_view kInsteadOfChromium =
    L"Programa que se abre en lugar de Chromium";
inline constexpr std::wstring_view kInsteadOfVivaldi = L"Programa que se abre en lugar de Vivaldi";
inline constexpr std::wstring_view kInsteadOfYandex =
    L"Programa que se abre en lugar de Yandex Browser";
// Followed by the program the value names.
inline constexpr std::wstring_view kDebuggerHoldsPrefix =
    L"cada vez que se abre el navegador se inicia en su lugar: ";
inline constexpr std::wstring_view kManagedDebuggersLeft =
    L"Los programas que se abren en lugar de los navegadores también se dejan como están.";
inline constexpr std::wstring_view kDebuggerRemovedPrefix = L"Suplantación del navegador quitada: ";
inline constexpr std::wstring_view kDebuggerLeftPrefix = L"Suplantación del navegador dejada: ";
inline constexpr std::wstring_view kDebuggerNotRemovedPrefix =
    L"No se pudo quitar la suplantación del navegador: ";
inline constexpr std::wstring_view kDebuggersRemovedCount = L"suplantaciones quitadas";
inline constexpr std::wstring_view kDebuggerRepairDoes =
    L"quita el programa que se abre en su lugar y el navegador vuelve a abrirse como siempre";
inline constexpr std::wstring_view kDebuggerWhatYouCanDo =
    L"si no reconoce el programa, pida a quien administra el equipo que lo quite";

}  // namespace tovask::texts
