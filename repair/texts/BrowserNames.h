#pragma once

#include <string_view>

// The browsers as people know them, as the report groups what it found
// about each.
namespace tovask::texts {

inline constexpr std::wstring_view kChrome = L"Google Chrome";
inline constexpr std::wstring_view kEdge = L"Microsoft Edge";
inline constexpr std::wstring_view kFirefox = L"Mozilla Firefox";
inline constexpr std::wstring_view kInternetExplorer = L"Internet Explorer";
inline constexpr std::wstring_view kBrave = L"Brave";
inline constexpr std::wstring_view kOpera = L"Opera";
inline constexpr std::wstring_view kVivaldi = L"Vivaldi";
inline constexpr std::wstring_view kChromium = L"Chromium";
inline constexpr std::wstring_view kYandex = L"Yandex Browser";

}  // namespace tovask::texts
