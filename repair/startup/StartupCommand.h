#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "repair/commands/SystemProgramNames.h"
#include "repair/report/Finding.h"

namespace tovask {

// Why a start-up command puts a hijack back, whether its finding may be
// repaired where the machine allows it, and what judging it established.
struct StartupHijack {
    std::wstring_view reason;
    bool repairable = true;
    FindingEvidence evidence{};  // the folders a browser it starts loads extensions from
    std::wstring detail{};       // what this command adds to the reason, after it

    // What the report says of it: the reason and its detail.
    std::wstring said() const { return std::wstring(reason) + detail; }
};

// Why a start-up command puts a hijack back, or none when it does not:
// - a browser started with an address, a web application's window or an
//   extension to load (as a shortcut's arguments are judged);
// - PowerShell (readPowerShellArguments) whose script, encoded or plain,
//   does what powerShellScriptHijack names; an encoded one that cannot be
//   read, or that also hides its window and bypasses the execution policy,
//   is reported only;
// - explorer opening a web address, regsvr32 fetching a scriptlet
//   ("/i:<address>"), msiexec installing from a web address, and mshta
//   running a page from the web or a network path;
// - conhost, and cmd with /c, /k or /r, judged by the command they run;
// - another script host (wscript, cscript, mshta, cmd, rundll32, a script
//   file) that names PowerShell's encoded command or a web address, or runs
//   a script from a folder a user can write.
// Windows's own programs are judged by their arguments alone.
std::optional<StartupHijack> startupCommandHijack(std::wstring_view command);
// A hijack by those rules that this kind repairs, not only reports.
bool isRepairableStartupHijack(std::wstring_view command);

// Why a command whose program takes the name of one of Windows' own puts a
// hijack back: which one, and the folder the program lies in.
StartupHijack systemNameHijack(const SystemNameImpostor& impostor);

// The script a PowerShell command, or one that conhost or cmd runs, hides in
// its encoded command, decoded; none for any other command.
std::optional<std::wstring> encodedScriptOf(std::wstring_view command);

// What the report says of a start-up command found to put `hijack` back:
// the command, why, and the script it hides when it hides one, so that the
// user reads what it does and an extension it reinstalls is shown with its
// lock.
std::wstring startupFindingText(std::wstring_view command, std::wstring_view hijack);

// The finding of a start-up command at `place`: repairable when the hijack is
// and the machine is not managed.
// What a start-up finding tells a later kind: the hijack's evidence, and what
// the command runs (its line, and the script it carries encoded).
FindingEvidence startupEvidence(std::wstring_view command, FindingEvidence evidence);

// Titled "Programa que se inicia solo: <command>", grouped under the browser
// the command starts, or under Windows's start-up.
Finding startupFinding(std::wstring place, std::wstring_view command, const StartupHijack& hijack,
                       bool managedMachine);

// A scheduled task's title, "Tarea programada «<name>» que <does what>", by
// the last part of its name and why its command puts a hijack back.
FindingTitle taskTitle(std::wstring_view taskName, std::wstring_view reason);

// The group of a task that runs `command`: the browser it starts, or the
// scheduled tasks.
std::wstring taskGroup(std::wstring_view command);

}  // namespace tovask
