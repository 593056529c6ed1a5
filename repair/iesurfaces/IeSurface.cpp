#include "repair/iesurfaces/IeSurface.h"

#include "repair/backup/RegistryKeyNames.h"
#include "repair/iesurfaces/IeSurfaceTexts.h"

namespace tovask {

std::vector<HivePlace> placesOf(PlatformOps& platform, std::span<const std::wstring> userHives,
                                std::wstring_view key) {
    std::vector<HivePlace> places;
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, key, platform.HasTwoRegistryViews())) {
        places.push_back({L"HKLM", {RegistryRoot::LocalMachine, std::wstring(key), view}});
    }
    for (const auto& hive : userHives) {
        places.push_back({hive, hivePlace(hive, key)});
    }
    return places;
}

std::optional<RegistryKeyContent> readKey(PlatformOps& platform, const KeyPlace& place,
                                          FailureLog& failures) {
    const auto keyPath = platformKeyPath(place);
    auto tree = platform.RegReadTree(keyPath, place.view);
    if (!tree.ok()) {
        if (!isNotFound(tree.error())) {
            failures.add(keyPath, tree.error());
        }
        return std::nullopt;
    }
    return std::move(tree).value();
}

Finding surfaceFinding(FindingSubject subject, const KeyPlace& place, std::wstring_view valueName,
                       std::wstring holds, bool repairable) {
    auto fileKey = fileKeyName(place.root, place.key, place.view);
    if (!valueName.empty()) {
        fileKey += L"\\" + std::wstring(valueName);
    }
    return withSubject(subject, {FindingKind::IeSurface, std::wstring(texts::kIeSurfacesGroup),
                                 std::move(fileKey), std::move(holds), repairable});
}

}  // namespace tovask
