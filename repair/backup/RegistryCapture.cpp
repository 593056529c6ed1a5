#include "repair/backup/RegistryCapture.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>
#include <variant>

#include "repair/backup/AlwaysPresentKeys.h"
#include "repair/backup/RegistryBackup.h"
#include "repair/backup/RegistryKeyNames.h"
#include "repair/texts/ProgramTexts.h"
#include "text/RegistryPath.h"
#include "text/TextCompare.h"

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

struct Unreadable {
    std::wstring entry;
    std::error_code error;
};

// One row for one hive, in every view.
struct RowCapture {
    const RegistryStep* step;
    std::wstring path;
    CapturedRegistry captured;
    std::optional<Unreadable> unreadable;
};

class Capture {
  public:
    explicit Capture(PlatformOps& platform) : platform_(platform) {}

    std::optional<Unreadable> deletedKey(const PlannedChange& change,
                                         std::span<const PlannedChange> laterChanges) {
        const auto target = keyOf(change);
        const auto fileKey = fileKeyName(target.root, target.key, change.view);
        const auto tree = platform_.RegReadTree(change.path, change.view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                return Unreadable{change.path, tree.error()};
            }
            result_.sections.push_back({fileKey, true, {}});
            return {};
        }
        result_.sections.push_back({fileKey, true, {}});
        appendTree(result_.sections, target.root, target.key, tree.value(), change.view);
        if (!treeIsAsThePlanLeavesIt(tree.value(), laterChanges, change)) {
            result_.differences.push_back({fileKey, change.step, true, std::nullopt, std::nullopt});
        }
        return {};
    }

    std::optional<Unreadable> value(const PlannedChange& change) {
        const auto target = keyOf(change);
        const auto fileKey = fileKeyName(target.root, target.key, change.view);
        const auto found = platform_.RegReadValue(change.path, change.view);
        if (found.ok()) {
            result_.sections.push_back({fileKey, false, {{target.valueName, found.value()}}});
            if (found.value() != change.wanted) {
                result_.differences.push_back({fileKey + L"\\" + target.valueName, change.step,
                                               true, found.value(), change.wanted});
            }
            return {};
        }
        if (!isNotFound(found.error())) {
            return Unreadable{change.path, found.error()};
        }
        if (!change.wanted) {
            return {};  // a deletion of what is missing changes nothing
        }
        result_.differences.push_back(
            {fileKey + L"\\" + target.valueName, change.step, false, std::nullopt, change.wanted});
        const auto created = topmostMissingKey(change);
        if (const auto* unreadable = std::get_if<Unreadable>(&created)) {
            return *unreadable;
        }
        const auto& createdKey = std::get<std::wstring>(created);
        if (createdKey.empty()) {
            result_.sections.push_back({fileKey, false, {{target.valueName, std::nullopt}}});
        } else {
            result_.sections.push_back(
                {fileKeyName(target.root, createdKey, change.view), true, {}});
        }
        return {};
    }

    CapturedRegistry take() { return std::exchange(result_, {}); }

  private:
    // The highest key on the way to the change's key that the write will
    // create; empty when the key exists. Keys that every Windows has are never
    // taken for created ones, so the undo never removes them.
    std::variant<std::wstring, Unreadable> topmostMissingKey(const PlannedChange& change) {
        const auto target = keyOf(change);
        const auto root = rootPrefix(change.path);
        std::wstring created;
        std::wstring key = target.key;
        for (;;) {
            const auto exists = platform_.RegKeyExists(root + key + L"\\", change.view);
            if (!exists.ok() && !isNotFound(exists.error())) {
                return Unreadable{root + key + L"\\", exists.error()};
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

// The changes of one row for one hive are next to each other in the plan's order.
std::vector<RowCapture> captureRows(PlatformOps& platform, std::span<const PlannedChange> changes) {
    std::vector<RowCapture> rows;
    Capture capture(platform);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const auto& change = changes[i];
        if (rows.empty() || rows.back().step != change.step || rows.back().path != change.path) {
            if (!rows.empty()) {
                rows.back().captured = capture.take();
            }
            rows.push_back({change.step, change.path, {}, std::nullopt});
        }
        if (rows.back().unreadable) {
            continue;
        }
        rows.back().unreadable = change.step->operation == RegistryOperation::DeleteKey
                                     ? capture.deletedKey(change, changes.subspan(i + 1))
                                     : capture.value(change);
    }
    if (!rows.empty()) {
        rows.back().captured = capture.take();
    }
    return rows;
}

std::wstring withLineBreaksShown(std::wstring name) {
    std::ranges::replace_if(
        name, [](wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\0'; }, L'?');
    return name;
}

}  // namespace

bool CapturedRegistry::skips(const RegistryStep& step, std::wstring_view path) const {
    return std::ranges::any_of(
        skipped, [&](const SkippedRow& row) { return row.step == &step && row.path == path; });
}

CapturedRegistry captureRegistry(PlatformOps& platform, std::span<const PlannedChange> changes) {
    auto rows = captureRows(platform, changes);
    CapturedRegistry result;
    std::vector<std::pair<std::size_t, RowCapture*>> sizedRows;
    for (auto& row : rows) {
        const auto skip = [&](std::wstring entry, std::wstring reason) {
            result.skipped.push_back({row.step, row.path, std::move(entry), std::move(reason)});
        };
        if (row.unreadable) {
            skip(row.unreadable->entry, platform.DescribeError(row.unreadable->error));
        } else if (const auto name = firstUnwritableName(row.captured.sections)) {
            skip(withLineBreaksShown(*name), std::wstring(texts::kNameBreaksLineReason));
        } else {
            sizedRows.emplace_back(writeRegistryFile(row.captured.sections).value().size(), &row);
        }
    }
    // Each row's file counts its own header, so the rows kept fit with room to spare.
    std::ranges::stable_sort(sizedRows, {}, &std::pair<std::size_t, RowCapture*>::first);
    std::size_t total = 0;
    for (const auto& [size, row] : sizedRows) {
        total += size;
        if (total > kMaxRegistryBackupBytes) {
            result.skipped.push_back(
                {row->step, row->path, row->path, std::wstring(texts::kBackupTooLargeReason)});
        }
    }
    for (auto& row : rows) {
        if (result.skips(*row.step, row.path)) {
            continue;
        }
        std::ranges::move(row.captured.sections, std::back_inserter(result.sections));
        std::ranges::move(row.captured.differences, std::back_inserter(result.differences));
    }
    result.sections = joinedSections(std::move(result.sections));
    return result;
}

}  // namespace tovask
