#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/PlatformOps.h"
#include "repair/report/FailureLog.h"

namespace tovask {

// Files a repair changes are copied, before they change, into a folder beside
// the registry backup that only Administrators and SYSTEM may use. Each copy is
// named by the SHA-256 of its bytes; a manifest names each original file, its
// copy, and the SHA-256 of what the repair left, so that the undo puts back
// only a file nobody changed since. The set of copies belongs to the registry
// backup it accompanies: the manifest records that backup's SHA-256, and a run
// that writes a new registry backup starts a new set.
inline constexpr std::wstring_view kFileBackupFolderName = L"TovaskCopias";
inline constexpr std::wstring_view kFileManifestName = L"manifiesto.txt";
inline constexpr std::size_t kMaxFileManifestBytes = 256 * 1024;
// No file a repair changes is larger (a browser profile's preferences run to
// tens of MiB); a larger copy is not read at all.
inline constexpr std::size_t kMaxBackedUpFileBytes = std::size_t{32} << 20;

// Where the repair may write: a manifest naming any other file is refused.
using FileReach = std::function<bool(std::wstring_view path)>;

// What the repair did to a file, and so what the undo does.
enum class FileChange {
    Rewritten,     // wrote new bytes: the undo writes the copy back over them
    Removed,       // deleted it: the undo puts the copy back where nothing is
    TaskDisabled,  // had the scheduler disable the task: the undo enables it
};

struct FileBackupEntry {
    std::wstring original;
    std::string savedHash;  // of the bytes before the repair: the copy's name
    std::string leftHash;   // of the bytes the repair left; empty unless rewritten
    FileChange change = FileChange::Rewritten;

    bool operator==(const FileBackupEntry&) const = default;
};

struct FileManifest {
    std::string registryBackupHash;
    std::vector<FileBackupEntry> entries;

    bool operator==(const FileManifest&) const = default;
};

std::string manifestText(const FileManifest& manifest);
// None for a manifest that is not exactly as written above, or that names a
// file out of reach or twice.
std::optional<FileManifest> parseManifest(std::string_view text, const FileReach& reach);

struct FileBackupPlace {
    std::wstring folder;
    std::wstring registryBackup;
};

// The file backups of one repair run.
class FileBackup {
  public:
    FileBackup(PlatformOps& platform, FileBackupPlace place, FileReach reach);

    // Notes which set the registry backup carries now; called before the run
    // adds to that backup, so that a run adding to it keeps the set as well.
    void noteRegistryBackup();
    // Copies `before` and records the file with the SHA-256 of `after`, which
    // the caller then writes. An error, logged, means the file must not change.
    std::error_code save(std::wstring_view original, std::string_view before,
                         std::string_view after, FailureLog& failures);
    // Copies the file, records it as removed, and deletes it, only while it
    // still holds exactly `before` and is reached through no link
    // (RemoveUnchangedFile). An error, logged, means the file stays.
    std::error_code remove(std::wstring_view original, std::string_view before,
                           FailureLog& failures);
    // The same for the file as it is now, read whole; true once it is gone.
    bool remove(std::wstring_view original, FailureLog& failures);
    // Copies the file and records it as a task file whose task the caller
    // then disables.
    std::error_code saveDisabledTask(std::wstring_view original, std::string_view before,
                                     FailureLog& failures);

  private:
    std::error_code openSet(FailureLog& failures);
    std::error_code record(const FileBackupEntry& entry, std::string_view before,
                           FailureLog& failures);

    PlatformOps& platform_;
    FileBackupPlace place_;
    FileReach reach_;
    std::string registryHashBefore_;
    std::optional<FileManifest> manifest_;
    std::error_code refused_;
};

// The set that accompanies the registry backup as it is now, read and checked
// once for the undo to tell and put back: none when there is no set or it is
// an earlier run's; a refused folder or manifest is reported and gives none.
std::optional<FileManifest> readFileBackups(PlatformOps& platform, const FileBackupPlace& place,
                                            const FileReach& reach, FailureLog& failures);
// Puts back each file of the set, the last changed first, and gives the files
// it put back. A file that changed since the repair is reported and kept, and
// so is its copy.
std::vector<std::wstring> restoreFileBackups(PlatformOps& platform, const FileBackupPlace& place,
                                             const FileManifest& manifest, FailureLog& failures);

}  // namespace tovask
