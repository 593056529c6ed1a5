#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/backup/RegistryFile.h"
#include "values/CalendarTime.h"

namespace tovask {

// A registry-backup section as the undo tells it: whose change it undoes (the
// heading the list gives it), its key as the backup names it, and how many
// values it puts back; none means the key itself comes back or goes.
struct ListedSection {
    std::wstring_view heading;
    std::wstring key;
    std::size_t values = 0;
};

struct ListedHostsFile {
    std::wstring hosts;
    std::optional<CalendarTime> copiedAt;  // when its backup was written
};

struct ListedRun {
    std::uint32_t id = 0;
    CalendarTime madeAt;
};

// What an undo will put back, read once from the backups before it acts.
struct UndoContents {
    std::vector<ListedSection> sections;
    std::optional<CalendarTime> registryBackupMadeAt;
    std::vector<std::wstring> files;  // the originals of the file backups
    std::vector<ListedHostsFile> hosts;
    // Named when several runs can still be undone: those this undo undoes,
    // and the earlier ones it leaves to the command line.
    std::vector<ListedRun> runs;
    std::vector<std::uint32_t> runsLeft;

    bool holdsNothing() const { return sections.empty() && files.empty() && hosts.empty(); }
};

// The Internet Explorer plan's, or the kind's whose reach claims it. The
// backup was checked against both before it is listed.
ListedSection listedSection(const RegistryFileSection& section, bool hasTwoViews);
// The heading of the kind whose file backups may name the file.
std::wstring_view headingOfFile(std::wstring_view path);

// What the list says before the undo acts: the backup's date, then per
// heading how many registry keys, values and files come back, then each HOSTS
// file with its backup's date, then the runs it undoes and those it leaves.
std::vector<std::wstring> undoListing(const UndoContents& contents);
// The line of one thing put back, in the words of the listing.
std::wstring cameBackLine(std::wstring_view heading, std::wstring_view name);
// A value's name under its key as the report gives it.
std::wstring registryEntryName(std::wstring_view key, const std::optional<std::wstring>& value);

}  // namespace tovask
