#include "repair/iesurfaces/IeSurfaceKind.h"

#include <algorithm>
#include <iterator>

#include "repair/backup/RegistryFile.h"
#include "repair/backup/RegistryKeyNames.h"
#include "repair/backup/RemovedKeyFindings.h"
#include "repair/iesurfaces/HelperObjects.h"
#include "repair/iesurfaces/IeSurfaceTexts.h"
#include "repair/iesurfaces/SearchScopes.h"
#include "repair/iesurfaces/SecurityZones.h"
#include "repair/report/FindingTexts.h"

namespace tovask {
namespace {

// The sections that put the surface back as it was read.
std::vector<RegistryFileSection> backupOf(const IeSurface& surface) {
    std::vector<RegistryFileSection> sections;
    const auto fileKey = fileKeyName(surface.place.root, surface.place.key, surface.place.view);
    if (surface.change == SurfaceChange::RemoveKey) {
        addKeyTree(sections, fileKey, surface.key);
    } else {
        addToSection(sections, fileKey, {surface.valueName, surface.value});
    }
    return sections;
}

bool changeSurface(PlatformOps& platform, const IeSurface& surface, FailureLog& failures) {
    if (surface.change == SurfaceChange::RemoveKey) {
        return removeRegistryKey(platform, surface.place, failures);
    }
    const auto keyPath = platformKeyPath(surface.place);
    auto error = surface.change == SurfaceChange::WriteValue
                     ? platform.RegWriteRaw(keyPath, surface.valueName, surface.repairedTo,
                                            surface.place.view)
                     : platform.RegDeleteValueIn(keyPath, surface.valueName, surface.place.view);
    if (error && !(surface.change == SurfaceChange::RemoveValue && isNotFound(error))) {
        failures.add(keyPath + surface.valueName, error);
        return false;
    }
    return true;
}

class IeSurfaceFindings : public KindFindings {
  public:
    IeSurfaceFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : found_(findSearchScopes(platform, scope.userHives, scope.managedMachine, failures)) {
        std::ranges::move(
            findHelperObjects(platform, scope.userHives, scope.managedMachine, failures),
            std::back_inserter(found_));
        std::ranges::move(
            findSecurityZones(platform, scope.userHives, scope.managedMachine, failures),
            std::back_inserter(found_));
    }

    std::vector<Finding> findings() const override {
        std::vector<Finding> findings;
        std::ranges::transform(found_, std::back_inserter(findings), &IeSurface::finding);
        return findings;
    }

    void keepOnly(std::span<const FindingId> chosen) override {
        keepChosen(found_, findings(), chosen);
    }

    // A key or value whose names no backup can hold is left.
    std::vector<Finding> addRegistryBackup(std::vector<RegistryFileSection>& sections,
                                           FailureLog& failures) override {
        std::vector<Finding> unsaved;
        for (const auto& surface : found_) {
            if (!surface.finding.repairable) {
                continue;
            }
            auto added = backupOf(surface);
            if (const auto name = firstUnwritableName(added)) {
                failures.add(*name, std::make_error_code(std::errc::invalid_argument));
                unsaved.push_back(surface.finding);
                continue;
            }
            std::ranges::move(added, std::back_inserter(sections));
            backedUp_.push_back(&surface);
        }
        return unsaved;
    }

    void repair(PlatformOps& platform, FileBackup&, const OutcomeReport& report,
                FailureLog& failures) override {
        for (const auto* surface : backedUp_) {
            const bool changed = changeSurface(platform, *surface, failures);
            report(std::span(&surface->finding, 1), changed);
        }
    }

    // The browser reads them as it starts, and it is closed.
    void announce(PlatformOps&, ProgressView&, FailureLog&) override {}

  private:
    std::vector<IeSurface> found_;
    std::vector<const IeSurface*> backedUp_;
};

bool withinIeSurfaceReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto key = accountSectionKey(section, hasTwoViews);
    return key && (withinSearchScopeReach(*key, section) ||
                   withinHelperObjectReach(*key, section) || withinZoneSettingReach(*key, section));
}

constexpr FindingKindRow kIeSurfaceKind{
    .kind = FindingKind::IeSurface,
    .name = L"ieSurface",
    .commandSwitch = L"browsers",
    .texts = {.heading = texts::kIeSurfacesHeading,
              .notCounted = texts::kIeSurfacesNotCounted,
              .repairedPrefix = texts::kIeSurfaceRepairedPrefix,
              .notRepairedPrefix = texts::kIeSurfaceNotRepairedPrefix,
              .leftPrefix = texts::kIeSurfaceLeftPrefix,
              .whatIsWrong = texts::kIeSurfaceWhatIsWrong,
              .whyLeft = texts::kIeSurfaceWhyLeft,
              .repairedCount = texts::kIeSurfacesRepairedCount,
              .repairDoes = texts::kIeSurfaceRepairDoes,
              .whatYouCanDo = texts::kIeSurfaceWhatYouCanDo},
    .find = lookFor<IeSurfaceFindings>,
    .withinRegistryReach = withinIeSurfaceReach,
};

}  // namespace

const FindingKindRow& ieSurfaceKind() {
    return kIeSurfaceKind;
}

}  // namespace tovask
