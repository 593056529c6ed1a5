#include "repair/startup/ScheduledTaskCache.h"

#include <algorithm>
#include <map>

#include "repair/policykeys/PolicyKeyContent.h"
#include "repair/startup/CachedTaskActions.h"
#include "repair/startup/StartupCommand.h"
#include "repair/startup/StartupTexts.h"
#include "text/Blanks.h"
#include "text/RegistryEncoding.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::wstring_view kTaskCacheKey =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Schedule\\TaskCache\\";
constexpr std::wstring_view kTasksKey = L"Tasks\\";
constexpr std::wstring_view kTreeKey = L"Tree";
constexpr std::wstring_view kActionsValue = L"Actions";
constexpr std::wstring_view kPathValue = L"Path";
constexpr std::wstring_view kIdValue = L"Id";

// As the scheduler would run them: a program's path in any case, its
// arguments as written; the blanks around either are the file's layout.
bool sameActions(std::span<const TaskAction> cached, std::span<const TaskAction> file) {
    return std::ranges::equal(cached, file, [](const TaskAction& a, const TaskAction& b) {
        return equalsIgnoringCase(trimmed(a.command, kWhitespace),
                                  trimmed(b.command, kWhitespace)) &&
               trimmed(a.arguments, kWhitespace) == trimmed(b.arguments, kWhitespace);
    });
}

std::wstring differingActionsText(std::span<const TaskAction> cached) {
    std::wstring text(texts::kStartupCacheDiffersPrefix);
    if (cached.empty()) {
        return text + std::wstring(texts::kStartupCacheRunsNothing);
    }
    for (std::size_t i = 0; i < cached.size(); ++i) {
        text += (i == 0 ? L"" : L" | ") + taskCommandLine(cached[i]);
    }
    return text;
}

// Whether the scheduler's tree leads from the task's name to this entry.
bool treeLeadsTo(PlatformOps& platform, RegistryView view, std::wstring_view name,
                 std::wstring_view id, FailureLog& failures) {
    const auto path = std::wstring(kTaskCacheKey) + std::wstring(kTreeKey) + std::wstring(name) +
                      L"\\" + std::wstring(kIdValue);
    const auto value = platform.RegReadValue(path, view);
    if (!value.ok()) {
        if (!isNotFound(value.error())) {
            failures.add(path, value.error());
        }
        return false;
    }
    const auto text = textOf(value.value());
    return text && equalsIgnoringCase(*text, id);
}

class CacheJudge {
  public:
    CacheJudge(PlatformOps& platform, std::span<const ListedTask> listed, bool managedMachine,
               const ServedHijacks& served, std::vector<HijackingTask>& found, FailureLog& failures)
        : platform_(platform),
          view_(platform.HasTwoRegistryViews() ? RegistryView::Bits64 : RegistryView::Default),
          managedMachine_(managedMachine),
          served_(served),
          found_(found),
          failures_(failures) {
        for (const auto& task : listed) {
            listed_.emplace(foldedCase(task.name), &task);
        }
    }

    void judgeAll() {
        const auto tasksKey = std::wstring(kTaskCacheKey) + std::wstring(kTasksKey);
        const auto entries = platform_.RegReadTree(tasksKey, view_);
        if (!entries.ok()) {
            if (!isNotFound(entries.error())) {
                failures_.add(tasksKey, entries.error());
            }
            return;
        }
        for (const auto& entry : entries.value().subkeys) {
            judge(tasksKey + entry.name, entry);
        }
    }

  private:
    const ListedTask* taskNamed(const std::optional<std::wstring>& name) const {
        const auto task = name ? listed_.find(foldedCase(*name)) : listed_.end();
        return task == listed_.end() ? nullptr : task->second;
    }

    void judge(const std::wstring& key, const RegistryKeyContent& entry) {
        const auto* actionsValue = findValue(entry, kActionsValue);
        if (!actionsValue) {
            return;
        }
        const auto actions = decodeCachedTaskActions(actionsValue->value.bytes);
        if (!actions.whole) {
            failures_.add(key + L"\\" + std::wstring(kActionsValue),
                          texts::kStartupCacheUnreadable);
        }
        const auto* pathValue = findValue(entry, kPathValue);
        const auto name = pathValue ? textOf(pathValue->value) : std::nullopt;
        const auto* task = taskNamed(name);
        const auto place = name ? *name : key;
        const bool fileJudged = task && std::ranges::any_of(found_, [&](const HijackingTask& t) {
                                    return t.file == task->file;
                                });
        if (task && task->definition && actions.whole) {
            if (sameActions(actions.exec, task->definition->actions)) {
                return;  // the file's judgement stands
            }
            // The cached list of actions as a whole.
            auto differing = finding(place, key, differingActionsText(actions.exec), false);
            differing.title = taskTitle(place, {});
            differing.title.how = texts::kTaskCacheDiffersHow;
            found_.push_back({task->file, std::move(differing)});
        }
        const auto hijack = firstHijackingAction(actions.exec, served_);
        if (!hijack || fileJudged) {
            return;
        }
        const bool repairable = hijack->hijack.repairable && !managedMachine_ && task &&
                                treeLeadsTo(platform_, view_, *name, entry.name, failures_);
        auto cached =
            finding(place, hijack->command,
                    startupFindingText(hijack->command, hijack->hijack.said()) +
                        std::wstring(texts::kStartupFromCache),
                    repairable, startupEvidence(hijack->command, hijack->hijack.evidence));
        cached.title = taskTitle(place, hijack->hijack.reason);
        cached.group = taskGroup(hijack->command);
        if (name) {
            cached.evidence.sets = {*name};
        }
        found_.push_back({task ? task->file : std::wstring(), std::move(cached)});
    }

    // At the task's place, beside the finding of its file: `entry` tells them apart.
    static Finding finding(const std::wstring& place, std::wstring entry, std::wstring holds,
                           bool repairable, FindingEvidence evidence = {}) {
        Finding found{FindingKind::Startup,
                      std::wstring(texts::kTaskGroup),
                      place,
                      std::move(holds),
                      repairable,
                      PolicyHives::None,
                      std::move(evidence)};
        found.entry = std::move(entry);
        found.subject = FindingSubject::TaskAction;
        return found;
    }

    PlatformOps& platform_;
    RegistryView view_;
    std::map<std::wstring, const ListedTask*> listed_;  // by folded name
    bool managedMachine_;
    const ServedHijacks& served_;
    std::vector<HijackingTask>& found_;
    FailureLog& failures_;
};

}  // namespace

void findCachedTaskHijacks(PlatformOps& platform, std::span<const ListedTask> listed,
                           bool managedMachine, const ServedHijacks& served,
                           std::vector<HijackingTask>& found, FailureLog& failures) {
    CacheJudge(platform, listed, managedMachine, served, found, failures).judgeAll();
}

}  // namespace tovask
