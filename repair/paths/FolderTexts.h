#pragma once

#include <string_view>

// What the failure lines say of a folder of shortcuts, tasks or start-up
// files, in the program's language.
namespace tovask::texts {

// Why a folder of shortcuts was looked at only in part.
inline constexpr std::wstring_view kShortcutFolderCut =
    L"la carpeta tiene demasiados archivos o subcarpetas: solo se revisó una parte";
inline constexpr std::wstring_view kShortcutFolderUnreadable = L"no se pudo leer la carpeta";

}  // namespace tovask::texts
