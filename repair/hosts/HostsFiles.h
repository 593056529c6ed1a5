#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileOps.h"
#include "repair/hosts/HostsEntries.h"
#include "repair/report/FailureLog.h"
#include "values/Result.h"

namespace tovask {

// The HOSTS files and their backups. The system pair keeps its backup beside
// the HOSTS file; the Windows pair keeps it directly in the Windows folder.
// The registry backup shares the system pair's folder, which only
// administrators and the system may write: an elevated undo imports it.
struct HostsPaths {
    std::wstring strWindows;
    std::wstring strSistema;
    std::wstring strHosts;
    std::wstring strHostsWin;
    std::wstring strBackup;
    std::wstring strBackupWin;
    std::wstring registryBackupFile;
};

// Plain concatenation of the folders as the system gives them and the fixed
// file names: no separator is added, nothing is normalised.
HostsPaths hostsPathsFor(std::wstring_view windowsFolder, std::wstring_view systemFolder);
Result<HostsPaths> computeHostsPaths(FileOps& platform);

struct HostsPair {
    std::wstring_view hosts;
    std::wstring_view backup;
};

// Always the system pair first, then the Windows pair.
std::array<HostsPair, 2> hostsPairs(const HostsPaths& paths);

// Blocklists of a few megabytes are common; more is not a HOSTS file.
inline constexpr std::size_t kLargestHostsFile = 64 * 1024 * 1024;

// The clean default HOSTS file: 19 ASCII lines, each ending in CR LF.
std::string_view defaultHostsContent();

enum class HostsContent { Missing, Default, Other };

// Whether the HOSTS file is there and holds the default content: the one
// probe of the backup and of the check. A failed existence test counts as
// "the file exists", so that the steps it guards are still attempted and
// report their own failures; such a file that then cannot be found is missing.
Result<HostsContent> probeHostsFile(FileOps& platform, std::wstring_view hosts);

enum class BackupOutcome { NoHostsFile, BackedUp, AlreadyDefault, Failed };

// Saves a copy of the HOSTS file, unless it already holds the default content:
// then the earlier backup keeps the user's own content.
BackupOutcome backUpHostsFile(FileOps& platform, HostsPair pair, FailureLog& failures);

// Replaces the HOSTS file with the default content, but only when its previous
// content is safe in a backup (or is the default content already). True when
// the file's content changed.
bool EscribirHosts(FileOps& platform, HostsPair pair, BackupOutcome backup, FailureLog& failures);

// A HOSTS file's entries as the report lists them (see HostsEntries.h): the
// first of those that count, as shown, then how many there are of each sort.
// A hostile file of millions of lines is counted in full, never listed so.
struct ListedHostsEntries {
    std::vector<std::wstring> shown;
    std::size_t counting = 0;
    std::size_t usersOwn = 0;
    std::size_t allowed = 0;
};

ListedHostsEntries listedHostsEntries(std::string_view content,
                                      const AllowedHostName& allowed = {});

// A HOSTS file that differs from the default content, and its entries.
struct HostsFileVerdict {
    std::wstring hosts;
    ListedHostsEntries entries;
};

// The report's lines for the entries that count: "<file>: <entry>", each
// after the prefix, and a last line for those not shown.
std::vector<std::wstring> hostsEntryLines(std::wstring_view prefix, std::wstring_view hosts,
                                          const ListedHostsEntries& entries);

// Takes out of the HOSTS file only the entries that count, every other byte
// staying as it is, once the file is backed up as for its reset; a file
// where none counts is left untouched and its earlier backup kept. The
// entries taken out; none when the file did not change.
ListedHostsEntries removeCountingEntries(FileOps& platform, HostsPair pair,
                                         const AllowedHostName& allowed, FailureLog& failures);

struct RestoreFailure {
    std::wstring_view hosts;
    std::error_code error;
};

struct HostsRestore {
    std::optional<RestoreFailure> failure;
    bool changedAFile = false;
};

// Copies each existing backup over its HOSTS file, creating the HOSTS file if
// it is gone; stops at the first failure and returns it.
// Puts back each HOSTS file from its backup, but those named in `leave`.
HostsRestore restoreHostsFiles(FileOps& platform, const HostsPaths& paths,
                               std::span<const std::wstring> leave = {});

}  // namespace tovask
