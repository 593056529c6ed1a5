#include <algorithm>
#include <cstddef>
#include <optional>

#include "repair/backup/HiveNames.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/backup/files/Sha256.h"
#include "repair/backup/runs/RegistryItems.h"
#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingsRun.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/users/RepairLock.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// The kinds' switches, each once, in the order of the usage.
std::vector<std::wstring> switchesOf(const std::set<FindingKind>& offered) {
    std::vector<std::wstring> switches;
    for (const auto* kind : findingKinds()) {
        auto name = L"/" + std::wstring(kind->commandSwitch);
        if (offered.contains(kind->kind) && std::ranges::find(switches, name) == switches.end()) {
            switches.push_back(std::move(name));
        }
    }
    return switches;
}

// The sections of a registry file, none when it cannot be read as one.
std::optional<std::vector<RegistryFileSection>> sectionsIn(std::string_view bytes) {
    auto parsed = readRegistryFile(bytes);
    auto* sections = std::get_if<std::vector<RegistryFileSection>>(&parsed);
    return sections ? std::optional(std::move(*sections)) : std::nullopt;
}

// "7/3/2026 09:05", as the listing and the mark of an undone set give it.
std::wstring shownTime(const CalendarTime& time) {
    const auto twoDigits = [](int number) {
        return (number < 10 ? L"0" : L"") + decimalText(static_cast<unsigned>(number));
    };
    return decimalText(static_cast<unsigned>(time.day)) + L"/" +
           decimalText(static_cast<unsigned>(time.month)) + L"/" +
           decimalText(static_cast<unsigned>(time.year)) + L" " + twoDigits(time.hour) + L":" +
           twoDigits(time.minute);
}

std::wstring counted(std::size_t count, std::wstring_view one, std::wstring_view many) {
    return decimalText(count) + std::wstring(count == 1 ? one : many);
}

// "Ejecución 3: 7/3/2026 09:05, el usuario actual, /browsers /network; 2 claves
// del registro, 1 archivo; se puede deshacer"
std::wstring runSetLine(const RunSet& set) {
    auto line =
        std::wstring(texts::kRunSetPrefix) + decimalText(set.id) + L": " + shownTime(set.madeAt);
    if (!set.usable()) {
        return line + L"; " + std::wstring(texts::kRunSetRefusedPrefix) + set.refusal;
    }
    const auto& manifest = *set.manifest;
    line += L", " +
            std::wstring(manifest.everyUser ? texts::kRunSetEveryUser : texts::kRunSetCurrentUser) +
            L", ";
    if (manifest.switches.empty()) {
        line += texts::kRunSetNoSwitches;
    }
    for (std::size_t i = 0; i < manifest.switches.size(); ++i) {
        line += (i == 0 ? L"" : L" ") + manifest.switches[i];
    }
    const auto items = registryItems(set.registry);
    const auto values = static_cast<std::size_t>(std::ranges::count_if(
        items, [](const RegistryItem& item) { return item.value.has_value(); }));
    std::vector<std::wstring> changes;
    if (items.size() > values) {
        changes.push_back(counted(items.size() - values, texts::kUndoOneKey, texts::kUndoKeys));
    }
    if (values > 0) {
        changes.push_back(counted(values, texts::kUndoOneValue, texts::kUndoValues));
    }
    if (set.files && !set.files->entries.empty()) {
        changes.push_back(
            counted(set.files->entries.size(), texts::kUndoOneFile, texts::kUndoFiles));
    }
    if (!manifest.hosts.empty()) {
        changes.push_back(
            counted(manifest.hosts.size(), texts::kRunSetOneHostsFile, texts::kRunSetHostsFiles));
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        line += (i == 0 ? L";" : L",") + changes[i];
    }
    // Each kind's findings by the kind's heading, in the order of the kinds.
    std::wstring findings;
    for (const auto* kind : findingKinds()) {
        const auto name = utf8FromWide(kind->name);
        const auto count = std::ranges::count(manifest.findings, name, &RunSetFinding::kind);
        auto heading = kind->texts.heading;
        if (heading.ends_with(L':')) {
            heading.remove_suffix(1);
        }
        if (count > 0) {
            findings += (findings.empty() ? L"" : L", ") + std::wstring(heading) + L" (" +
                        decimalText(static_cast<std::size_t>(count)) + L")";
        }
    }
    if (!findings.empty()) {
        line += L"; " + std::wstring(texts::kRunSetFindingsPrefix) + findings;
    }
    return line + L"; " +
           (set.undoneAt ? std::wstring(texts::kRunSetUndonePrefix) + *set.undoneAt
                         : std::wstring(texts::kRunSetCanBeUndone));
}

// Whether the file holds what the run left: rewritten, the bytes it wrote;
// removed, nothing in its place. None when it could not be told, which is
// logged. A task the run disabled is the scheduler's to tell.
std::optional<bool> fileStillAsLeft(PlatformOps& platform, const FileBackupEntry& entry,
                                    FailureLog& failures) {
    if (entry.change == FileChange::TaskDisabled) {
        return true;
    }
    if (entry.change == FileChange::Removed) {
        const auto there = platform.FileExists(entry.original);
        if (!there.ok()) {
            failures.add(entry.original, there.error());
            return std::nullopt;
        }
        return !there.value();
    }
    const auto now = platform.ReadFileContent(entry.original, kMaxBackedUpFileBytes);
    if (!now.ok() && !isNotFound(now.error())) {
        failures.add(entry.original, now.error());
        return std::nullopt;
    }
    return now.ok() && sha256Hex(now.value()) == entry.leftHash;
}

}  // namespace

std::wstring BrowserRepair::runSetsFolder() const {
    const auto registry = registryBackupFile();
    return registry.substr(0, registry.rfind(L'\\') + 1) + std::wstring(kRunSetsFolderName);
}

RunSetReach BrowserRepair::runSetReach() const {
    const auto isHosts = [this](std::wstring_view path) {
        return paths_.ok() && std::ranges::any_of(hostsPairs(paths_.value()), [&](HostsPair pair) {
                   return equalsIgnoringCase(pair.hosts, path);
               });
    };
    return {isWithinFindingsReach, isFindingFilePath, isHosts};
}

void BrowserRepair::withHivesLoaded(
    std::vector<RegistryFileSection> sections, FailureLog& failures,
    const std::function<void(std::vector<RegistryFileSection>&)>& act) {
    if (const auto programUser = platform_.ProgramUserSid(); programUser.ok()) {
        nameCurrentUserAsCurrent(sections, programUser.value());
    }
    const auto users = usersNamedIn(sections);
    std::optional<UserHives> hives;
    if (!users.empty()) {
        hives.emplace(platform_, failures, users);
        nameHivesAsLoaded(sections, hives->hives());
    }
    act(sections);
}

std::string BrowserRepair::existingBackup(std::wstring_view path, std::size_t limit) {
    const auto bytes = platform_.ReadFileContent(path, limit);
    return bytes.ok() ? bytes.value() : std::string();
}

void BrowserRepair::noteBackupsBeforeThisRun() {
    thisRun_ = {};
    if (paths_.ok()) {
        thisRun_.registryBackupBefore =
            existingBackup(registryBackupFile(), kMaxRegistryBackupBytes);
        thisRun_.fileManifestBefore =
            existingBackup(fileBackupPlace().folder + L"\\" + std::wstring(kFileManifestName),
                           kMaxFileManifestBytes);
    }
}

// Read once the run is over, with the hives it loaded unloaded again. The
// existing backups hold this run's changes after an earlier run's when the run
// added to them: only what this run added is its own.
RunChanges BrowserRepair::changesOfThisRun(FailureLog& failures) {
    RunChanges changes;
    const auto backupFile = registryBackupFile();
    const auto backup = existingBackup(backupFile, kMaxRegistryBackupBytes);
    if (!backup.empty() && backup != thisRun_.registryBackupBefore) {
        auto sections = sectionsIn(backup);
        const auto earlier = thisRun_.registryBackupStarted
                                 ? std::nullopt
                                 : sectionsIn(thisRun_.registryBackupBefore);
        const auto earlierCount = earlier ? earlier->size() : 0;
        if (!sections || sections->size() < earlierCount) {
            failures.add(backupFile, texts::kRunManifestRefused);
            return changes;
        }
        sections->erase(sections->begin(),
                        sections->begin() + static_cast<std::ptrdiff_t>(earlierCount));
        const auto items = registryItems(*sections);
        withHivesLoaded(*sections, failures, [&](std::vector<RegistryFileSection>& loaded) {
            const auto states =
                readItemStates(platform_, loaded, items, platform_.HasTwoRegistryViews(), failures);
            changes.registryLeft = itemStatesAsSections(*sections, items, states);
        });
        changes.registry = std::move(*sections);
    }
    const auto place = fileBackupPlace();
    const auto manifest = existingBackup(place.folder + L"\\" + std::wstring(kFileManifestName),
                                         kMaxFileManifestBytes);
    if (!changes.registry.empty() && !manifest.empty() && manifest != thisRun_.fileManifestBefore) {
        // The run checked the folder when it wrote there: what it wrote is read as it stands.
        changes.files = parseManifest(manifest, isFindingFilePath);
        if (!changes.files) {
            failures.add(place.folder + L"\\" + std::wstring(kFileManifestName),
                         texts::kRunManifestRefused);
        }
        const auto earlier = parseManifest(thisRun_.fileManifestBefore, isFindingFilePath);
        if (changes.files && earlier && !thisRun_.registryBackupStarted) {
            std::erase_if(changes.files->entries, [&](const FileBackupEntry& entry) {
                return std::ranges::find(earlier->entries, entry) != earlier->entries.end();
            });
        }
    }
    for (const auto pair : thisRun_.hostsReplaced) {
        // A HOSTS file is copied whatever its size; a set holds up to its own bound.
        const auto saved = platform_.ReadFileContent(pair.backup, kMaxRunSetBytes);
        const auto left = platform_.ReadFileContent(pair.hosts, kMaxRunSetBytes);
        if (!saved.ok() || !left.ok()) {
            failures.add(pair.hosts, saved.ok() ? left.error() : saved.error());
            continue;
        }
        changes.hosts.push_back({std::wstring(pair.hosts), saved.value(), left.value()});
    }
    return changes;
}

void BrowserRepair::writeThisRunsSet(const RunSummary& summary, FailureLog& failures) {
    if (!paths_.ok()) {
        return;
    }
    RunSetManifest manifest;
    manifest.madeAt = platform_.LocalTimeNow();
    const auto changes = changesOfThisRun(failures);
    if (changes.holdsNothing()) {
        return;
    }
    manifest.everyUser = request_.everyUser;
    manifest.switches = switchesOf(request_.offeredKinds);
    for (const auto& finding : summary.repaired()) {
        manifest.findings.push_back({utf8FromWide(idText(finding.id())),
                                     utf8FromWide(rowOf(finding.kind).name), finding.place});
    }
    if (!changes.registry.empty()) {
        manifest.registryStarted = thisRun_.registryBackupStarted;
    }
    writeRunSet(platform_, runSetsFolder(), std::move(manifest), changes, fileBackupPlace(),
                failures);
}

RunOutcome BrowserRepair::listRuns() {
    FailureLog failures(platform_);
    view_.clearList();
    const auto sets = paths_.ok() ? readRunSets(platform_, runSetsFolder(), runSetReach(), failures)
                                  : std::vector<RunSet>{};
    if (sets.empty()) {
        view_.appendLine(texts::kNoRunSets);
    }
    std::size_t total = 0;
    for (const auto& set : sets) {
        view_.appendLine(runSetLine(set));
        total += set.bytes;
    }
    if (!sets.empty()) {
        view_.appendLine(std::wstring(texts::kRunSetsSizePrefix) + decimalText(total) +
                         std::wstring(texts::kRunSetsSizeUnit));
    }
    appendErrorLines(failures);
    return failures.entries().empty() ? RunOutcome::Done : RunOutcome::DoneWithFailures;
}

UndoContents BrowserRepair::stillAsLeft(const RunSet& set,
                                        std::vector<RegistryFileSection>& sections,
                                        std::optional<FileManifest>& files,
                                        std::vector<std::wstring>& left, FailureLog& failures) {
    const auto items = registryItems(set.registry);
    std::vector<RegistryItem> chosen;
    withHivesLoaded(set.registry, failures, [&](std::vector<RegistryFileSection>& loaded) {
        const auto now =
            readItemStates(platform_, loaded, items, platform_.HasTwoRegistryViews(), failures);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (!now[i]) {
                continue;  // unread: logged, and not put back blindly
            }
            const auto asLeft = itemStateIn(set.registryLeft, set.registry, items[i]);
            if (asLeft && *asLeft == *now[i]) {
                chosen.push_back(items[i]);
            } else {
                left.push_back(
                    std::wstring(texts::kRunItemLeftPrefix) +
                    registryEntryName(set.registry[items[i].section].key, items[i].value) +
                    std::wstring(texts::kRunItemChangedSince));
            }
        }
    });
    sections = sectionsOfItems(set.registry, chosen);
    UndoContents contents;
    const bool twoViews = platform_.HasTwoRegistryViews();
    for (const auto& section : sections) {
        contents.sections.push_back(listedSection(section, twoViews));
    }
    if (!sections.empty()) {
        contents.registryBackupMadeAt = set.madeAt;
    }
    if (set.files) {
        files = FileManifest{set.files->registryBackupHash, {}};
        for (const auto& entry : set.files->entries) {
            const auto asLeft = fileStillAsLeft(platform_, entry, failures);
            if (asLeft && *asLeft) {
                files->entries.push_back(entry);
                contents.files.push_back(entry.original);
            } else if (asLeft) {
                left.push_back(std::wstring(texts::kRunItemLeftPrefix) + entry.original +
                               std::wstring(texts::kRunItemChangedSince));
            }
        }
    }
    for (const auto& hosts : set.manifest->hosts) {
        const auto now = platform_.ReadFileContent(hosts.hosts, kMaxRunSetBytes);
        if (now.ok() && sha256Hex(now.value()) == hosts.leftHash) {
            contents.hosts.push_back({hosts.hosts, set.madeAt});
        } else {
            left.push_back(std::wstring(texts::kRunItemLeftPrefix) + hosts.hosts +
                           std::wstring(texts::kRunItemChangedSince));
        }
    }
    return contents;
}

void BrowserRepair::markUndone(const std::vector<const RunSet*>& sets, FailureLog& failures) {
    const auto when = shownTime(platform_.LocalTimeNow());
    for (const auto* set : sets) {
        if (set->undoneAt) {
            continue;
        }
        if (const auto error = markRunSetUndone(platform_, *set, when)) {
            failures.add(set->folder, error);
        }
    }
}

RunOutcome BrowserRepair::undoRun(std::uint32_t id) {
    RunEnd end;
    {
        const RepairLock lock(platform_);
        end = lock.error() ? reportLockFailure(lock.error()) : undoRunUnderLock(id);
    }
    return shownAfterTheLock(end);
}

RunEnd BrowserRepair::undoRunUnderLock(std::uint32_t id) {
    FailureLog failures(platform_);
    view_.clearList();
    const auto sets = paths_.ok() ? readRunSets(platform_, runSetsFolder(), runSetReach(), failures)
                                  : std::vector<RunSet>{};
    const auto set = std::ranges::find(sets, id, &RunSet::id);
    const auto told = [&](RunOutcome outcome, std::wstring line) -> RunEnd {
        view_.appendLine(line);
        appendErrorLines(failures);
        return {outcome, {NoticeKind::Information, std::wstring(texts::kUndoButton), {line}}};
    };
    if (set == sets.end()) {
        return told(RunOutcome::NothingToUndo,
                    std::wstring(texts::kRunSetUnknownPrefix) + decimalText(id));
    }
    if (!set->usable()) {
        failures.add(set->folder, set->refusal);
        return told(RunOutcome::DoneWithFailures, runSetLine(*set));
    }
    if (set->undoneAt) {
        return told(RunOutcome::AlreadyUndone,
                    std::wstring(texts::kRunAlreadyUndonePrefix) + *set->undoneAt);
    }
    std::vector<RegistryFileSection> sections;
    std::optional<FileManifest> files;
    std::vector<std::wstring> left;
    const auto contents = stillAsLeft(*set, sections, files, left, failures);
    if (!contents.holdsNothing() && !listedAndAnsweredYes(contents)) {
        return told(failures.entries().empty() ? RunOutcome::Done : RunOutcome::DoneWithFailures,
                    std::wstring(texts::kUndoDeclined));
    }
    auto putBack = sections.empty() ? std::vector<std::wstring>{}
                                    : restoreRegistryBackup(sections, contents, failures);
    if (files) {
        const FileBackupPlace place{set->folder,
                                    set->folder + L"\\" + std::wstring(kRunRegistryBackupName)};
        for (const auto& file : restoreFileBackups(platform_, place, *files, failures)) {
            putBack.push_back(cameBackLine(headingOfFile(file), file));
        }
    }
    bool hostsCameBack = false;
    for (const auto& listed : contents.hosts) {
        const auto& hosts =
            *std::ranges::find(set->manifest->hosts, listed.hosts, &HostsCopy::hosts);
        const auto copy = set->folder + L"\\" + wideFromUtf8(hosts.savedHash) + L".copia";
        const auto saved = platform_.ReadFileContent(copy, kMaxRunSetBytes);
        const auto error = saved.ok() ? platform_.ReplaceFileContent(hosts.hosts, saved.value(),
                                                                     FileProtection::AsReplaced)
                                      : saved.error();
        if (error) {
            failures.add(hosts.hosts, error);
            continue;
        }
        hostsCameBack = true;
        putBack.push_back(cameBackLine(texts::kUndoHostsHeading, hosts.hosts));
    }
    if (hostsCameBack) {
        flushResolverCache(failures);
    }
    markUndone({&*set}, failures);
    view_.appendLine(texts::kUndoDone);
    for (const auto& line : putBack) {
        view_.appendLine(line);
    }
    for (const auto& line : left) {
        view_.appendLine(line);
    }
    appendErrorLines(failures);
    if (failures.entries().empty() && left.empty()) {
        return {RunOutcome::Done,
                {NoticeKind::Information,
                 std::wstring(texts::kFinishedTitle),
                 {std::wstring(texts::kUndoFinishedPrompt)}}};
    }
    return {RunOutcome::DoneWithFailures,
            {NoticeKind::Warning,
             std::wstring(texts::kFinishedTitle),
             {std::wstring(texts::kUndoWithFailuresPromptPrefix) +
              decimalText(failures.entries().size() + left.size())}}};
}

}  // namespace tovask
