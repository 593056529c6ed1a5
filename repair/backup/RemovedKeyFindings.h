#pragma once

#include <algorithm>
#include <iterator>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "repair/backup/RegistryFile.h"
#include "repair/report/FailureLog.h"
#include "repair/report/FindingKindRow.h"
#include "repair/report/ProgressView.h"
#include "text/KeyPlace.h"

namespace tovask {

// Removes the key with all below it; a failure is logged. True when it is gone.
bool removeRegistryKey(PlatformOps& platform, const KeyPlace& key, FailureLog& failures);

// The findings of a kind whose repair removes one registry key a finding,
// saved whole in the registry backup first. `Found` holds the `finding`, the
// key's `place` and its `content` as read. A kind whose repair may instead
// change one value gives `Found` its own `addBackup(sections)` and
// `applyRepair(platform, failures)`, which then take the place of both.
template <typename Found>
class RemovedKeyFindings : public KindFindings {
  public:
    // `removedNotice`, when there is one, is said once a key is removed.
    RemovedKeyFindings(std::vector<Found> found, std::wstring_view removedNotice)
        : found_(std::move(found)), removedNotice_(removedNotice) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        std::ranges::transform(found_, std::back_inserter(findings), &Found::finding);
        return findings;
    }

    void keepOnly(std::span<const FindingId> chosen) override {
        keepChosen(found_, findings(), chosen);
    }

    // A key whose names no backup can hold is left.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        std::vector<Finding> unsaved;
        for (const auto& found : found_) {
            if (!found.finding.repairable) {
                continue;
            }
            std::vector<RegistryFileSection> added;
            if constexpr (requires { found.addBackup(added); }) {
                found.addBackup(added);
            } else {
                addKeyTree(added, found.finding.place, found.content);
            }
            if (const auto name = firstUnwritableName(added)) {
                failures.add(*name, std::make_error_code(std::errc::invalid_argument));
                unsaved.push_back(found.finding);
                continue;
            }
            std::ranges::move(added, std::back_inserter(sections));
            backedUp_.push_back(&found);
        }
        return unsaved;
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto* found : backedUp_) {
            bool removed = false;
            if constexpr (requires { found->applyRepair(platform, failures); }) {
                removed = found->applyRepair(platform, failures);
            } else {
                removed = removeRegistryKey(platform, found->place, failures);
            }
            removed_ = removed_ || removed;
            report(std::span(&found->finding, 1), removed);
        }
    }

    void announce(PlatformOps&, ProgressView& view, FailureLog&) override {
        if (removed_ && !removedNotice_.empty()) {
            view.appendLine(removedNotice_);
        }
    }

  private:
    std::vector<Found> found_;
    std::wstring_view removedNotice_;
    std::vector<const Found*> backedUp_;
    bool removed_ = false;
};

}  // namespace tovask
