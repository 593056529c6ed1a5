#include "repair/run/UndoListing.h"

#include <algorithm>
#include <array>
#include <set>
#include <span>

#include "repair/backup/BackupScope.h"
#include "repair/findings/FindingKinds.h"
#include "repair/texts/ProgramTexts.h"
#include "text/DecimalText.h"
#include "text/SpanishDate.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

bool outsideEveryKind(const RegistryFileSection& /*section*/, bool /*hasTwoViews*/) {
    return false;
}

struct HeadingCount {
    std::wstring_view heading;
    std::size_t keys = 0;
    std::size_t values = 0;
    std::size_t files = 0;
};

// Internet Explorer's first, then each kind's in the order the report lists
// them; a heading two kinds share is counted once.
std::vector<HeadingCount> headingsInOrder() {
    std::vector<HeadingCount> counts{{texts::kUndoIeHeading}};
    for (const auto* kind : findingKinds()) {
        if (std::ranges::find(counts, kind->texts.heading, &HeadingCount::heading) ==
            counts.end()) {
            counts.push_back({kind->texts.heading});
        }
    }
    return counts;
}

HeadingCount& countOf(std::vector<HeadingCount>& counts, std::wstring_view heading) {
    auto found = std::ranges::find(counts, heading, &HeadingCount::heading);
    return found != counts.end() ? *found : counts.emplace_back(HeadingCount{heading});
}

std::wstring amount(std::size_t number, std::wstring_view one, std::wstring_view many) {
    return decimalText(number) + std::wstring(number == 1 ? one : many);
}

std::wstring countLine(const HeadingCount& count) {
    const std::array<std::wstring, 3> parts = {
        count.keys ? amount(count.keys, texts::kUndoOneKey, texts::kUndoKeys) : L"",
        count.values ? amount(count.values, texts::kUndoOneValue, texts::kUndoValues) : L"",
        count.files ? amount(count.files, texts::kUndoOneFile, texts::kUndoFiles) : L""};
    std::wstring line(count.heading);
    bool first = true;
    for (const auto& part : parts) {
        if (!part.empty()) {
            line += (first ? L" " : L", ") + part;
            first = false;
        }
    }
    return line;
}

}  // namespace

ListedSection listedSection(const RegistryFileSection& section, bool hasTwoViews) {
    const std::size_t values = section.removesKey ? 0 : section.entries.size();
    if (!keyOutsidePlan(std::span(&section, 1), hasTwoViews, outsideEveryKind)) {
        return {texts::kUndoIeHeading, section.key, values};
    }
    // A loaded backup holds no other section: it was refused otherwise.
    const auto* claiming = kindReaching(section, hasTwoViews);
    return {claiming != nullptr ? claiming->texts.heading : texts::kUndoIeHeading, section.key,
            values};
}

std::wstring_view headingOfFile(std::wstring_view path) {
    const auto* owning = kindOwningFile(path);
    return owning != nullptr ? owning->texts.heading : texts::kUndoIeHeading;
}

std::vector<std::wstring> undoListing(const UndoContents& contents) {
    std::vector<std::wstring> lines{std::wstring(texts::kUndoWillPutBack)};
    if (contents.registryBackupMadeAt) {
        lines.push_back(std::wstring(texts::kUndoBackupMadePrefix) +
                        spanishDate(*contents.registryBackupMadeAt));
    }
    auto counts = headingsInOrder();
    // A subtree comes back as its removal and then its keys: a key is one.
    std::set<std::wstring> keysCounted;
    for (const auto& section : contents.sections) {
        auto& count = countOf(counts, section.heading);
        if (section.values == 0) {
            count.keys += keysCounted.insert(foldedCase(section.key)).second ? 1 : 0;
        } else {
            count.values += section.values;
        }
    }
    for (const auto& file : contents.files) {
        ++countOf(counts, headingOfFile(file)).files;
    }
    for (const auto& count : counts) {
        if (count.keys + count.values + count.files > 0) {
            lines.push_back(countLine(count));
        }
    }
    for (const auto& hosts : contents.hosts) {
        auto line = std::wstring(texts::kUndoHostsHeading) + L" " + hosts.hosts;
        if (hosts.copiedAt) {
            line += std::wstring(texts::kUndoCopyOfPrefix) + spanishDate(*hosts.copiedAt) + L")";
        }
        lines.push_back(std::move(line));
    }
    if (!contents.runs.empty()) {
        std::wstring line(texts::kUndoRunsPrefix);
        for (const auto& run : contents.runs) {
            line += (&run == &contents.runs.front() ? L"" : L", ") + decimalText(run.id) + L" (" +
                    spanishDate(run.madeAt) + L")";
        }
        lines.push_back(std::move(line));
    }
    if (!contents.runsLeft.empty()) {
        std::wstring line(texts::kUndoRunsLeftPrefix);
        for (const auto id : contents.runsLeft) {
            line += (id == contents.runsLeft.front() ? L"" : L", ") +
                    std::wstring(texts::kUndoRunSwitch) + decimalText(id);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::wstring cameBackLine(std::wstring_view heading, std::wstring_view name) {
    return std::wstring(texts::kUndoPutBackPrefix) + std::wstring(heading) + L" " +
           std::wstring(name);
}

std::wstring registryEntryName(std::wstring_view key, const std::optional<std::wstring>& value) {
    if (!value) {
        return std::wstring(key);
    }
    return std::wstring(key) + L"\\" +
           (value->empty() ? std::wstring(texts::kUndoDefaultValue) : *value);
}

}  // namespace tovask
