#include "repair/PlannedChanges.h"

#include "platform/RegistryEncoding.h"
#include "platform/RegistryPath.h"

namespace tovask {
namespace {

constexpr std::wstring_view kCurrentUserRoot = L"HKCU\\";

std::optional<RegistryValue> wantedValue(const RegistryStep& step, std::wstring_view startPage) {
    switch (step.source) {
        case ValueSource::None:
            return std::nullopt;
        case ValueSource::Number:
            return encodeRegistryData(step.number, step.type).value();
        case ValueSource::StartPage:
            return encodeRegistryData(startPage, step.type).value();
        case ValueSource::Text:
            break;
    }
    const auto value = encodeRegistryData(step.text, step.type);
    return value.ok() ? std::optional(value.value()) : std::nullopt;
}

}  // namespace

std::wstring pathForUser(std::wstring_view planPath, std::wstring_view userHive) {
    if (!planPath.starts_with(kCurrentUserRoot)) {
        return std::wstring(planPath);
    }
    return std::wstring(userHive) + L"\\" + std::wstring(planPath.substr(kCurrentUserRoot.size()));
}

std::vector<PlannedChange> plannedChanges(std::wstring_view userHive, bool hasTwoViews,
                                          std::wstring_view startPage) {
    std::vector<PlannedChange> changes;
    for (const auto& step : kRegistryRepairPlan) {
        const auto path = pathForUser(step.path, userHive);
        const auto root = parseRegistryPath(path).value().root;
        for (const auto view : viewsFor(root, hasTwoViews)) {
            changes.push_back({&step, path, view, wantedValue(step, startPage)});
        }
    }
    return changes;
}

}  // namespace tovask
