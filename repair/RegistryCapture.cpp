#include "repair/RegistryCapture.h"

#include <array>
#include <map>

#include "platform/RegistryPath.h"
#include "platform/TextCompare.h"
#include "repair/AlwaysPresentKeys.h"
#include "repair/RegistryKeyNames.h"

namespace tovask {
namespace {

struct KeyOfChange {
    RegistryRoot root;
    std::wstring key;
    std::wstring valueName;
};

KeyOfChange keyOf(const PlannedChange& change) {
    const auto parsed = parseRegistryPath(change.path).value();
    return {parsed.root, std::wstring(parsed.key), std::wstring(parsed.valueName)};
}

std::wstring rootPrefix(std::wstring_view path) {
    return std::wstring(path.substr(0, path.find(L'\\') + 1));
}

void appendTree(std::vector<RegistryFileSection>& sections, RegistryRoot root,
                const std::wstring& key, const RegistryKeyContent& tree, RegistryView view) {
    RegistryFileSection section{fileKeyName(root, key, view), false, {}};
    for (const auto& value : tree.values) {
        section.entries.push_back({value.name, value.value});
    }
    sections.push_back(std::move(section));
    for (const auto& subkey : tree.subkeys) {
        appendTree(sections, root, key + L"\\" + subkey.name, subkey, view);
    }
}

// What a deleted key holds after the run: only the values that later rows
// write straight into it.
bool treeIsAsThePlanLeavesIt(const RegistryKeyContent& tree,
                             std::span<const PlannedChange> laterChanges,
                             const PlannedChange& deletion) {
    const auto deleted = keyOf(deletion);
    std::map<std::wstring, const RegistryValue*> written;
    for (const auto& later : laterChanges) {
        const auto target = keyOf(later);
        if (later.view == deletion.view && later.wanted && target.root == deleted.root &&
            equalsIgnoringCase(target.key, deleted.key)) {
            written[foldedCase(target.valueName)] = &*later.wanted;
        }
    }
    if (!tree.subkeys.empty() || tree.values.size() != written.size()) {
        return false;
    }
    for (const auto& value : tree.values) {
        const auto found = written.find(foldedCase(value.name));
        if (found == written.end() || *found->second != value.value) {
            return false;
        }
    }
    return true;
}

class Capture {
  public:
    explicit Capture(PlatformOps& platform) : platform_(platform) {}

    std::error_code deletedKey(const PlannedChange& change,
                               std::span<const PlannedChange> laterChanges) {
        const auto target = keyOf(change);
        const auto fileKey = fileKeyName(target.root, target.key, change.view);
        const auto tree = platform_.RegReadTree(change.path, change.view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                return tree.error();
            }
            result_.sections.push_back({fileKey, true, {}});
            return {};
        }
        result_.sections.push_back({fileKey, true, {}});
        appendTree(result_.sections, target.root, target.key, tree.value(), change.view);
        if (!treeIsAsThePlanLeavesIt(tree.value(), laterChanges, change)) {
            result_.differences.push_back(fileKey);
        }
        return {};
    }

    std::error_code value(const PlannedChange& change) {
        const auto target = keyOf(change);
        const auto fileKey = fileKeyName(target.root, target.key, change.view);
        const auto found = platform_.RegReadValue(change.path, change.view);
        if (found.ok()) {
            result_.sections.push_back({fileKey, false, {{target.valueName, found.value()}}});
            if (found.value() != change.wanted) {
                result_.differences.push_back(fileKey + L"\\" + target.valueName);
            }
            return {};
        }
        if (!isNotFound(found.error())) {
            return found.error();
        }
        if (!change.wanted) {
            return {};  // a deletion of what is missing changes nothing
        }
        result_.differences.push_back(fileKey + L"\\" + target.valueName);
        const auto created = topmostMissingKey(change);
        if (!created.ok()) {
            return created.error();
        }
        if (created.value().empty()) {
            result_.sections.push_back({fileKey, false, {{target.valueName, std::nullopt}}});
        } else {
            result_.sections.push_back(
                {fileKeyName(target.root, created.value(), change.view), true, {}});
        }
        return {};
    }

    CapturedRegistry take() { return std::move(result_); }

  private:
    // The highest key on the way to the change's key that the write will
    // create; empty when the key exists. Keys that every Windows has are never
    // taken for created ones, so the undo never removes them.
    Result<std::wstring> topmostMissingKey(const PlannedChange& change) {
        const auto target = keyOf(change);
        const auto root = rootPrefix(change.path);
        std::wstring created;
        std::wstring key = target.key;
        for (;;) {
            const auto exists = platform_.RegKeyExists(root + key + L"\\", change.view);
            if (!exists.ok() && !isNotFound(exists.error())) {
                return exists.error();
            }
            if ((exists.ok() && exists.value()) || isAlwaysPresentKey(target.root, key)) {
                return created;
            }
            created = key;
            const auto parentEnd = key.rfind(L'\\');
            if (parentEnd == std::wstring::npos) {
                return created;
            }
            key.resize(parentEnd);
        }
    }

    PlatformOps& platform_;
    CapturedRegistry result_;
};

// Entries for the same key in a row share one section, as the registry
// editor writes them, and a key removed twice in a row is removed once.
std::vector<RegistryFileSection> joinedSections(std::vector<RegistryFileSection> sections) {
    std::vector<RegistryFileSection> joined;
    for (auto& section : sections) {
        const bool sameKey = !joined.empty() && equalsIgnoringCase(joined.back().key, section.key);
        if (sameKey && section.removesKey && joined.back().removesKey) {
            continue;
        }
        if (sameKey && !section.removesKey && !joined.back().removesKey) {
            for (auto& entry : section.entries) {
                joined.back().entries.push_back(std::move(entry));
            }
            continue;
        }
        joined.push_back(std::move(section));
    }
    return joined;
}

}  // namespace

Result<CapturedRegistry> captureRegistry(PlatformOps& platform,
                                         std::span<const PlannedChange> changes) {
    Capture capture(platform);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const auto& change = changes[i];
        const auto error = change.step->operation == RegistryOperation::DeleteKey
                               ? capture.deletedKey(change, changes.subspan(i + 1))
                               : capture.value(change);
        if (error) {
            return error;
        }
    }
    auto captured = capture.take();
    captured.sections = joinedSections(std::move(captured.sections));
    return captured;
}

}  // namespace tovask
