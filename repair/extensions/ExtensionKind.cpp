#include "repair/extensions/ExtensionKind.h"

#include <algorithm>
#include <iterator>

#include "repair/extensions/ExtensionTexts.h"
#include "repair/extensions/RegistryExtensions.h"
#include "repair/report/FindingTexts.h"
#include "repair/report/ProgressView.h"

namespace tovask {
namespace {

class ExtensionFindings : public KindFindings {
  public:
    ExtensionFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : found_(
              findRegistryExtensions(platform, scope.userHives, scope.managedMachine, failures)) {}

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        std::ranges::transform(found_, std::back_inserter(findings), &RegistryExtension::finding);
        return findings;
    }

    void keepOnly(std::span<const Finding> chosen) override {
        keepChosen(found_, findings(), chosen);
    }

    // A key whose names no backup can hold is left.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        std::vector<Finding> unsaved;
        for (const auto& extension : found_) {
            if (!extension.finding.repairable) {
                continue;
            }
            auto added = backupSectionsFor(extension);
            if (const auto name = firstUnwritableName(added)) {
                failures.add(*name, std::make_error_code(std::errc::invalid_argument));
                unsaved.push_back(extension.finding);
                continue;
            }
            std::ranges::move(added, std::back_inserter(sections));
            backedUp_.push_back(&extension);
        }
        return unsaved;
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto* extension : backedUp_) {
            const bool removed = removeExtensionKey(platform, *extension, failures);
            removed_ = removed_ || removed;
            report(std::span(&extension->finding, 1), removed);
        }
    }

    // The browsers uninstall an extension whose key is gone as they start.
    void announce(PlatformOps&, ProgressView& view, FailureLog&) override {
        if (removed_) {
            view.appendLine(texts::kRemovedExtensionsUninstalled);
        }
    }

  private:
    std::vector<RegistryExtension> found_;
    std::vector<const RegistryExtension*> backedUp_;
    bool removed_ = false;
};

constexpr FindingKindRow kExtensionKind{
    FindingKind::RegistryExtension,
    L"browsers",
    {texts::kExtensionsHeading,
     texts::kExtensionsNotCounted,
     {},
     texts::kExtensionRemovedPrefix,
     texts::kExtensionNotRemovedPrefix,
     texts::kExtensionLeftPrefix,
     texts::kExtensionWhatIsWrong,
     texts::kExtensionWhyLeft,
     texts::kLocksRemovedCount},
    lookFor<ExtensionFindings>,
    withinExtensionReach,
    nullptr,
};

}  // namespace

const FindingKindRow& extensionKind() {
    return kExtensionKind;
}

}  // namespace tovask
