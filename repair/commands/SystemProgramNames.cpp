#include "repair/commands/SystemProgramNames.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "repair/paths/LocalPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The folders below the Windows folder that hold one of its programs.
enum Home : unsigned {
    kInWindows = 1,
    kInSystem = 2,       // System32, and Sysnative that leads there from a 32-bit program
    kInSystem32Bit = 4,  // SysWOW64, on a 64-bit Windows alone
};
constexpr unsigned kSystemOnly = kInSystem;
constexpr unsigned kBothSystems = kInSystem | kInSystem32Bit;

struct SystemProgram {
    std::wstring_view name;
    unsigned homes;
    std::wstring_view below = {};  // a folder of its own below each home
};

// The programs of the session, the services and the shell that a hijacker's
// copy pretends to be, and the hosts that run what their arguments name. The
// session's and the services' own have no 32-bit copy.
constexpr std::array kSystemPrograms = {
    SystemProgram{L"smss.exe", kSystemOnly},
    SystemProgram{L"csrss.exe", kSystemOnly},
    SystemProgram{L"wininit.exe", kSystemOnly},
    SystemProgram{L"winlogon.exe", kSystemOnly},
    SystemProgram{L"services.exe", kSystemOnly},
    SystemProgram{L"lsass.exe", kSystemOnly},
    SystemProgram{L"lsm.exe", kSystemOnly},
    SystemProgram{L"spoolsv.exe", kSystemOnly},
    SystemProgram{L"dwm.exe", kSystemOnly},
    SystemProgram{L"sihost.exe", kSystemOnly},
    SystemProgram{L"taskhost.exe", kSystemOnly},
    SystemProgram{L"taskhostw.exe", kSystemOnly},
    SystemProgram{L"RuntimeBroker.exe", kSystemOnly},
    SystemProgram{L"conhost.exe", kSystemOnly},
    SystemProgram{L"wuauclt.exe", kSystemOnly},
    SystemProgram{L"SearchIndexer.exe", kBothSystems},
    SystemProgram{L"svchost.exe", kBothSystems},
    SystemProgram{L"dllhost.exe", kBothSystems},
    SystemProgram{L"userinit.exe", kBothSystems},
    SystemProgram{L"ctfmon.exe", kBothSystems},
    SystemProgram{L"rundll32.exe", kBothSystems},
    SystemProgram{L"regsvr32.exe", kBothSystems},
    SystemProgram{L"msiexec.exe", kBothSystems},
    SystemProgram{L"mshta.exe", kBothSystems},
    SystemProgram{L"wscript.exe", kBothSystems},
    SystemProgram{L"cscript.exe", kBothSystems},
    SystemProgram{L"cmd.exe", kBothSystems},
    SystemProgram{L"powershell.exe", kBothSystems, L"WindowsPowerShell\\v1.0"},
    SystemProgram{L"explorer.exe", kInWindows | kInSystem32Bit},
};

// Each home of the program on this Windows, comparable.
std::vector<std::wstring> homesOf(const SystemProgram& program,
                                  const WindowsProgramFolders& folders) {
    const auto& windows = folders.windows;
    std::vector<std::wstring> homes;
    if ((program.homes & kInWindows) != 0) {
        homes.push_back(windows);
    }
    if ((program.homes & kInSystem) != 0) {
        homes.push_back(windows + L"\\System32");
        if (folders.is64Bit) {
            homes.push_back(windows + L"\\Sysnative");
        }
    }
    if ((program.homes & kInSystem32Bit) != 0 && folders.is64Bit) {
        homes.push_back(windows + L"\\SysWOW64");
    }
    for (auto& home : homes) {
        home = comparablePath(program.below.empty() ? home
                                                    : home + L"\\" + std::wstring(program.below));
    }
    return homes;
}

// The variables that name Windows' folder, as this Windows has it.
std::wstring withWindowsVariables(std::wstring_view path, std::wstring_view windows) {
    const std::array<std::pair<std::wstring_view, std::wstring_view>, 3> kVariables = {{
        {L"%SystemRoot%", windows},
        {L"%windir%", windows},
        {L"%SystemDrive%", windows.substr(0, 2)},
    }};
    std::wstring expanded;
    for (std::size_t at = 0; at < path.size();) {
        const auto variable = std::ranges::find_if(kVariables, [&](const auto& row) {
            return startsWithIgnoringCase(path.substr(at), row.first);
        });
        if (variable == kVariables.end()) {
            expanded += path[at++];
        } else {
            expanded += variable->second;
            at += variable->first.size();
        }
    }
    return expanded;
}

bool startsWithADrive(std::wstring_view path) {
    return path.size() >= 2 && path[1] == L':';
}

// The path the system starts, before ".." is resolved: the device prefixes
// dropped ("\??\UNC\" and "\\?\UNC\" lead to a share), the kernel's
// "\SystemRoot" and the variables read, and a path without a drive placed on
// the Windows folder's drive or below `relativeTo`.
std::wstring startedPath(std::wstring_view program, const std::wstring& windows,
                         std::wstring_view relativeTo) {
    std::wstring path = withWindowsVariables(program, windows);
    for (const std::wstring_view share : {L"\\??\\UNC\\", L"\\\\?\\UNC\\"}) {
        if (startsWithIgnoringCase(path, share)) {
            path = L"\\\\" + path.substr(share.size());
        }
    }
    for (const std::wstring_view device : {L"\\??\\", L"\\\\?\\"}) {
        if (path.starts_with(device)) {
            path.erase(0, device.size());
        }
    }
    constexpr std::wstring_view kSystemRoot = L"\\SystemRoot\\";
    if (startsWithIgnoringCase(path, kSystemRoot)) {
        path = windows + path.substr(kSystemRoot.size() - 1);
    }
    if (startsWithADrive(path) || path.starts_with(L"\\\\")) {
        return path;
    }
    return path.starts_with(L'\\') ? windows.substr(0, 2) + path
                                   : std::wstring(relativeTo) + L"\\" + path;
}

}  // namespace

std::optional<SystemNameImpostor> systemNameImpostor(std::wstring_view program,
                                                     const WindowsProgramFolders& folders,
                                                     std::wstring_view relativeTo) {
    if (folders.windows.empty() || program.find_first_of(L"\\/:") == std::wstring_view::npos) {
        return std::nullopt;
    }
    auto path = normalisedPath(startedPath(program, folders.windows, relativeTo));
    const auto slash = path.rfind(L'\\');
    auto name = path.substr(slash + 1);
    // The system starts "svchost" as "svchost.exe".
    if (name.find(L'.') == std::wstring::npos) {
        name += L".exe";
    }
    const auto known = std::ranges::find_if(kSystemPrograms, [&](const SystemProgram& row) {
        return equalsIgnoringCase(row.name, name);
    });
    if (known == kSystemPrograms.end()) {
        return std::nullopt;
    }
    const auto folder =
        comparablePath(slash == std::wstring::npos ? std::wstring_view{}
                                                   : std::wstring_view(path).substr(0, slash));
    const auto homes = homesOf(*known, folders);
    if (std::ranges::find(homes, folder) != homes.end()) {
        return std::nullopt;
    }
    return SystemNameImpostor{known->name, std::move(path)};
}

}  // namespace tovask
