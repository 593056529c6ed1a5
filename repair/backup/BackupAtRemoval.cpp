#include "repair/backup/BackupAtRemoval.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryKeyNames.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool isAtOrBelow(std::wstring_view key, std::wstring_view ancestor) {
    return equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor) &&
           (key.size() == ancestor.size() || key[ancestor.size()] == L'\\');
}

}  // namespace

BackupAtRemoval::BackupAtRemoval(PlatformOps& platform, std::wstring backupFile,
                                 std::vector<RegistryFileSection> sections, std::size_t ownFrom,
                                 BackupNaming naming)
    : platform_(platform),
      backupFile_(std::move(backupFile)),
      sections_(std::move(sections)),
      ownFrom_(std::min(ownFrom, sections_.size())),
      naming_(std::move(naming)) {}

std::wstring BackupAtRemoval::namedFileKey(std::wstring_view keyPath, RegistryView view) const {
    const auto path = parseRegistryPath(keyPath);
    std::vector<RegistryFileSection> named{
        {fileKeyName(path.value().root, path.value().key, view), false, {}}};
    naming_(named);
    return named.front().key;
}

bool BackupAtRemoval::takeOutKey(std::wstring_view fileKey,
                                 const std::vector<RegistryFileSection>& fresh) {
    const auto own = sections_.begin() + static_cast<std::ptrdiff_t>(ownFrom_);
    const auto isOfKey = [&](const RegistryFileSection& section) {
        return !section.removesKey && isAtOrBelow(section.key, fileKey);
    };
    std::vector<RegistryFileSection> held;
    std::copy_if(own, sections_.end(), std::back_inserter(held), isOfKey);
    if (held == fresh) {
        return true;
    }
    sections_.erase(std::remove_if(own, sections_.end(), isOfKey), sections_.end());
    return false;
}

std::error_code BackupAtRemoval::keepRemovedKey(std::wstring_view keyPath, RegistryView view,
                                                const RegistryKeyContent& removed) {
    std::vector<RegistryFileSection> fresh;
    addKeyTree(fresh, namedFileKey(keyPath, view), removed);
    if (takeOutKey(fresh.front().key, fresh)) {
        return {};
    }
    std::ranges::move(fresh, std::back_inserter(sections_));
    return save();
}

std::error_code BackupAtRemoval::forgetKey(std::wstring_view keyPath, RegistryView view) {
    return takeOutKey(namedFileKey(keyPath, view), {}) ? std::error_code{} : save();
}

std::error_code BackupAtRemoval::keepRemovedValue(std::wstring_view keyPath,
                                                  std::wstring_view valueName, RegistryView view,
                                                  const RegistryValue& removed) {
    const auto fileKey = namedFileKey(keyPath, view);
    for (auto section = sections_.rbegin();
         section != sections_.rend() - static_cast<std::ptrdiff_t>(ownFrom_); ++section) {
        if (section->removesKey || !equalsIgnoringCase(section->key, fileKey)) {
            continue;
        }
        for (auto& entry : section->entries) {
            if (equalsIgnoringCase(entry.name, valueName)) {
                if (entry.value == removed) {
                    return {};
                }
                entry.value = removed;
                return save();
            }
        }
    }
    sections_.push_back({fileKey, false, {{std::wstring(valueName), removed}}});
    return save();
}

std::error_code BackupAtRemoval::forgetValue(std::wstring_view keyPath, std::wstring_view valueName,
                                             RegistryView view) {
    const auto fileKey = namedFileKey(keyPath, view);
    bool forgot = false;
    for (auto section = sections_.begin() + static_cast<std::ptrdiff_t>(ownFrom_);
         section != sections_.end(); ++section) {
        if (!section->removesKey && equalsIgnoringCase(section->key, fileKey)) {
            forgot = std::erase_if(section->entries,
                                   [&](const RegistryFileEntry& entry) {
                                       return equalsIgnoringCase(entry.name, valueName);
                                   }) > 0 ||
                     forgot;
        }
    }
    return forgot ? save() : std::error_code{};
}

std::error_code BackupAtRemoval::save() {
    return saveRegistryBackup(platform_, sections_, backupFile_);
}

std::error_code RemovalsAsTaken::RegDelete(std::wstring_view path) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    bool removedSomewhere = false;
    std::error_code firstFailure;
    for (const auto view :
         viewsFor(parsed.value().root, parsed.value().key, next_.HasTwoRegistryViews())) {
        const auto error = RegDeleteIn(path, view);
        removedSomewhere = !error || removedSomewhere;
        if (error && !isNotFound(error) && !firstFailure) {
            firstFailure = error;
        }
    }
    if (firstFailure || removedSomewhere) {
        return firstFailure;
    }
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

std::error_code RemovalsAsTaken::RegDeleteIn(std::wstring_view path, RegistryView view) {
    const auto parsed = parseRegistryPath(path);
    if (!parsed.ok()) {
        return parsed.error();
    }
    if (!parsed.value().namesKey) {
        return RegDeleteValueIn(path.substr(0, path.rfind(L'\\') + 1), parsed.value().valueName,
                                view);
    }
    if (backup_ == nullptr) {
        return next_.RegRemoveKeyAsRead(path, view, {});
    }
    const auto error = next_.RegRemoveKeyAsRead(path, view, [&](const RegistryKeyContent& removed) {
        return backup_->keepRemovedKey(path, view, removed);
    });
    if (isNotFound(error)) {
        if (const auto notSaved = backup_->forgetKey(path, view)) {
            return notSaved;
        }
    }
    return error;
}

std::error_code RemovalsAsTaken::RegDeleteValueIn(std::wstring_view keyPath,
                                                  std::wstring_view valueName, RegistryView view) {
    if (backup_ == nullptr) {
        return next_.RegRemoveValueAsRead(keyPath, valueName, view, {});
    }
    const auto error =
        next_.RegRemoveValueAsRead(keyPath, valueName, view, [&](const RegistryValue& removed) {
            return backup_->keepRemovedValue(keyPath, valueName, view, removed);
        });
    if (isNotFound(error)) {
        if (const auto notSaved = backup_->forgetValue(keyPath, valueName, view)) {
            return notSaved;
        }
    }
    return error;
}

}  // namespace tovask
