#include "repair/backup/runs/RunSets.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <utility>

#include "repair/backup/RegistryBackup.h"
#include "repair/backup/files/Sha256.h"
#include "repair/texts/ProgramTexts.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

constexpr std::string_view kRunHeading = "Tovask ejecucion 1\r\n";
constexpr std::string_view kRunLineEnd = "\r\n";
constexpr std::size_t kDigestDigits = 64;
// A row for each finding repaired: a run that repairs thousands stays readable.
constexpr std::size_t kMaxRunManifestBytes = std::size_t{4} << 20;
// After the registry line's hashes: whether the run began the backup anew.
constexpr std::string_view kRegistryStarted = " nuevo";
constexpr std::string_view kRegistryAdded = " añadido";
// "hallazgo <id> <kind> <place>", after the registry and HOSTS lines.
constexpr std::string_view kFindingPrefix = "hallazgo ";
constexpr std::size_t kFindingIdDigits = 16;

// A finding's row after its prefix; none unless exactly as written.
std::optional<RunSetFinding> findingRow(std::string_view row) {
    const auto id = row.substr(0, kFindingIdDigits);
    const auto kindEnd = row.find(' ', kFindingIdDigits + 1);
    if (id.size() != kFindingIdDigits ||
        !std::ranges::all_of(
            id, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }) ||
        row.size() <= kFindingIdDigits || row[kFindingIdDigits] != ' ' ||
        kindEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const auto kind = row.substr(kFindingIdDigits + 1, kindEnd - kFindingIdDigits - 1);
    const auto placeBytes = row.substr(kindEnd + 1);
    const auto place = wideFromUtf8(placeBytes);
    if (kind.empty() ||
        !std::ranges::all_of(
            kind, [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }) ||
        place.empty() || utf8FromWide(place) != placeBytes) {
        return std::nullopt;
    }
    return RunSetFinding{std::string(id), std::string(kind), place};
}

template <typename Number>
std::optional<Number> numberOf(std::string_view digits) {
    Number number{};
    const auto end = digits.data() + digits.size();
    if (digits.empty() || digits.size() > 9 || digits.front() == '+' ||
        std::from_chars(digits.data(), end, number).ptr != end) {
        return std::nullopt;
    }
    return number;
}

std::string twoDigits(int number) {
    return std::string(1, static_cast<char>('0' + number / 10 % 10)) +
           static_cast<char>('0' + number % 10);
}

// "2026-03-07 09:05"
std::string timeText(const CalendarTime& time) {
    return std::to_string(time.year) + "-" + twoDigits(time.month) + "-" + twoDigits(time.day) +
           " " + twoDigits(time.hour) + ":" + twoDigits(time.minute);
}

std::optional<std::chrono::sys_days> dayOf(const CalendarTime& time) {
    const std::chrono::year_month_day day{std::chrono::year{time.year},
                                          std::chrono::month{static_cast<unsigned>(time.month)},
                                          std::chrono::day{static_cast<unsigned>(time.day)}};
    if (!day.ok() || time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59) {
        return std::nullopt;
    }
    return std::chrono::sys_days{day};
}

std::optional<CalendarTime> parseTime(std::string_view text) {
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':') {
        return std::nullopt;
    }
    const auto year = numberOf<int>(text.substr(0, 4));
    const auto month = numberOf<int>(text.substr(5, 2));
    const auto day = numberOf<int>(text.substr(8, 2));
    const auto hour = numberOf<int>(text.substr(11, 2));
    const auto minute = numberOf<int>(text.substr(14, 2));
    if (!year || !month || !day || !hour || !minute) {
        return std::nullopt;
    }
    const CalendarTime time{*year, *month, *day, *hour, *minute};
    return dayOf(time) ? std::optional(time) : std::nullopt;
}

struct SetName {
    std::uint32_t id;
    CalendarTime madeAt;
};

// "20260307-0905-12", the last part of the folder's path.
std::optional<SetName> parseSetName(std::wstring_view folder) {
    const auto name = utf8FromWide(folder.substr(folder.rfind(L'\\') + 1));
    if (name.size() < 15 || name[8] != '-' || name[13] != '-') {
        return std::nullopt;
    }
    const auto time =
        parseTime(name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " +
                  name.substr(9, 2) + ":" + name.substr(11, 2));
    const auto id = numberOf<std::uint32_t>(std::string_view(name).substr(14));
    if (!time || !id || runSetFolderName(*id, *time) != wideFromUtf8(name)) {
        return std::nullopt;
    }
    return SetName{*id, *time};
}

std::wstring inSet(std::wstring_view folder, std::wstring_view name) {
    return std::wstring(folder) + L"\\" + std::wstring(name);
}

std::wstring copyIn(std::wstring_view folder, std::string_view hash) {
    return inSet(folder, wideFromUtf8(hash) + L".copia");
}

bool olderFirst(const RunSet& a, const RunSet& b) {
    const auto key = [](const RunSet& set) {
        const auto& t = set.madeAt;
        return std::tuple(t.year, t.month, t.day, t.hour, t.minute, set.id);
    };
    return key(a) < key(b);
}

// Reads a file of the set, counting its bytes against the set's bound.
class SetReader {
  public:
    SetReader(PlatformOps& platform, RunSet& set) : platform_(platform), set_(set) {}

    std::optional<std::string> read(std::wstring_view name, std::size_t limit) {
        const auto path = inSet(set_.folder, name);
        auto bytes = platform_.ReadFileContent(path, limit);
        if (!bytes.ok()) {
            refuse(std::wstring(name) + L": " + platform_.DescribeError(bytes.error()));
            return std::nullopt;
        }
        set_.bytes += bytes.value().size();
        if (set_.bytes > kMaxRunSetBytes) {
            refuse(texts::kRunSetTooLarge);
            return std::nullopt;
        }
        return std::move(bytes.value());
    }
    // A copy named by the SHA-256 of its bytes.
    bool readCopy(std::string_view hash) {
        const auto bytes = read(wideFromUtf8(hash) + L".copia", kMaxRunSetBytes);
        if (bytes && sha256Hex(*bytes) != hash) {
            refuse(copyIn(set_.folder, hash));
        }
        return set_.usable();
    }
    void refuse(std::wstring_view reason) {
        if (set_.refusal.empty()) {
            set_.refusal = reason;
        }
    }

  private:
    PlatformOps& platform_;
    RunSet& set_;
};

void readSet(PlatformOps& platform, RunSet& set, const RunSetReach& reach, FailureLog& failures) {
    SetReader reader(platform, set);
    if (platform.PreparePrivateFolder(set.folder)) {
        reader.refuse(texts::kFileBackupFolderRefused);
        return;
    }
    const auto text = reader.read(kRunManifestName, kMaxRunManifestBytes);
    if (!text) {
        return;
    }
    set.manifest = parseRunManifest(*text, reach.hosts);
    if (!set.manifest || set.manifest->id != set.id || set.manifest->madeAt != set.madeAt) {
        set.manifest.reset();
        reader.refuse(texts::kRunManifestRefused);
        return;
    }
    if (!set.manifest->registryHash.empty()) {
        const auto backup = reader.read(kRunRegistryBackupName, kMaxRegistryBackupBytes);
        const auto left = reader.read(kRunRegistryLeftName, kMaxRegistryBackupBytes);
        if (!backup || !left || sha256Hex(*backup) != set.manifest->registryHash ||
            sha256Hex(*left) != set.manifest->registryLeftHash) {
            reader.refuse(texts::kRunManifestRefused);
            return;
        }
        auto loaded =
            loadRegistryBackup(platform, inSet(set.folder, kRunRegistryBackupName), reach.registry);
        auto parsedLeft = readRegistryFile(*left);
        if (const auto* refused = std::get_if<RefusedRegistryBackup>(&loaded)) {
            reader.refuse(refused->reason);
            return;
        }
        auto* sections = std::get_if<std::vector<RegistryFileSection>>(&loaded);
        auto* leftSections = std::get_if<std::vector<RegistryFileSection>>(&parsedLeft);
        if (sections == nullptr || leftSections == nullptr) {
            reader.refuse(texts::kRunManifestRefused);
            return;
        }
        set.registry = std::move(*sections);
        set.registryLeft = std::move(*leftSections);
        set.files =
            readFileBackups(platform, {set.folder, inSet(set.folder, kRunRegistryBackupName)},
                            reach.files, failures);
    }
    for (const auto& entry : set.files ? set.files->entries : std::vector<FileBackupEntry>{}) {
        if (!reader.readCopy(entry.savedHash)) {
            return;
        }
    }
    for (const auto& hosts : set.manifest->hosts) {
        if (!reader.readCopy(hosts.savedHash)) {
            return;
        }
    }
    const auto undone = platform.ReadFileContent(inSet(set.folder, kRunUndoneName), 256);
    if (undone.ok()) {
        set.undoneAt = wideFromUtf8(undone.value());
    }
}

// Whichever keeps more: the newest kRunSetsKept, and those of the last
// kRunSetDaysKept days; never the last. A set is removed whole or not at all.
void removeBeyondBound(PlatformOps& platform, std::vector<RunSet>& sets, const CalendarTime& now,
                       FailureLog& failures) {
    const auto today = dayOf(now);
    for (std::size_t at = 0; at + kRunSetsKept < sets.size() && at + 1 < sets.size(); ++at) {
        const auto made = dayOf(sets[at].madeAt);
        if (today && made && *today - *made < std::chrono::days{kRunSetDaysKept}) {
            break;
        }
        if (const auto error = platform.RemovePrivateFolder(sets[at].folder)) {
            failures.add(sets[at].folder, error);
        }
    }
}

// The sets by their folders' names alone, oldest first: enough to number the
// next and to keep the bound, without reading what any set holds.
std::vector<RunSet> runSetsNamedIn(PlatformOps& platform, std::wstring_view root,
                                   FailureLog& failures) {
    const auto folders = platform.FoldersInFolder(root);
    if (!folders.ok()) {
        if (!isNotFound(folders.error())) {
            failures.add(root, folders.error());
        }
        return {};
    }
    std::vector<RunSet> sets;
    for (const auto& folder : folders.value()) {
        if (const auto name = parseSetName(folder)) {
            RunSet set;
            set.folder = folder;
            set.id = name->id;
            set.madeAt = name->madeAt;
            sets.push_back(std::move(set));
        }
    }
    std::ranges::sort(sets, olderFirst);
    return sets;
}

}  // namespace

std::wstring runSetFolderName(std::uint32_t id, const CalendarTime& madeAt) {
    const auto time = timeText(madeAt);
    return wideFromUtf8(time.substr(0, 4) + time.substr(5, 2) + time.substr(8, 2) + "-" +
                        time.substr(11, 2) + time.substr(14, 2) + "-" + std::to_string(id));
}

std::string runManifestText(const RunSetManifest& manifest) {
    std::string text(kRunHeading);
    text += "id " + std::to_string(manifest.id) + std::string(kRunLineEnd);
    text += "hora " + timeText(manifest.madeAt) + std::string(kRunLineEnd);
    text += std::string(manifest.everyUser ? "usuarios todos" : "usuarios actual") +
            std::string(kRunLineEnd);
    text += "opciones";
    for (const auto& name : manifest.switches) {
        text += " " + utf8FromWide(name);
    }
    text += kRunLineEnd;
    if (!manifest.registryHash.empty()) {
        text += "registro " + manifest.registryHash + " " + manifest.registryLeftHash;
        if (manifest.registryStarted) {
            text += *manifest.registryStarted ? kRegistryStarted : kRegistryAdded;
        }
        text += kRunLineEnd;
    }
    for (const auto& hosts : manifest.hosts) {
        text += "hosts " + hosts.savedHash + " " + hosts.leftHash + " " +
                utf8FromWide(hosts.hosts) + std::string(kRunLineEnd);
    }
    for (const auto& finding : manifest.findings) {
        // A value's name may hold a line break: each row stays one line.
        auto place = finding.place;
        std::ranges::replace_if(
            place, [](wchar_t c) { return c < L' '; }, L'\uFFFD');
        text += std::string(kFindingPrefix) + finding.id + " " + finding.kind + " " +
                utf8FromWide(place) + std::string(kRunLineEnd);
    }
    return text;
}

std::optional<RunSetManifest> parseRunManifest(std::string_view text, const FileReach& hostsReach) {
    if (!text.starts_with(kRunHeading)) {
        return std::nullopt;
    }
    text.remove_prefix(kRunHeading.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find(kRunLineEnd);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + kRunLineEnd.size());
    }
    if (lines.size() < 4 || !lines[0].starts_with("id ") || !lines[1].starts_with("hora ") ||
        (lines[2] != "usuarios todos" && lines[2] != "usuarios actual") ||
        !lines[3].starts_with("opciones")) {
        return std::nullopt;
    }
    RunSetManifest manifest;
    const auto id = numberOf<std::uint32_t>(lines[0].substr(3));
    const auto time = parseTime(lines[1].substr(5));
    if (!id || !time) {
        return std::nullopt;
    }
    manifest.id = *id;
    manifest.madeAt = *time;
    manifest.everyUser = lines[2] == "usuarios todos";
    for (auto rest = lines[3].substr(8); !rest.empty();) {
        const auto next = rest.find(' ', 1);
        const auto name = rest.substr(1, next == std::string_view::npos ? rest.npos : next - 1);
        if (rest.front() != ' ' || !name.starts_with('/') || name.size() < 2) {
            return std::nullopt;
        }
        manifest.switches.push_back(wideFromUtf8(name));
        rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next);
    }
    for (auto line = lines.begin() + 4; line != lines.end(); ++line) {
        constexpr std::size_t kHashesEnd = 9 + 2 * kDigestDigits + 1;
        const auto started =
            line->size() < kHashesEnd ? std::string_view{} : line->substr(kHashesEnd);
        if (line->starts_with("registro ") && manifest.registryHash.empty() &&
            manifest.hosts.empty() && line->size() >= kHashesEnd &&
            (started.empty() || started == kRegistryStarted || started == kRegistryAdded) &&
            isSha256Hex(line->substr(9, kDigestDigits)) && (*line)[9 + kDigestDigits] == ' ' &&
            isSha256Hex(line->substr(10 + kDigestDigits, kDigestDigits))) {
            manifest.registryHash = line->substr(9, kDigestDigits);
            manifest.registryLeftHash = line->substr(10 + kDigestDigits, kDigestDigits);
            if (!started.empty()) {
                manifest.registryStarted = started == kRegistryStarted;
            }
            continue;
        }
        if (line->starts_with(kFindingPrefix)) {
            auto finding = findingRow(line->substr(kFindingPrefix.size()));
            if (!finding) {
                return std::nullopt;
            }
            manifest.findings.push_back(std::move(*finding));
            continue;
        }
        constexpr std::size_t kPathAt = 6 + 2 * (kDigestDigits + 1);
        if (!manifest.findings.empty() || !line->starts_with("hosts ") || line->size() <= kPathAt ||
            !isSha256Hex(line->substr(6, kDigestDigits)) || (*line)[6 + kDigestDigits] != ' ' ||
            !isSha256Hex(line->substr(7 + kDigestDigits, kDigestDigits)) ||
            (*line)[kPathAt - 1] != ' ') {
            return std::nullopt;
        }
        const auto path = wideFromUtf8(line->substr(kPathAt));
        if (utf8FromWide(path) != line->substr(kPathAt) || !hostsReach(path)) {
            return std::nullopt;
        }
        manifest.hosts.push_back({path, std::string(line->substr(6, kDigestDigits)),
                                  std::string(line->substr(7 + kDigestDigits, kDigestDigits))});
    }
    return manifest;
}

std::optional<std::uint32_t> writeRunSet(PlatformOps& platform, std::wstring_view root,
                                         RunSetManifest manifest, const RunChanges& changes,
                                         const FileBackupPlace& copiesFrom, FailureLog& failures) {
    if (const auto error = platform.PreparePrivateFolder(root)) {
        failures.add(root, error == std::errc::permission_denied
                               ? std::wstring(texts::kFileBackupFolderRefused)
                               : platform.DescribeError(error));
        return std::nullopt;
    }
    auto sets = runSetsNamedIn(platform, root, failures);
    manifest.id = sets.empty() ? 1 : std::ranges::max(sets, {}, &RunSet::id).id + 1;
    const auto folder = inSet(root, runSetFolderName(manifest.id, manifest.madeAt));
    std::vector<std::pair<std::wstring, std::string>> files;
    if (!changes.registry.empty()) {
        auto backup = writeRegistryFile(changes.registry);
        auto left = writeRegistryFile(changes.registryLeft);
        if (!backup.ok() || !left.ok()) {
            failures.add(inSet(folder, kRunRegistryBackupName),
                         backup.ok() ? left.error() : backup.error());
            return std::nullopt;
        }
        manifest.registryHash = sha256Hex(backup.value());
        manifest.registryLeftHash = sha256Hex(left.value());
        files.emplace_back(kRunRegistryBackupName, std::move(backup.value()));
        files.emplace_back(kRunRegistryLeftName, std::move(left.value()));
    }
    if (changes.files) {
        // The set's own file backups go with the set's own registry backup.
        auto ownFiles = *changes.files;
        ownFiles.registryBackupHash = manifest.registryHash;
        for (const auto& entry : changes.files->entries) {
            const auto copy = platform.ReadFileContent(copyIn(copiesFrom.folder, entry.savedHash),
                                                       kMaxBackedUpFileBytes);
            if (!copy.ok()) {
                failures.add(copyIn(copiesFrom.folder, entry.savedHash), copy.error());
                return std::nullopt;
            }
            files.emplace_back(wideFromUtf8(entry.savedHash) + L".copia", copy.value());
        }
        files.emplace_back(kFileManifestName, manifestText(ownFiles));
    }
    for (const auto& hosts : changes.hosts) {
        manifest.hosts.push_back({hosts.hosts, sha256Hex(hosts.saved), sha256Hex(hosts.left)});
        files.emplace_back(wideFromUtf8(manifest.hosts.back().savedHash) + L".copia", hosts.saved);
    }
    // The manifest last: a set cut short has none, and is refused.
    files.emplace_back(kRunManifestName, runManifestText(manifest));
    if (const auto error = platform.PreparePrivateFolder(folder)) {
        failures.add(folder, error);
        return std::nullopt;
    }
    for (const auto& [name, bytes] : files) {
        if (const auto error = platform.ReplaceFileContent(inSet(folder, name), bytes,
                                                           FileProtection::AdministratorsOnly)) {
            failures.add(inSet(folder, name), error);
            return std::nullopt;
        }
    }
    RunSet written;
    written.folder = folder;
    written.id = manifest.id;
    written.madeAt = manifest.madeAt;
    sets.push_back(std::move(written));
    removeBeyondBound(platform, sets, manifest.madeAt, failures);
    return manifest.id;
}

std::vector<RunSet> readRunSets(PlatformOps& platform, std::wstring_view root,
                                const RunSetReach& reach, FailureLog& failures) {
    auto sets = runSetsNamedIn(platform, root, failures);
    // Whoever could write the folder could name any key, file and bytes. A
    // run that writes a set checks it once, before it names the next.
    if (!sets.empty() && platform.PreparePrivateFolder(root)) {
        failures.add(root, texts::kFileBackupFolderRefused);
        return {};
    }
    for (auto& set : sets) {
        readSet(platform, set, reach, failures);
    }
    return sets;
}

std::optional<SetsInBackup> setsInRegistryBackup(const std::vector<RunSet>& sets,
                                                 const std::vector<RegistryFileSection>& backup) {
    SetsInBackup found;
    std::vector<RegistryFileSection> held;
    for (auto set = sets.rbegin(); set != sets.rend() && !backup.empty(); ++set) {
        if (!set->usable()) {
            return std::nullopt;
        }
        found.sets.insert(found.sets.begin(), &*set);
        if (set->manifest->registryHash.empty()) {
            continue;  // a run that changed only HOSTS files
        }
        held.insert(held.begin(), set->registry.begin(), set->registry.end());
        if (held.size() > backup.size()) {
            return std::nullopt;
        }
        const auto started = set->manifest->registryStarted;
        if (started ? *started : held == backup) {
            break;
        }
    }
    if (held.empty() || held != backup) {
        return std::nullopt;
    }
    for (const auto* set : found.sets) {
        if (!set->undoneAt) {
            found.stillToUndo.insert(found.stillToUndo.end(), set->registry.begin(),
                                     set->registry.end());
        }
    }
    return found;
}

std::error_code markRunSetUndone(PlatformOps& platform, const RunSet& set, std::wstring when) {
    return platform.ReplaceFileContent(inSet(set.folder, kRunUndoneName), utf8FromWide(when),
                                       FileProtection::AdministratorsOnly);
}

}  // namespace tovask
