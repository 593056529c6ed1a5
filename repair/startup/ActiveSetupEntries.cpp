#include "repair/startup/ActiveSetupEntries.h"

#include <algorithm>
#include <array>
#include <optional>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/commands/CommandLineArguments.h"
#include "repair/paths/WritableFolders.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// At each logon Active Setup runs the StubPath of every component here of
// which the user's own hive records no run, or an older Version. The user's
// copy only records the run, and removing it runs the command again; the
// machine's key is what runs it. So the repair removes the machine's
// component key, saved whole first: nothing is left to run for any user,
// present or new, and the undo puts the key back as it was.
constexpr std::wstring_view kInstalledComponents =
    L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components";

constexpr std::array<std::wstring_view, 5> kScriptHosts = {
    L"powershell.exe", L"pwsh.exe", L"wscript.exe", L"cscript.exe", L"mshta.exe"};
constexpr std::array<std::wstring_view, 11> kScriptFiles = {L".bat", L".cmd", L".ps1", L".vbs",
                                                            L".vbe", L".js",  L".jse", L".wsf",
                                                            L".wsh", L".hta", L".sct"};
constexpr std::array<std::wstring_view, 2> kScriptSchemes = {L"javascript:", L"vbscript:"};
// They run what their arguments name: cmd a command, rundll32 a library's
// entry, which mshtml's turns into a script host.
constexpr std::array<std::wstring_view, 2> kStarters = {L"cmd.exe", L"rundll32.exe"};
// What joins or quotes the words of cmd's command or rundll32's entry.
constexpr std::wstring_view kWordBreaks = L" \t\"',;&|()<>^";

// The system finds "cmd" as cmd.exe.
bool isProgramNamed(std::wstring_view path, std::wstring_view exeName) {
    const auto name = path.substr(path.find_last_of(L"\\/") + 1);
    return equalsIgnoringCase(name, exeName) ||
           equalsIgnoringCase(name, exeName.substr(0, exeName.size() - 4));
}

bool namesScript(std::wstring_view word) {
    return std::ranges::any_of(kScriptHosts,
                               [&](auto host) { return isProgramNamed(word, host); }) ||
           std::ranges::any_of(
               kScriptFiles,
               [&](auto extension) { return endsWithIgnoringCase(word, extension); }) ||
           std::ranges::any_of(kScriptSchemes,
                               [&](auto scheme) { return startsWithIgnoringCase(word, scheme); });
}

// Whether the command starts a script host or a script, or has cmd or
// rundll32 start one.
bool runsScript(std::wstring_view command) {
    const auto program = programOfCommand(command);
    if (namesScript(program)) {
        return true;
    }
    if (std::ranges::none_of(kStarters,
                             [&](auto starter) { return isProgramNamed(program, starter); })) {
        return false;
    }
    for (std::size_t start = 0; start < command.size();) {
        const auto end = std::min(command.find_first_of(kWordBreaks, start), command.size());
        if (end > start && namesScript(command.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

class ComponentScan {
  public:
    ComponentScan(PlatformOps& platform, bool managedMachine, const ServedHijacks& served,
                  FailureLog& failures)
        : platform_(platform),
          managedMachine_(managedMachine),
          served_(served),
          failures_(failures),
          writableFolders_(platform, failures) {}

    void scan(RegistryView view) {
        const auto keyPath = platformKeyPath(
            KeyPlace{RegistryRoot::LocalMachine, std::wstring(kInstalledComponents), view});
        const auto tree = platform_.RegReadTree(keyPath, view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures_.add(keyPath, tree.error());
            }
            return;
        }
        for (const auto& component : tree.value().subkeys) {
            const auto* stubPath = findValue(component, L"StubPath");
            const auto command = stubPath ? textOf(stubPath->value) : std::nullopt;
            const auto hijack = command ? judged(*command) : std::nullopt;
            if (!hijack) {
                continue;
            }
            auto key = std::wstring(kInstalledComponents) + L"\\" + component.name;
            auto finding = startupFinding(fileKeyName(RegistryRoot::LocalMachine, key, view),
                                          *command, *hijack, managedMachine_);
            finding.title.name = component.name;
            finding.title.how = texts::kActiveSetupHow;
            found.push_back({{RegistryRoot::LocalMachine, std::move(key), view},
                             component,
                             std::move(finding)});
        }
    }

    std::vector<ActiveSetupComponent> found;

  private:
    std::optional<StartupHijack> judged(std::wstring_view command) {
        if (auto hijack = served_.hijackOf(command)) {
            return hijack;
        }
        if (runsScript(command)) {
            return StartupHijack{texts::kActiveSetupRunsScript};
        }
        return startsWritableProgram(command)
                   ? std::optional(StartupHijack{texts::kActiveSetupWritableProgram})
                   : std::nullopt;
    }

    // Active Setup expands the references of any StubPath, whatever its type.
    bool startsWritableProgram(std::wstring_view command) {
        auto program = programOfCommand(command);
        if (program.find(L'%') != std::wstring::npos) {
            const auto expanded = platform_.ExpandEnvironment(program);
            program = expanded.ok() ? expanded.value() : program;
        }
        return writableFolders_.holds(program);
    }

    PlatformOps& platform_;
    bool managedMachine_;
    const ServedHijacks& served_;
    FailureLog& failures_;
    WritableFolders writableFolders_;
};

}  // namespace

std::vector<ActiveSetupComponent> findActiveSetupHijacks(PlatformOps& platform, bool managedMachine,
                                                         const ServedHijacks& served,
                                                         FailureLog& failures) {
    ComponentScan scan(platform, managedMachine, served, failures);
    for (const auto view : viewsFor(RegistryRoot::LocalMachine, kInstalledComponents,
                                    platform.HasTwoRegistryViews())) {
        scan.scan(view);
    }
    return std::move(scan.found);
}

bool liesInActiveSetupComponent(RegistryRoot root, std::wstring_view key) {
    const auto prefix = std::wstring(kInstalledComponents) + L"\\";
    return root == RegistryRoot::LocalMachine && key.size() > prefix.size() &&
           startsWithIgnoringCase(key, prefix);
}

}  // namespace tovask
