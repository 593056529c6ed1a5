#include "repair/backup/files/FileBackup.h"

#include <algorithm>
#include <utility>

#include "repair/backup/RegistryBackup.h"
#include "repair/backup/files/Sha256.h"
#include "repair/texts/ProgramTexts.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

constexpr std::string_view kManifestHeading = "Tovask copias 1\r\n";
constexpr std::string_view kRegistryPrefix = "registro ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kHashDigits = 64;
// Written where a rewritten file's entry has the hash of what the repair left.
constexpr std::string_view kRemovedWord = "quitado";
constexpr std::string_view kTaskWord = "tarea";

// A full local path as the repair names files: a drive letter, then names with
// no stream, wildcard or relative part.
bool isPlainLocalPath(std::wstring_view path) {
    const auto drive = path.empty() ? L'\0' : static_cast<wchar_t>(path[0] | 0x20);
    if (path.size() < 4 || drive < L'a' || drive > L'z' || path.substr(1, 2) != L":\\" ||
        path.back() == L'\\') {
        return false;
    }
    for (std::size_t start = 3; start <= path.size();) {
        const auto end = std::min(path.find(L'\\', start), path.size());
        const auto name = path.substr(start, end - start);
        if (name.empty() || name == L"." || name == L".." ||
            std::ranges::any_of(name, [](wchar_t c) {
                return c < 0x20 ||
                       std::wstring_view(L"<>:\"/|?*").find(c) != std::wstring_view::npos;
            })) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::wstring copyPathIn(const FileBackupPlace& place, std::string_view hash) {
    return place.folder + L"\\" + wideFromUtf8(hash) + L".copia";
}

std::wstring manifestPathIn(const FileBackupPlace& place) {
    return place.folder + L"\\" + std::wstring(kFileManifestName);
}

// Empty when the registry backup cannot be read: no set belongs to it.
Result<std::string> registryBackupHash(PlatformOps& platform, const FileBackupPlace& place) {
    const auto bytes = platform.ReadFileContent(place.registryBackup, kMaxRegistryBackupBytes);
    if (!bytes.ok()) {
        return bytes.error();
    }
    return sha256Hex(bytes.value());
}

void logFolderRefusal(const FileBackupPlace& place, std::error_code error, FailureLog& failures) {
    if (error == std::errc::permission_denied) {
        failures.add(place.folder, texts::kFileBackupFolderRefused);
    } else {
        failures.add(place.folder, error);
    }
}

// True when the file holds its copy's bytes again, or its task runs again.
bool putBack(PlatformOps& platform, const FileBackupPlace& place, const FileBackupEntry& entry,
             FailureLog& failures) {
    const auto copyPath = copyPathIn(place, entry.savedHash);
    const auto saved = platform.ReadFileContent(copyPath, kMaxBackedUpFileBytes);
    if (!saved.ok()) {
        failures.add(copyPath, saved.error());
        return false;
    }
    if (sha256Hex(saved.value()) != entry.savedHash) {
        failures.add(copyPath, texts::kFileCopyDamaged);
        return false;
    }
    const auto keep = [&](std::wstring_view reason) {
        failures.add(entry.original, std::wstring(reason) + copyPath);
    };
    if (entry.change == FileChange::TaskDisabled) {
        const auto error = platform.SetTaskEnabled(entry.original, true);
        if (error) {
            failures.add(entry.original, error);
        }
        return !error;
    }
    if (entry.change == FileChange::Removed) {
        const auto error = platform.CreateNewFile(entry.original, saved.value());
        if (error == std::errc::file_exists) {
            keep(texts::kFileTakenSinceRepairPrefix);
        } else if (error == std::errc::too_many_symbolic_link_levels) {
            keep(texts::kFileReachedByLinkPrefix);
        } else if (error) {
            failures.add(entry.original, error);
        }
        return !error;
    }
    const auto current = platform.ReadFileContent(entry.original, kMaxBackedUpFileBytes);
    if (!current.ok() && !isNotFound(current.error())) {
        failures.add(entry.original, current.error());
        return false;
    }
    const auto currentHash = current.ok() ? sha256Hex(current.value()) : std::string();
    if (currentHash == entry.savedHash) {
        return false;  // nothing to put back
    }
    if (currentHash != entry.leftHash) {
        keep(texts::kFileChangedSinceRepairPrefix);
        return false;
    }
    // Whoever may write the original's folder may swap it, or a folder on its
    // way, for a link between this check and the write: the write checks
    // again, on the very file it writes, that it holds the bytes read here, is
    // reached through no link and has no other name.
    const auto error =
        platform.RewriteUnchangedFile(entry.original, current.value(), saved.value());
    if (error == std::errc::operation_canceled) {
        keep(texts::kFileChangedSinceRepairPrefix);
    } else if (error == std::errc::too_many_symbolic_link_levels) {
        keep(texts::kFileReachedByLinkPrefix);
    } else if (error) {
        failures.add(entry.original, error);
    }
    return !error;
}

}  // namespace

std::string manifestText(const FileManifest& manifest) {
    std::string text(kManifestHeading);
    text += std::string(kRegistryPrefix) + manifest.registryBackupHash + std::string(kLineEnd);
    for (const auto& entry : manifest.entries) {
        const auto left = entry.change == FileChange::Removed        ? std::string(kRemovedWord)
                          : entry.change == FileChange::TaskDisabled ? std::string(kTaskWord)
                                                                     : entry.leftHash;
        text += entry.savedHash + " " + left + " " + utf8FromWide(entry.original) +
                std::string(kLineEnd);
    }
    return text;
}

std::optional<FileManifest> parseManifest(std::string_view text, const FileReach& reach) {
    if (text.size() > kMaxFileManifestBytes || !text.starts_with(kManifestHeading)) {
        return std::nullopt;
    }
    text.remove_prefix(kManifestHeading.size());
    FileManifest manifest;
    bool first = true;
    while (!text.empty()) {
        const auto end = text.find(kLineEnd);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const auto line = text.substr(0, end);
        text.remove_prefix(end + kLineEnd.size());
        if (first) {
            if (!line.starts_with(kRegistryPrefix) ||
                !isSha256Hex(line.substr(kRegistryPrefix.size()))) {
                return std::nullopt;
            }
            manifest.registryBackupHash = line.substr(kRegistryPrefix.size());
            first = false;
            continue;
        }
        const auto saved = line.substr(0, kHashDigits);
        const auto rest = line.substr(std::min(line.size(), kHashDigits + 1));
        const auto left = rest.substr(0, rest.find(' '));
        const auto pathBytes = rest.substr(std::min(rest.size(), left.size() + 1));
        const auto path = wideFromUtf8(pathBytes);
        const bool named = std::ranges::any_of(manifest.entries, [&](const auto& entry) {
            return equalsIgnoringCase(entry.original, path);
        });
        const auto change = left == kRemovedWord ? FileChange::Removed
                            : left == kTaskWord  ? FileChange::TaskDisabled
                                                 : FileChange::Rewritten;
        if (line.size() <= kHashDigits + 1 || !isSha256Hex(saved) || line[kHashDigits] != ' ' ||
            (change == FileChange::Rewritten && !isSha256Hex(left)) ||
            left.size() + 1 >= rest.size() || utf8FromWide(path) != pathBytes ||
            !isPlainLocalPath(path) || !reach(path) || named) {
            return std::nullopt;
        }
        manifest.entries.push_back({path, std::string(saved),
                                    change == FileChange::Rewritten ? std::string(left) : "",
                                    change});
    }
    if (first) {
        return std::nullopt;
    }
    return manifest;
}

FileBackup::FileBackup(PlatformOps& platform, FileBackupPlace place, FileReach reach)
    : platform_(platform), place_(std::move(place)), reach_(std::move(reach)) {}

void FileBackup::noteRegistryBackup() {
    const auto hash = registryBackupHash(platform_, place_);
    registryHashBefore_ = hash.ok() ? hash.value() : std::string();
}

// Once per run: the folder is made or checked, and the set the registry
// backup carried is kept.
std::error_code FileBackup::openSet(FailureLog& failures) {
    if (manifest_ || refused_) {
        return refused_;
    }
    if ((refused_ = platform_.PreparePrivateFolder(place_.folder))) {
        logFolderRefusal(place_, refused_, failures);
        return refused_;
    }
    const auto kept = platform_.ReadFileContent(manifestPathIn(place_), kMaxFileManifestBytes);
    auto parsed = kept.ok() ? parseManifest(kept.value(), reach_) : std::nullopt;
    manifest_ =
        parsed && !registryHashBefore_.empty() && parsed->registryBackupHash == registryHashBefore_
            ? std::move(*parsed)
            : FileManifest{};
    return {};
}

std::error_code FileBackup::save(std::wstring_view original, std::string_view before,
                                 std::string_view after, FailureLog& failures) {
    return record({std::wstring(original), sha256Hex(before), sha256Hex(after)}, before, failures);
}

std::error_code FileBackup::remove(std::wstring_view original, std::string_view before,
                                   FailureLog& failures) {
    if (const auto error =
            record({std::wstring(original), sha256Hex(before), {}, FileChange::Removed}, before,
                   failures)) {
        return error;
    }
    const auto error = platform_.RemoveUnchangedFile(original, before);
    if (error) {
        failures.add(original, error);
    }
    return error;
}

bool FileBackup::remove(std::wstring_view original, FailureLog& failures) {
    const auto bytes = platform_.ReadFileContent(original, kMaxBackedUpFileBytes);
    if (!bytes.ok()) {
        failures.add(original, bytes.error());
        return false;
    }
    return !remove(original, bytes.value(), failures);
}

std::error_code FileBackup::saveDisabledTask(std::wstring_view original, std::string_view before,
                                             FailureLog& failures) {
    return record({std::wstring(original), sha256Hex(before), {}, FileChange::TaskDisabled}, before,
                  failures);
}

std::error_code FileBackup::record(const FileBackupEntry& entry, std::string_view before,
                                   FailureLog& failures) {
    const std::wstring_view original = entry.original;
    // The undo would refuse a manifest naming it, and the file could not come back.
    if (!isPlainLocalPath(original) || !reach_(original)) {
        const auto error = std::make_error_code(std::errc::invalid_argument);
        failures.add(original, error);
        return error;
    }
    if (const auto error = openSet(failures)) {
        return error;
    }
    // The undo restores a set only beside the registry backup it was made
    // with: a set bound to no backup could never come back.
    const auto registryHash = registryBackupHash(platform_, place_);
    if (!registryHash.ok()) {
        failures.add(place_.registryBackup, registryHash.error());
        return registryHash.error();
    }
    const auto& savedHash = entry.savedHash;
    const auto copyPath = copyPathIn(place_, savedHash);
    if (const auto error =
            platform_.ReplaceFileContent(copyPath, before, FileProtection::AdministratorsOnly)) {
        failures.add(copyPath, error);
        return error;
    }
    auto manifest = *manifest_;
    manifest.registryBackupHash = registryHash.value();
    const auto same = std::ranges::find_if(manifest.entries, [&](const FileBackupEntry& entry) {
        return equalsIgnoringCase(entry.original, original);
    });
    // A file this set changed before keeps its first copy: the undo puts back
    // what was there before the whole set.
    if (same == manifest.entries.end()) {
        manifest.entries.push_back(entry);
    } else if (same->leftHash == savedHash) {
        same->leftHash = entry.leftHash;
        same->change = entry.change;
    } else {
        *same = entry;
    }
    const auto manifestPath = manifestPathIn(place_);
    if (const auto error = platform_.ReplaceFileContent(manifestPath, manifestText(manifest),
                                                        FileProtection::AdministratorsOnly)) {
        failures.add(manifestPath, error);
        return error;
    }
    manifest_ = std::move(manifest);
    return {};
}

std::optional<FileManifest> readFileBackups(PlatformOps& platform, const FileBackupPlace& place,
                                            const FileReach& reach, FailureLog& failures) {
    const auto manifestPath = manifestPathIn(place);
    const auto there = platform.FileExists(manifestPath);
    if (!there.ok() && !isNotFound(there.error())) {
        failures.add(manifestPath, there.error());
    }
    if (!there.ok() || !there.value()) {
        return std::nullopt;
    }
    // Whoever could write the folder could name any file and any bytes.
    if (const auto error = platform.PreparePrivateFolder(place.folder)) {
        logFolderRefusal(place, error, failures);
        return std::nullopt;
    }
    const auto text = platform.ReadFileContent(manifestPath, kMaxFileManifestBytes);
    if (!text.ok()) {
        failures.add(manifestPath, text.error());
        return std::nullopt;
    }
    auto manifest = parseManifest(text.value(), reach);
    if (!manifest) {
        failures.add(manifestPath, texts::kFileManifestRefused);
        return std::nullopt;
    }
    const auto registryHash = registryBackupHash(platform, place);
    if (!registryHash.ok()) {
        failures.add(place.registryBackup, registryHash.error());
        return std::nullopt;
    }
    if (manifest->registryBackupHash != registryHash.value()) {
        return std::nullopt;  // the last run changed no file: this set is an earlier one's
    }
    return manifest;
}

std::vector<std::wstring> restoreFileBackups(PlatformOps& platform, const FileBackupPlace& place,
                                             const FileManifest& manifest, FailureLog& failures) {
    std::vector<std::wstring> restored;
    std::for_each(manifest.entries.rbegin(), manifest.entries.rend(),
                  [&](const FileBackupEntry& entry) {
                      if (putBack(platform, place, entry, failures)) {
                          restored.push_back(entry.original);
                      }
                  });
    return restored;
}

}  // namespace tovask
