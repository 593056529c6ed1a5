#include "repair/allow/AllowListSources.h"

#include <algorithm>

#include "repair/allow/AllowTexts.h"
#include "repair/paths/WritableFolders.h"
#include "repair/users/UserPaths.h"
#include "text/RegistryEncoding.h"
#include "text/Utf16.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// Thousands of entries fit in far less; the list is read before any check.
constexpr std::size_t kLargestAllowFile = 1024 * 1024;

// A REG_MULTI_SZ's strings, or a REG_SZ's text, as lines of a list; none
// for a value of another type or that is not UTF-16.
std::optional<std::wstring> linesOfPolicyValue(const RegistryValue& value) {
    if (value.type != regtype::kMultiString) {
        return textOf(value);
    }
    const auto text = fromUtf16LeBytes(
        std::string_view(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size()));
    if (!text.ok()) {
        return std::nullopt;
    }
    auto lines = text.value();
    std::ranges::replace(lines, L'\0', L'\n');
    return lines;
}

void addPolicyEntries(PlatformOps& platform, AllowList& list, FailureLog& failures) {
    const auto key = platform.RegReadTree(kAllowPolicyKey, RegistryView::Default);
    if (!key.ok()) {
        if (!isNotFound(key.error())) {
            failures.add(kAllowPolicyKey, key.error());
        }
        return;
    }
    for (const auto& value : key.value().values) {
        const auto place = std::wstring(kAllowPolicyKey) + value.name;
        if (const auto lines = linesOfPolicyValue(value.value)) {
            addAllowLines(list, place, *lines, failures);
        } else {
            failures.add(place, texts::kAllowPolicyValueUnreadable);
        }
    }
}

void addFileEntries(PlatformOps& platform, AllowList& list, std::wstring_view file, bool everyUser,
                    FailureLog& failures) {
    if (!mayOpenUserPath(platform, file)) {
        failures.add(file, texts::kAllowFileOnNetwork);
        return;
    }
    if (everyUser && WritableFolders(platform, failures).holds(file)) {
        failures.add(file, texts::kAllowFileUserWritable);
        return;
    }
    const auto bytes = platform.ReadFileContent(file, kLargestAllowFile);
    if (!bytes.ok()) {
        if (bytes.error() == std::errc::file_too_large) {
            failures.add(file, texts::kAllowFileTooLarge);
        } else {
            failures.add(file, bytes.error());
        }
        return;
    }
    auto content = std::string_view(bytes.value());
    if (content.starts_with("\xEF\xBB\xBF")) {
        content.remove_prefix(3);
    }
    const auto text = wideFromValidUtf8(content);
    if (!text) {
        failures.add(file, texts::kAllowFileNotUtf8);
        return;
    }
    addAllowLines(list, file, *text, failures);
}

}  // namespace

AllowList loadAllowList(PlatformOps& platform, std::wstring_view file, bool everyUser,
                        FailureLog& failures) {
    AllowList list;
    addPolicyEntries(platform, list, failures);
    if (!file.empty()) {
        addFileEntries(platform, list, file, everyUser, failures);
    }
    return list;
}

}  // namespace tovask
