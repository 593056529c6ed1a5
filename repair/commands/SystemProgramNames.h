#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovask {

// The folders this Windows keeps its own programs in, as the system names its
// Windows folder ("C:\Windows"); System32 and, on a 64-bit Windows, SysWOW64
// and the Sysnative alias lie below it under names Windows never changes.
struct WindowsProgramFolders {
    std::wstring windows;  // empty when the system could not name it
    bool is64Bit = false;
};

// A program that takes the name of one of Windows' own but lies elsewhere.
struct SystemNameImpostor {
    std::wstring_view name;  // as Windows names its own: "svchost.exe"
    std::wstring path;       // where it lies, normalised
};

// Whether `program`, as a command or a service names it, takes the name of one
// of Windows' own programs (services.exe, svchost.exe, explorer.exe,
// rundll32.exe, powershell.exe...) and lies anywhere but the folder Windows
// keeps that one in. The path is read as the system starts it: a bare name
// is found by the search path, and so is Windows' own; a relative path
// resolves against `relativeTo`; "\\?\", "\??\" and the kernel's
// "\SystemRoot\" lead where they name, as do %SystemRoot%, %windir% and
// %SystemDrive%; any other variable stays as written, and so lies elsewhere.
// ".." is resolved as written, names compare without regard to case, and a
// short 8.3 name is not expanded, so that a short name of Windows' own folder
// lies elsewhere too. None when the Windows folder is unknown.
std::optional<SystemNameImpostor> systemNameImpostor(std::wstring_view program,
                                                     const WindowsProgramFolders& folders,
                                                     std::wstring_view relativeTo);

}  // namespace tovask
