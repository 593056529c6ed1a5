#include "repair/policies/DistributionIni.h"

#include <algorithm>
#include <optional>

#include "text/Blanks.h"
#include "text/Utf16.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::wstring_view kLineEnds = L"\r\n";
constexpr std::wstring_view kAppliedSections[] = {L"Preferences", L"LocalizablePreferences"};

std::wstring iniText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16Mark)) {
        // A last odd byte is no character, and Firefox drops it too.
        bytes.remove_prefix(kUtf16Mark.size());
        const auto text = fromUtf16LeBytes(bytes.substr(0, bytes.size() - bytes.size() % 2));
        return text.ok() ? text.value() : std::wstring();
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    return wideFromUtf8(bytes);
}

bool isAppliedSection(std::wstring_view section) {
    for (const auto name : kAppliedSections) {
        if (section == name || (section.starts_with(name) && section.size() > name.size() &&
                                section[name.size()] == L'-')) {
            return true;
        }
    }
    return false;
}

// The name of a "[name]" heading; none for a heading Firefox refuses, which
// ends the section before it all the same. Leading ']' are skipped and an
// unclosed heading is taken whole, as Firefox's reader does.
std::optional<std::wstring> sectionOf(std::wstring_view heading) {
    heading.remove_prefix(1);
    const auto start = heading.find_first_not_of(L']');
    if (start == std::wstring_view::npos) {
        return std::nullopt;
    }
    heading.remove_prefix(start);
    const auto close = heading.find(L']');
    if (close != std::wstring_view::npos && !trimmed(heading.substr(close + 1)).empty()) {
        return std::nullopt;
    }
    return std::wstring(heading.substr(0, close));
}

}  // namespace

DistributionIni readDistributionIni(std::string_view bytes) {
    const auto text = iniText(bytes);
    const std::wstring_view view(text);
    DistributionIni ini;
    std::optional<std::wstring> section;
    for (std::size_t start = 0; start < view.size();) {
        const auto end = std::min(view.find_first_of(kLineEnds, start), view.size());
        const auto raw = view.substr(start, end - start);
        start = end + 1;
        // A comment mark counts only as the line's very first character.
        if (raw.empty() || raw.front() == L'#' || raw.front() == L';') {
            continue;
        }
        auto line = raw.substr(std::min(raw.find_first_not_of(kBlanks), raw.size()));
        if (line.starts_with(L'[')) {
            section = sectionOf(line);
            continue;
        }
        line.remove_prefix(std::min(line.find_first_not_of(L'='), line.size()));
        const auto equals = line.find(L'=');
        if (!section || line.empty() || equals == std::wstring_view::npos) {
            continue;
        }
        const auto name = line.substr(0, equals);
        const auto value = line.substr(equals + 1);
        if (*section == L"Global" && name == L"id") {
            ini.id = value;
        } else if (isAppliedSection(*section) && !value.empty()) {
            ini.preferences.push_back(std::wstring(line));
        }
    }
    return ini;
}

}  // namespace tovask
