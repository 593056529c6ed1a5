#include "repair/backup/BackupAtRemoval.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <utility>

#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryKeyNames.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool isStrictlyBelow(std::wstring_view key, std::wstring_view ancestor) {
    return key.size() > ancestor.size() && key[ancestor.size()] == L'\\' &&
           equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor);
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

std::optional<BackupAtRemoval::KeyBlock> BackupAtRemoval::blockOf(
    std::wstring_view fileKey, const std::vector<RegistryFileSection>& fresh) const {
    std::optional<KeyBlock> capturedWhole;
    std::optional<KeyBlock> last;
    for (std::size_t at = ownFrom_; at < sections_.size(); ++at) {
        if (sections_[at].removesKey || !equalsIgnoringCase(sections_[at].key, fileKey)) {
            continue;
        }
        KeyBlock block{at, at + 1, false};
        while (block.end < sections_.size() && !sections_[block.end].removesKey &&
               isStrictlyBelow(sections_[block.end].key, fileKey)) {
            ++block.end;
        }
        block.asTaken = std::ranges::equal(
            std::span(sections_).subspan(block.begin, block.end - block.begin), fresh);
        if (block.asTaken) {
            return block;
        }
        // A key captured to be put back whole follows the section that removes
        // it on undo; another section of the key holds a value a later change
        // writes.
        if (at > ownFrom_ && sections_[at - 1].removesKey &&
            equalsIgnoringCase(sections_[at - 1].key, fileKey)) {
            capturedWhole = block;
        }
        last = block;
        at = block.end - 1;
    }
    return capturedWhole ? capturedWhole : last;
}

std::error_code BackupAtRemoval::keepRemovedKey(std::wstring_view keyPath, RegistryView view,
                                                const RegistryKeyContent& removed) {
    std::vector<RegistryFileSection> fresh;
    addKeyTree(fresh, namedFileKey(keyPath, view), removed);
    const auto block = blockOf(fresh.front().key, fresh);
    if (block && block->asTaken) {
        return {};
    }
    const auto at =
        block ? sections_.erase(sections_.begin() + block->begin, sections_.begin() + block->end)
              : sections_.end();
    sections_.insert(at, fresh.begin(), fresh.end());
    return save();
}

std::error_code BackupAtRemoval::forgetKey(std::wstring_view keyPath, RegistryView view) {
    const auto block = blockOf(namedFileKey(keyPath, view), {});
    if (!block) {
        return {};
    }
    sections_.erase(sections_.begin() + block->begin, sections_.begin() + block->end);
    return save();
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

RemovalsAsTaken::~RemovalsAsTaken() = default;

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
