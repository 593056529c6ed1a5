#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// An extension a profile's preferences list, as `extensions.settings` holds it.
struct ExtensionSetting {
    std::string id;
    // The number that says where the extension was installed from, as written.
    std::string location;
    std::string path;
};

// What a Chromium profile's preferences set at the names a hijacker sets,
// each text in UTF-8 and empty when the file sets none: `homepage`,
// `homepage_is_newtabpage`, `session.restore_on_startup` (the number as
// written) and `session.startup_urls`, the default search provider's address
// (`default_search_provider_data.template_url_data.url`, and the older
// `default_search_provider.search_url`) and `extensions.settings`.
struct ChromiumPreferences {
    std::string homepage;
    bool homepageIsNewTabPage = false;
    std::string restoreOnStartup;
    std::vector<std::string> startupUrls;
    std::string searchUrl;
    std::string olderSearchUrl;
    std::vector<ExtensionSetting> extensions;
};

// Read in one pass, without building the document: the file runs to
// megabytes and only these names matter. As the browser reads it, a name an
// object repeats takes its last value, in the place of its first. None when
// the text is not a JSON object, is nested deeper than the browser reads or
// holds a lone surrogate. The text is read in place, and changed.
std::optional<ChromiumPreferences> readChromiumPreferenceValues(std::string json);

// A preference's place: the member names from the top object down, e.g.
// {"session", "startup_urls"} or {"protection", "macs", "extensions", "settings", "<id>"}.
using PreferencePath = std::vector<std::string>;

// The text without the member at each path, every one of them where an
// object repeats a name, and every other byte as it was. The comma that
// separated a removed member goes with it; an object left without members
// stays, empty. A path that is not there changes nothing. None when the text
// is not read as readChromiumPreferenceValues reads it.
std::optional<std::string> withoutPreferences(std::string_view json,
                                              std::span<const PreferencePath> paths);

// The profile folders `Local State` lists, the names of
// `profile.info_cache`, in the file's order and each once. A name that is
// not one plain folder name ("", ".", "..", holding any of \ / : * ? " < > |
// or a control character, longer than 255 characters) is left out. None
// when the text is not read as readChromiumPreferenceValues reads it.
std::optional<std::vector<std::string>> readProfileFolders(std::string_view localState);

}  // namespace tovask
