#include "repair/hosts/HostsFolderCheck.h"

#include "text/RegistryEncoding.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

RegistryValue expandableText(std::wstring_view text) {
    auto value = stringValue(text);
    value.type = regtype::kExpandString;
    return value;
}

Result<std::wstring> comparableFolder(PlatformOps& platform, std::wstring_view folder) {
    auto expanded = platform.ExpandEnvironment(folder);
    if (!expanded.ok()) {
        return expanded;
    }
    auto text = expanded.value();
    while (text.ends_with(L'\\')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

Result<std::optional<PlannedChange>> hostsFolderChange(PlatformOps& platform) {
    const auto current = platform.RegReadValue(kHostsFolderStep.path, RegistryView::Default);
    if (!current.ok()) {
        if (isNotFound(current.error())) {
            return std::optional<PlannedChange>{};
        }
        return current.error();
    }
    const PlannedChange change{&kHostsFolderStep, std::wstring(kHostsFolderStep.path),
                               RegistryView::Default, expandableText(kDefaultHostsFolder)};
    const auto folder = textOf(current.value());
    if (!folder) {
        return std::optional(change);
    }
    const auto named = comparableFolder(platform, *folder);
    const auto wanted = comparableFolder(platform, kDefaultHostsFolder);
    if (!named.ok() || !wanted.ok()) {
        return named.ok() ? wanted.error() : named.error();
    }
    if (equalsIgnoringCase(named.value(), wanted.value())) {
        return std::optional<PlannedChange>{};
    }
    return std::optional(change);
}

}  // namespace tovask
