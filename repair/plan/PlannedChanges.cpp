#include "repair/plan/PlannedChanges.h"

#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"

namespace tovask {
namespace {

constexpr std::wstring_view kCurrentUserPrefix = L"HKCU\\";

std::optional<RegistryValue> wantedValue(const RegistryStep& step, const RunTargets& targets,
                                         RegistryView view) {
    switch (step.source) {
        case ValueSource::None:
            return std::nullopt;
        case ValueSource::Number:
            return encodeRegistryData(step.number, step.type).value();
        case ValueSource::StartPage:
            return encodeRegistryData(targets.startPage, step.type).value();
        case ValueSource::LocalPage:
            return stringValue(localPageFor(targets.windowsFolder, view));
        case ValueSource::Text:
            break;
    }
    const auto value = encodeRegistryData(step.text, step.type);
    return value.ok() ? std::optional(value.value()) : std::nullopt;
}

}  // namespace

std::wstring pathForUser(std::wstring_view planPath, std::wstring_view userHive) {
    if (!planPath.starts_with(kCurrentUserPrefix)) {
        return std::wstring(planPath);
    }
    return std::wstring(userHive) + L"\\" +
           std::wstring(planPath.substr(kCurrentUserPrefix.size()));
}

std::vector<std::wstring> pathsForUsers(std::wstring_view planPath,
                                        std::span<const std::wstring> userHives) {
    if (!planPath.starts_with(kCurrentUserPrefix)) {
        return {std::wstring(planPath)};
    }
    std::vector<std::wstring> paths;
    for (const auto& hive : userHives) {
        paths.push_back(pathForUser(planPath, hive));
    }
    return paths;
}

std::wstring localPageFor(std::wstring_view windowsFolder, RegistryView view) {
    const std::wstring_view systemFolder = view == RegistryView::Bits32 ? L"SysWOW64" : L"System32";
    return std::wstring(windowsFolder) + L"\\" + std::wstring(systemFolder) + L"\\blank.htm";
}

std::vector<PlannedChange> plannedChanges(const RunTargets& targets) {
    std::vector<PlannedChange> changes;
    for (const auto& step : kRegistryRepairPlan) {
        for (const auto& path : pathsForUsers(step.path, targets.userHives)) {
            const auto parsed = parseRegistryPath(path).value();
            for (const auto view : viewsFor(parsed.root, parsed.key, targets.hasTwoViews)) {
                changes.push_back({&step, path, view, wantedValue(step, targets, view)});
            }
        }
    }
    return changes;
}

}  // namespace tovask
