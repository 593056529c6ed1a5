#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/backup/BackupScope.h"
#include "repair/backup/RegistryFile.h"
#include "repair/backup/files/FileBackup.h"
#include "repair/report/FailureLog.h"
#include "values/CalendarTime.h"

namespace tovask {

// Every run that changes something keeps its own set of backups, beside the
// registry backup, in a folder as private as the file backups' and named by
// the run's time and a number given once, the next after the highest there
// ("20260307-0905-12"): the registry backup as the run wrote it, what the
// run left of each thing it puts back, the file backups in their own format,
// and the HOSTS files it replaced, so that any run can be undone later and an
// undo puts back only what is still as that run left it.
inline constexpr std::wstring_view kRunSetsFolderName = L"TovaskEjecuciones";
inline constexpr std::wstring_view kRunRegistryBackupName = L"BackupRegistro.reg";
inline constexpr std::wstring_view kRunRegistryLeftName = L"Dejado.reg";
inline constexpr std::wstring_view kRunManifestName = L"ejecucion.txt";
inline constexpr std::wstring_view kRunUndoneName = L"deshecha.txt";
// The newest sets of this many, and all of this many days, are kept; the
// last is never removed.
inline constexpr std::size_t kRunSetsKept = 20;
inline constexpr int kRunSetDaysKept = 30;
// No set the program writes is larger; a larger one is refused.
inline constexpr std::size_t kMaxRunSetBytes = std::size_t{256} << 20;

struct HostsCopy {
    std::wstring hosts;
    std::string savedHash;  // of the bytes before the run: the copy's name
    std::string leftHash;   // of the bytes the run left

    bool operator==(const HostsCopy&) const = default;
};

// A finding the run repaired, as its set names it: its id, its kind's name
// (as the run's JSON names it) and its place, for people and scripts that
// read the set; the undo goes by the backups' own items.
struct RunSetFinding {
    std::string id;  // sixteen hexadecimal digits
    std::string kind;
    std::wstring place;

    bool operator==(const RunSetFinding&) const = default;
};

struct RunSetManifest {
    std::uint32_t id = 0;
    CalendarTime madeAt;
    bool everyUser = false;
    std::vector<std::wstring> switches;  // the kinds' switches the run offered
    std::string registryHash;            // of its registry backup; empty: it has none
    std::string registryLeftHash;        // of what the run left of it
    // Whether the run began the registry backup anew rather than adding to
    // it; none in a set written before the manifest told.
    std::optional<bool> registryStarted;
    std::vector<HostsCopy> hosts;
    std::vector<RunSetFinding> findings;

    bool operator==(const RunSetManifest&) const = default;
};

std::string runManifestText(const RunSetManifest& manifest);
// None for a manifest that is not exactly as written, or that names a HOSTS
// file out of reach.
std::optional<RunSetManifest> parseRunManifest(std::string_view text, const FileReach& hostsReach);
std::wstring runSetFolderName(std::uint32_t id, const CalendarTime& madeAt);

// What may be in a set: the registry backup's and the file backups' reach,
// and the HOSTS files.
struct RunSetReach {
    RegistryReach registry;
    FileReach files;
    FileReach hosts;
};

// What one run changed, handed over for its set.
struct RunChanges {
    std::vector<RegistryFileSection> registry;  // what its registry backup puts back
    std::vector<RegistryFileSection> registryLeft;
    std::optional<FileManifest> files;  // with its copies in the file backups' folder
    struct Hosts {
        std::wstring hosts;
        std::string saved;
        std::string left;
    };
    std::vector<Hosts> hosts;

    bool holdsNothing() const { return registry.empty() && !files && hosts.empty(); }
};

// A set as read back; everything in it is checked before it is used.
struct RunSet {
    std::wstring folder;
    std::uint32_t id = 0;
    CalendarTime madeAt;  // as its folder is named
    std::optional<RunSetManifest> manifest;
    std::wstring refusal;  // why it cannot be used, when it cannot
    std::optional<std::wstring> undoneAt;
    std::size_t bytes = 0;
    std::vector<RegistryFileSection> registry;
    std::vector<RegistryFileSection> registryLeft;
    std::optional<FileManifest> files;

    bool usable() const { return refusal.empty(); }
    bool live() const { return usable() && !undoneAt; }
};

// Writes the run's set, then removes the oldest beyond the bound; gives its
// number. What fails is logged: the run's changes stand and the existing
// backups still hold them.
std::optional<std::uint32_t> writeRunSet(PlatformOps& platform, std::wstring_view root,
                                         RunSetManifest manifest, const RunChanges& changes,
                                         const FileBackupPlace& copiesFrom, FailureLog& failures);

// Every set there, oldest first; a folder not named as a set is no set.
std::vector<RunSet> readRunSets(PlatformOps& platform, std::wstring_view root,
                                const RunSetReach& reach, FailureLog& failures);

// The sets whose registry backups the registry backup holds one after the
// other, from the one that began it anew to the last, oldest first, with the
// sections of those not undone yet. A set that does not tell whether it began
// the backup is taken as its start when the sets from it on hold exactly the
// backup. None when the sets do not add up to the backup (a backup edited by
// hand, a set refused or removed).
struct SetsInBackup {
    std::vector<const RunSet*> sets;
    std::vector<RegistryFileSection> stillToUndo;
};
std::optional<SetsInBackup> setsInRegistryBackup(const std::vector<RunSet>& sets,
                                                 const std::vector<RegistryFileSection>& backup);

// Records that the set was undone, and when; a second undo is refused.
std::error_code markRunSetUndone(PlatformOps& platform, const RunSet& set, std::wstring when);

}  // namespace tovask
