#include "repair/startup/ServedHijacks.h"

#include <algorithm>

#include "repair/commands/CommandLineArguments.h"
#include "repair/paths/LocalPaths.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"

namespace tovask {
ServedHijacks::ServedHijacks(std::span<const Finding> found, SystemFolders system)
    : system_(std::move(system)) {
    learnFrom(found);
}

void ServedHijacks::learnFrom(std::span<const Finding> found) {
    for (const auto& finding : found) {
        if (!finding.repairable) {
            continue;
        }
        for (const auto& program : finding.evidence.servingPrograms) {
            if (!system_.keepsProgram(program)) {
                programs_.push_back(comparablePath(program));
            }
        }
        for (const auto& folder : finding.evidence.extensionFolders) {
            if (!system_.refusesFolder(folder)) {
                folders_.push_back(comparablePath(folder));
            }
        }
    }
}

std::optional<StartupHijack> ServedHijacks::servedBy(std::wstring_view command) const {
    const auto program = programOfCommand(command);
    if (program.empty() || system_.keepsProgram(program)) {
        return std::nullopt;
    }
    const bool serves = std::ranges::find(programs_, comparablePath(program)) != programs_.end() ||
                        liesInAnyFolder(program, folders_);
    return serves ? std::optional(StartupHijack{texts::kStartupServesHijack}) : std::nullopt;
}

std::optional<StartupHijack> ServedHijacks::hijackOf(std::wstring_view command) const {
    auto hijack = startupCommandHijack(command);
    if (hijack && hijack->repairable) {
        return hijack;
    }
    // Windows and the Task Scheduler start these programs in the system
    // folder. A copy that takes the name of one of Windows' own is removed
    // whatever its arguments say.
    const auto& folders = system_.programFolders();
    if (const auto impostor = systemNameImpostor(programOfCommand(command), folders,
                                                 folders.windows + L"\\System32")) {
        return systemNameHijack(*impostor);
    }
    return hijack ? hijack : servedBy(command);
}

}  // namespace tovask
