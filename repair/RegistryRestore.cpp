#include "repair/RegistryRestore.h"

#include "repair/RegistryKeyNames.h"

namespace tovask {
namespace {

std::error_code ignoringNotFound(std::error_code error) {
    return isNotFound(error) ? std::error_code{} : error;
}

void restoreSection(PlatformOps& platform, const RegistryFileSection& section, const ViewedKey& key,
                    FailureLog& failures) {
    if (section.removesKey) {
        if (const auto error = ignoringNotFound(platform.RegDeleteIn(key.keyPath, key.view))) {
            failures.add(section.key, error);
        }
        return;
    }
    if (const auto error = platform.RegCreateKeyIn(key.keyPath, key.view)) {
        failures.add(section.key, error);
        return;
    }
    for (const auto& entry : section.entries) {
        const auto error =
            entry.value
                ? platform.RegWriteRaw(key.keyPath, entry.name, *entry.value, key.view)
                : ignoringNotFound(platform.RegDeleteValueIn(key.keyPath, entry.name, key.view));
        if (error) {
            failures.add(section.key + L"\\" + entry.name, error);
        }
    }
}

}  // namespace

void restoreRegistry(PlatformOps& platform, std::span<const RegistryFileSection> sections,
                     bool hasTwoViews, FailureLog& failures) {
    for (const auto& section : sections) {
        // The backup was checked before the restore began, so every key maps.
        if (const auto key = viewedKeyOf(section.key, hasTwoViews)) {
            restoreSection(platform, section, *key, failures);
        }
    }
}

}  // namespace tovask
