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

// Removing a key goes through the shared removal; other changes are one value's.
class IeSurfaceFindings : public RemovedKeyFindings<IeSurface> {
  public:
    IeSurfaceFindings(PlatformOps& platform, const FindingScope& scope, FailureLog& failures)
        : RemovedKeyFindings(surfacesOf(platform, scope, failures), {}) {}

  private:
    static std::vector<IeSurface> surfacesOf(PlatformOps& platform, const FindingScope& scope,
                                             FailureLog& failures) {
        auto found = findSearchScopes(platform, scope.userHives, scope.managedMachine, failures);
        std::ranges::move(
            findHelperObjects(platform, scope.userHives, scope.managedMachine, failures),
            std::back_inserter(found));
        std::ranges::move(
            findSecurityZones(platform, scope.userHives, scope.managedMachine, failures),
            std::back_inserter(found));
        return found;
    }
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

void IeSurface::addBackup(std::vector<RegistryFileSection>& sections) const {
    const auto fileKey = fileKeyName(place.root, place.key, place.view);
    if (change == SurfaceChange::RemoveKey) {
        addKeyTree(sections, fileKey, key);
    } else {
        addToSection(sections, fileKey, {valueName, value});
    }
}

bool IeSurface::applyRepair(PlatformOps& platform, FailureLog& failures) const {
    if (change == SurfaceChange::RemoveKey) {
        return removeRegistryKey(platform, place, failures);
    }
    const auto keyPath = platformKeyPath(place);
    auto error = change == SurfaceChange::WriteValue
                     ? platform.RegWriteRaw(keyPath, valueName, repairedTo, place.view)
                     : platform.RegDeleteValueIn(keyPath, valueName, place.view);
    if (error && !(change == SurfaceChange::RemoveValue && isNotFound(error))) {
        failures.add(keyPath + valueName, error);
        return false;
    }
    return true;
}

const FindingKindRow& ieSurfaceKind() {
    return kIeSurfaceKind;
}

}  // namespace tovask
