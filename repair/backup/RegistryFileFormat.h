#pragma once

#include <algorithm>
#include <string_view>

namespace tovask {

// What the reading and the writing of a registry-editor file share: its
// frame and the names it can hold.
inline constexpr std::wstring_view kRegistryFileHeader = L"Windows Registry Editor Version 5.00";
// A file cut at a section boundary still reads as a valid file; only this last
// line tells a complete backup apart. Importers skip it as a comment.
inline constexpr std::wstring_view kRegistryFileEnd = L"; Fin de la copia de seguridad";
inline constexpr std::wstring_view kRegistryFileLineEnd = L"\r\n";
inline constexpr std::string_view kRegistryFileByteOrderMark = "\xFF\xFE";

constexpr bool breaksLine(wchar_t c) {
    return c == L'\r' || c == L'\n' || c == L'\0';
}

inline bool holdsLineBreakOrNul(std::wstring_view text) {
    return std::ranges::any_of(text, breaksLine);
}

// A leading '-' would turn the section into a key removal on reading.
inline bool isWritableKeyName(std::wstring_view key) {
    return !key.empty() && key.front() != L'-' && key.front() != L'\\' && key.back() != L'\\' &&
           key.find(L"\\\\") == std::wstring_view::npos && !holdsLineBreakOrNul(key);
}

}  // namespace tovask
