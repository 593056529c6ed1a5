#include "repair/hosts/HostsFiles.h"

#include <algorithm>

#include "repair/hosts/HostsEntries.h"
#include "repair/texts/ProgramTexts.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The lines of the default HOSTS file; the two example host names are our own.
constexpr std::string_view kDefaultHostsLines[] = {
    "# Copyright (c) 1993-1999 Microsoft Corp.",
    "#",
    "# This is a sample HOSTS file used by Microsoft TCP/IP for Windows.",
    "#",
    "# This file contains the mappings of IP addresses to host names. Each",
    "# entry should be kept on an individual line. The IP address should",
    "# be placed in the first column followed by the corresponding host name.",
    "# The IP address and the host name should be separated by at least one",
    "# space.",
    "#",
    "# Additionally, comments (such as these) may be inserted on individual",
    "# lines or following the machine name denoted by a '#' symbol.",
    "#",
    "# For example:",
    "#",
    "# 102.54.94.97 servidor.example.com # source server",
    "# 38.25.63.10 cliente.example.com # x client host",
    "",
    "127.0.0.1 localhost",
};
static_assert(std::size(kDefaultHostsLines) == 19);

// Enough for a person to read and act on; the count says the rest.
constexpr std::size_t kMostShownHostsEntries = 100;

std::string joinedDefaultHostsLines() {
    std::string content;
    for (const auto line : kDefaultHostsLines) {
        content.append(line).append("\r\n");
    }
    return content;
}

// Writes the content over the HOSTS file, but only when its previous content
// is safe in a backup (or is the default content already). True when the
// file's content changed.
bool writeHostsContent(FileOps& platform, HostsPair pair, BackupOutcome backup,
                       std::string_view content, FailureLog& failures) {
    if (backup == BackupOutcome::NoHostsFile) {
        return false;
    }
    if (backup == BackupOutcome::Failed) {
        failures.add(pair.hosts, texts::kNoBackupReason);
        return false;
    }
    // The attributes are left normal afterwards, as for any freshly written file.
    platform.ClearAttributes(pair.hosts);
    if (const auto error =
            platform.ReplaceFileContent(pair.hosts, content, FileProtection::AsReplaced)) {
        failures.add(pair.hosts, error);
        return false;
    }
    return backup == BackupOutcome::BackedUp;
}

}  // namespace

HostsPaths hostsPathsFor(std::wstring_view windowsFolder, std::wstring_view systemFolder) {
    HostsPaths paths;
    paths.strWindows = windowsFolder;
    paths.strSistema = systemFolder;
    paths.strHosts = paths.strSistema + L"\\drivers\\etc\\hosts";
    paths.strHostsWin = paths.strWindows + L"\\drivers\\etc\\hosts";
    paths.strBackup = paths.strSistema + L"\\drivers\\etc\\BackupHosts.bak";
    paths.strBackupWin = paths.strWindows + L"\\BackupHosts.bak";
    paths.registryBackupFile = paths.strSistema + L"\\drivers\\etc\\BackupRegistro.reg";
    return paths;
}

Result<HostsPaths> computeHostsPaths(FileOps& platform) {
    const auto windowsFolder = platform.GetSpecialFolder(SpecialFolder::Windows);
    if (!windowsFolder.ok()) {
        return windowsFolder.error();
    }
    const auto systemFolder = platform.GetSpecialFolder(SpecialFolder::System);
    if (!systemFolder.ok()) {
        return systemFolder.error();
    }
    return hostsPathsFor(windowsFolder.value(), systemFolder.value());
}

std::array<HostsPair, 2> hostsPairs(const HostsPaths& paths) {
    return {HostsPair{paths.strHosts, paths.strBackup},
            HostsPair{paths.strHostsWin, paths.strBackupWin}};
}

std::string_view defaultHostsContent() {
    static const std::string content = joinedDefaultHostsLines();
    return content;
}

Result<HostsContent> probeHostsFile(FileOps& platform, std::wstring_view hosts) {
    const auto exists = platform.FileExists(hosts);
    if (exists.ok() && !exists.value()) {
        return HostsContent::Missing;
    }
    const auto isDefault = platform.FileHasContent(hosts, defaultHostsContent());
    if (!isDefault.ok()) {
        if (!exists.ok() && isNotFound(isDefault.error())) {
            return HostsContent::Missing;
        }
        return isDefault.error();
    }
    return isDefault.value() ? HostsContent::Default : HostsContent::Other;
}

BackupOutcome backUpHostsFile(FileOps& platform, HostsPair pair, FailureLog& failures) {
    const auto content = probeHostsFile(platform, pair.hosts);
    if (!content.ok()) {
        // Not knowing whether the file is clean already, a copy could replace
        // the backup that holds the user's own content with the default one.
        failures.add(pair.hosts, content.error());
        return BackupOutcome::Failed;
    }
    if (content.value() == HostsContent::Missing) {
        return BackupOutcome::NoHostsFile;
    }
    if (content.value() == HostsContent::Default) {
        return BackupOutcome::AlreadyDefault;
    }
    // A read-only, hidden or system backup left by an earlier run must not
    // block the new copy; on a first run there is no backup yet.
    platform.ClearAttributes(pair.backup);
    if (const auto error = platform.CopyFileOver(pair.hosts, pair.backup)) {
        failures.add(pair.backup, error);
        return BackupOutcome::Failed;
    }
    return BackupOutcome::BackedUp;
}

bool EscribirHosts(FileOps& platform, HostsPair pair, BackupOutcome backup, FailureLog& failures) {
    return writeHostsContent(platform, pair, backup, defaultHostsContent(), failures);
}

ListedHostsEntries listedHostsEntries(std::string_view content, const AllowedHostName& allowed) {
    const auto entries = judgeHostsEntries(content, allowed);
    ListedHostsEntries listed{{}, entries.counting.size(), entries.usersOwn, entries.allowed};
    const auto shown = std::min(entries.counting.size(), kMostShownHostsEntries);
    for (std::size_t i = 0; i < shown; ++i) {
        listed.shown.push_back(shownHostsEntry(entries.counting[i]));
    }
    return listed;
}

std::vector<std::wstring> hostsEntryLines(std::wstring_view prefix, std::wstring_view hosts,
                                          const ListedHostsEntries& entries) {
    const auto start = std::wstring(prefix) + std::wstring(hosts) + L": ";
    std::vector<std::wstring> lines;
    for (const auto& entry : entries.shown) {
        lines.push_back(start + entry);
    }
    if (entries.counting > entries.shown.size()) {
        lines.push_back(start + std::wstring(texts::kHostsMoreEntriesPrefix) +
                        decimalText(entries.counting - entries.shown.size()) +
                        std::wstring(texts::kHostsMoreEntriesSuffix));
    }
    return lines;
}

ListedHostsEntries removeCountingEntries(FileOps& platform, HostsPair pair,
                                         const AllowedHostName& allowed, FailureLog& failures) {
    const auto content = platform.ReadFileContent(pair.hosts, kLargestHostsFile);
    if (!content.ok()) {
        if (!isNotFound(content.error())) {
            failures.add(pair.hosts, content.error());
        }
        return {};
    }
    auto listed = listedHostsEntries(content.value(), allowed);
    if (listed.counting == 0) {
        return {};
    }
    const auto backup = backUpHostsFile(platform, pair, failures);
    if (!writeHostsContent(platform, pair, backup, withoutCountingEntries(content.value(), allowed),
                           failures)) {
        return {};
    }
    return listed;
}

HostsRestore restoreHostsFiles(FileOps& platform, const HostsPaths& paths,
                               std::span<const std::wstring> leave) {
    HostsRestore restore;
    for (const auto pair : hostsPairs(paths)) {
        if (isAmongIgnoringCase(leave, pair.hosts)) {
            continue;
        }
        const auto backupExists = platform.FileExists(pair.backup);
        if (!backupExists.ok()) {
            restore.failure = RestoreFailure{pair.hosts, backupExists.error()};
            return restore;
        }
        if (!backupExists.value()) {
            continue;
        }
        // A HOSTS file that is gone is created again from its backup.
        if (const auto error = platform.ClearAttributes(pair.hosts); error && !isNotFound(error)) {
            restore.failure = RestoreFailure{pair.hosts, error};
            return restore;
        }
        if (const auto error = platform.CopyFileOver(pair.backup, pair.hosts)) {
            restore.failure = RestoreFailure{pair.hosts, error};
            return restore;
        }
        restore.changedAFile = true;
    }
    return restore;
}

}  // namespace tovask
