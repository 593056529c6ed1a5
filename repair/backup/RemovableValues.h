#pragma once

#include <optional>
#include <string>
#include <vector>

#include "repair/backup/RegistryFile.h"
#include "repair/report/FindingKindRow.h"
#include "values/RegistryValue.h"

namespace tovask {

// A finding whose repair deletes one registry value, or writes Windows' own
// in its place where Windows needs the value.
struct RemovableValue {
    std::wstring keyPath;  // as the platform names it, with a trailing backslash
    RegistryView view;
    std::wstring valueName;
    RegistryFileSection backup;  // puts the value back
    Finding finding;
    std::optional<RegistryValue> writtenInstead{};  // none: the value is deleted
};

// The findings of a kind whose repair deletes or rewrites values: each
// repairable one goes to the registry backup, then is deleted or rewritten; a
// value already gone is no failure.
class RemovableValueFindings : public KindFindings {
  public:
    explicit RemovableValueFindings(std::vector<RemovableValue> values)
        : values_(std::move(values)) {}

    std::vector<Finding> findings() const override;
    void keepOnly(std::span<const FindingId> chosen) override;
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override;
    void repair(PlatformOps& platform, FileBackup& files, const OutcomeReport& report,
                FailureLog& failures) override;
    // The programs that read them do so again when they next start.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    std::vector<RemovableValue> values_;
    bool backedUp_ = false;
};

}  // namespace tovask
