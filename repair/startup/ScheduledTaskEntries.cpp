#include "repair/startup/ScheduledTaskEntries.h"

#include <algorithm>

#include "repair/paths/FolderTexts.h"
#include "repair/startup/ScheduledTaskCache.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "repair/users/UserPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kTasksFolderName = L"\\Tasks";
// Windows keeps a few hundred tasks a few folders deep; a planted tree may
// not stall the run.
constexpr ListingLimits kTaskListingLimits{8, 5000, 20000};

// How the scheduler names a task: its path below the Tasks folder.
std::wstring taskNameOf(std::wstring_view file) {
    const auto folded = foldedCase(file);
    const auto at = folded.find(foldedCase(kTasksFolderName) + L"\\");
    return at == std::wstring::npos ? std::wstring(file)
                                    : std::wstring(file.substr(at + kTasksFolderName.size()));
}

// The file read, and its actions judged when the task is enabled.
ListedTask lookAtTask(PlatformOps& platform, const std::wstring& file, bool managedMachine,
                      const ServedHijacks& served, std::vector<HijackingTask>& found,
                      FailureLog& failures) {
    ListedTask listed{file, taskNameOf(file), std::nullopt};
    const auto task = platform.ReadTaskFile(file);
    if (!task.ok()) {
        failures.add(file, task.error());
        return listed;
    }
    listed.definition = task.value();
    if (!task.value().enabled) {
        return listed;
    }
    if (const auto hijack = firstHijackingAction(task.value().actions, served)) {
        auto finding = startupFinding(listed.name, hijack->command, hijack->hijack, managedMachine);
        finding.title = taskTitle(listed.name, hijack->hijack.reason);
        finding.group = taskGroup(hijack->command);
        finding.evidence.sets = {listed.name};
        found.push_back({file, std::move(finding)});
    }
    return listed;
}

std::vector<ListedTask> lookAtTaskFiles(PlatformOps& platform, bool managedMachine,
                                        const ServedHijacks& served,
                                        std::vector<HijackingTask>& found, FailureLog& failures) {
    std::vector<ListedTask> listed;
    const auto system = nativeSystemFolder(platform);
    if (!system.ok()) {
        failures.add(kTasksFolderName.substr(1), system.error());
        return listed;
    }
    const auto folder = system.value() + std::wstring(kTasksFolderName);
    // Task names have no ending: every file is listed.
    const auto listing = platform.ListFiles(folder, L"", kTaskListingLimits);
    if (!listing.ok()) {
        if (!isNotFound(listing.error())) {
            failures.add(folder, listing.error());
        }
        return listed;
    }
    for (const auto& unreadable : listing.value().unreadableFolders) {
        failures.add(unreadable, texts::kShortcutFolderUnreadable);
    }
    if (listing.value().truncated) {
        failures.add(folder, texts::kShortcutFolderCut);
    }
    for (const auto& file : listing.value().files) {
        listed.push_back(lookAtTask(platform, file, managedMachine, served, found, failures));
    }
    return listed;
}

}  // namespace

std::vector<HijackingTask> findHijackingTasks(PlatformOps& platform, bool managedMachine,
                                              const ServedHijacks& served, FailureLog& failures) {
    std::vector<HijackingTask> found;
    // The cache is judged even without the files: a task may run from it alone.
    const auto listed = lookAtTaskFiles(platform, managedMachine, served, found, failures);
    findCachedTaskHijacks(platform, listed, managedMachine, served, found, failures);
    return found;
}

std::optional<HijackingAction> firstHijackingAction(std::span<const TaskAction> actions,
                                                    const ServedHijacks& served) {
    for (const auto& action : actions) {
        auto command = taskCommandLine(action);
        if (const auto hijack = served.hijackOf(command)) {
            return HijackingAction{std::move(command), *hijack};
        }
    }
    return std::nullopt;
}

std::wstring taskCommandLine(const TaskAction& action) {
    const auto quoted =
        action.command.find(L' ') != std::wstring::npos && !action.command.starts_with(L'"')
            ? L"\"" + action.command + L"\""
            : action.command;
    return action.arguments.empty() ? quoted : quoted + L" " + action.arguments;
}

bool disableHijackingTask(PlatformOps& platform, const HijackingTask& task, FileBackup& files,
                          FailureLog& failures) {
    const auto bytes = platform.ReadFileContent(task.file, kTaskFileSizeLimit);
    if (!bytes.ok()) {
        failures.add(task.file, bytes.error());
        return false;
    }
    // The check read the file by its path, the scheduler knows the task by its
    // name below the same folder: a file it never registered runs nothing
    // now, and cannot be disabled, but a later registration would start it.
    // It goes to the file backups whole, from where the undo brings it back.
    const auto known = platform.SchedulerKnowsTask(task.file);
    if (!known.ok()) {
        failures.add(task.file, known.error());
        return false;
    }
    if (!known.value()) {
        return !files.remove(task.file, bytes.value(), failures);
    }
    if (files.saveDisabledTask(task.file, bytes.value(), failures)) {
        return false;
    }
    if (const auto error = platform.SetTaskEnabled(task.file, false)) {
        failures.add(task.file, error);
        return false;
    }
    return true;
}

bool isScheduledTaskFilePath(std::wstring_view path) {
    // "X:\<Windows folder>\System32\Tasks\<name>", the name in any folder below.
    const auto folded = foldedCase(path);
    const auto windowsEnd = folded.find(L'\\', 3);
    if (folded.size() < 4 || folded.substr(1, 2) != L":\\" || windowsEnd == std::wstring::npos) {
        return false;
    }
    const auto rest = std::wstring_view(folded).substr(windowsEnd);
    return std::ranges::any_of(
        std::initializer_list<std::wstring_view>{L"\\System32\\Tasks\\", L"\\Sysnative\\Tasks\\"},
        [&](auto folder) {
            return rest.starts_with(foldedCase(folder)) && rest.size() > folder.size();
        });
}

}  // namespace tovask
