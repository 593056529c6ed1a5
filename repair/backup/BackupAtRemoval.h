#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ForwardingPlatform.h"
#include "repair/backup/RegistryFile.h"

namespace tovask {

// Names the users' hives in backup sections as the run's backup names them.
using BackupNaming = std::function<void(std::vector<RegistryFileSection>&)>;

// The run's registry backup once it is saved, while the run removes what it
// judged. What a removal takes may have changed since it was judged (the
// findings dialog may wait for minutes): the backup is brought up to date with
// what each removal takes, as read through the handle that takes it, and saved
// again before it is taken, so that the undo puts back what was there.
class BackupAtRemoval {
  public:
    // `sections` as saved; those from `ownFrom` on are this run's own, which
    // a removal may bring up to date. The ones before come from an earlier
    // phase or run, and keep what was there before that changed it.
    BackupAtRemoval(PlatformOps& platform, std::wstring backupFile,
                    std::vector<RegistryFileSection> sections, std::size_t ownFrom,
                    BackupNaming naming);

    std::error_code keepRemovedKey(std::wstring_view keyPath, RegistryView view,
                                   const RegistryKeyContent& removed);
    std::error_code keepRemovedValue(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view, const RegistryValue& removed);
    // What was gone before the removal came is not put back by the undo.
    std::error_code forgetKey(std::wstring_view keyPath, RegistryView view);
    std::error_code forgetValue(std::wstring_view keyPath, std::wstring_view valueName,
                                RegistryView view);

  private:
    std::wstring namedFileKey(std::wstring_view keyPath, RegistryView view) const;
    // Where this run's backup holds a key whole: the key's section and those
    // of the keys below it that follow it.
    struct KeyBlock {
        std::size_t begin;
        std::size_t end;
        bool asTaken;  // it holds `fresh` already
    };
    // The block that holds the key as taken, or else the one captured to be
    // put back whole, or else the last.
    std::optional<KeyBlock> blockOf(std::wstring_view fileKey,
                                    const std::vector<RegistryFileSection>& fresh) const;
    std::error_code save();

    PlatformOps& platform_;
    std::wstring backupFile_;
    std::vector<RegistryFileSection> sections_;
    std::size_t ownFrom_;
    BackupNaming naming_;
};

// The platform as the run's removals see it: every key or value is removed
// through the handles that read it, and kept in the run's backup as it is
// taken, when the run keeps one.
class RemovalsAsTaken final : public ForwardingPlatform {
  public:
    RemovalsAsTaken(PlatformOps& next, BackupAtRemoval* backup)
        : ForwardingPlatform(next), next_(next), backup_(backup) {}
    // Out of line, as ForwardingPlatform's is.
    ~RemovalsAsTaken() override;

    // In each view the key is in, as the plain delete is.
    std::error_code RegDelete(std::wstring_view path) override;
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override;
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override;

  private:
    PlatformOps& next_;
    BackupAtRemoval* backup_;
};

}  // namespace tovask
