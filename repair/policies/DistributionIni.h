#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// What a Firefox distribution\distribution.ini has Firefox write into its
// default preferences at every start: each entry with a value in a
// [Preferences] or [LocalizablePreferences] section, or in one of their
// "-<language>" variants, as "name=value" in the file's order. The [Global]
// section only names the distribution. Read as Firefox's own INI reader reads
// the file: UTF-8, or UTF-16LE after its byte-order mark; what that reader
// skips (a line outside a section, a malformed section heading, a line with
// no '=') is skipped here too.
struct DistributionIni {
    std::wstring id;  // [Global] id
    std::vector<std::wstring> preferences;
};

DistributionIni readDistributionIni(std::string_view bytes);

}  // namespace tovask
