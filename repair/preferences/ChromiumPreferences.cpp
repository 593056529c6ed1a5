#include "repair/preferences/ChromiumPreferences.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "repair/preferences/ChromiumJson.h"
#include "repair/preferences/ChromiumSkim.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// An array element's place in a path.
constexpr std::string_view kElement = "[]";

// Where a value lies: the names of the containers below the document, the
// element marker for an array's, then the value's own name or marker.
struct Place {
    const std::vector<std::string>& containers;
    std::string_view last;

    std::size_t size() const { return containers.size() + 1; }
    std::string_view operator[](std::size_t at) const {
        return at < containers.size() ? std::string_view(containers[at]) : last;
    }
};

using Names = std::initializer_list<std::string_view>;

// Whether the place lies within `names`, or is it: its first names are these.
bool within(const Place& place, Names names) {
    if (place.size() < names.size()) {
        return false;
    }
    std::size_t at = 0;
    return std::ranges::all_of(names, [&](std::string_view name) { return place[at++] == name; });
}

bool isPlace(const Place& place, Names names) {
    return place.size() == names.size() && within(place, names);
}

// Whether the place is `names` or leads to it.
bool leadsTo(const Place& place, Names names) {
    if (place.size() > names.size()) {
        return false;
    }
    std::size_t at = 0;
    return std::all_of(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(place.size()),
                       [&](std::string_view name) { return place[at++] == name; });
}

class PreferencesHandler : public ChromiumJsonEvents {
  public:
    ChromiumPreferences read;

    void enter(bool array) override {
        const bool named = !containers_.empty() && tracked();
        if (named) {
            path_.push_back(containers_.back().array ? std::string(kElement) : key_);
        }
        containers_.push_back({array, named});
    }

    void leave(std::size_t) override {
        if (containers_.back().named) {
            path_.pop_back();
        }
        containers_.pop_back();
    }

    // A name given again replaces all that its earlier value set.
    void key(std::string_view name, std::size_t) override {
        if (!tracked()) {
            return;
        }
        key_ = name;
        const auto place = valuePlace();
        if (within(place, {"homepage"})) {
            read.homepage.clear();
        }
        if (within(place, {"homepage_is_newtabpage"})) {
            read.homepageIsNewTabPage = false;
        }
        if (leadsTo(place, {"session", "restore_on_startup"})) {
            read.restoreOnStartup.clear();
        }
        if (leadsTo(place, {"session", "startup_urls"})) {
            read.startupUrls.clear();
        }
        if (leadsTo(place, {"default_search_provider_data", "template_url_data", "url"})) {
            read.searchUrl.clear();
        }
        if (leadsTo(place, {"default_search_provider", "search_url"})) {
            read.olderSearchUrl.clear();
        }
        if (leadsTo(place, {"extensions", "settings"})) {
            read.extensions.clear();
        } else if (within(place, {"extensions", "settings"})) {
            forgetExtensionSetting(place);
        }
    }

    void string(std::string_view text) override {
        if (!tracked()) {
            return;
        }
        const auto place = valuePlace();
        if (isPlace(place, {"homepage"})) {
            read.homepage = text;
        } else if (isPlace(place, {"session", "startup_urls", kElement})) {
            read.startupUrls.emplace_back(text);
        } else if (isPlace(place, {"default_search_provider_data", "template_url_data", "url"})) {
            read.searchUrl = text;
        } else if (isPlace(place, {"default_search_provider", "search_url"})) {
            read.olderSearchUrl = text;
        } else if (auto* setting = extensionSettingAt(place, "path")) {
            setting->path = text;
        } else {
            // The browser writes these numbers; their text in quotes is read alike.
            setNumber(place, text);
        }
    }

    void number(std::string_view text) override {
        if (tracked()) {
            setNumber(valuePlace(), text);
        }
    }

    void boolean(bool value) override {
        if (tracked() && isPlace(valuePlace(), {"homepage_is_newtabpage"})) {
            read.homepageIsNewTabPage = value;
        }
    }

    // The names at the document's top level that hold what is read; anything
    // below the others, most of a large file, is passed over unlooked-at.
    static constexpr std::array<std::string_view, 6> kTrackedNames = {
        "homepage",
        "homepage_is_newtabpage",
        "session",
        "default_search_provider_data",
        "default_search_provider",
        "extensions"};

  private:
    struct Container {
        bool array = false;
        // Whether entering it added its name to the tracked path.
        bool named = false;
    };

    // Whether what the reader is at lies below a name that matters: at the
    // top level every name is looked at.
    bool tracked() const {
        if (path_.empty()) {
            return containers_.size() == 1;
        }
        return std::ranges::find(kTrackedNames, path_.front()) != kTrackedNames.end();
    }

    Place valuePlace() const {
        return {path_, containers_.back().array ? kElement : std::string_view(key_)};
    }

    void setNumber(const Place& place, std::string_view text) {
        if (isPlace(place, {"session", "restore_on_startup"})) {
            read.restoreOnStartup = text;
        } else if (auto* setting = extensionSettingAt(place, "location")) {
            setting->location = text;
        }
    }

    // The setting `extensions.settings.<id>` whose member the place names.
    ExtensionSetting* extensionSettingAt(const Place& place, std::string_view member) {
        if (place.size() != 4 || !within(place, {"extensions", "settings"}) || place[3] != member) {
            return nullptr;
        }
        const auto id = place[2];
        const auto known = std::ranges::find(read.extensions, id, &ExtensionSetting::id);
        if (known != read.extensions.end()) {
            return &*known;
        }
        return &read.extensions.emplace_back(ExtensionSetting{std::string(id), {}, {}});
    }

    // An id given again keeps its place; a member given again its value.
    void forgetExtensionSetting(const Place& place) {
        const auto known = std::ranges::find(read.extensions, place[2], &ExtensionSetting::id);
        if (known == read.extensions.end()) {
            return;
        }
        if (place.size() == 3 || place[3] == "location") {
            known->location.clear();
        }
        if (place.size() == 3 || place[3] == "path") {
            known->path.clear();
        }
    }

    std::vector<Container> containers_;
    // The names of the open containers below the document, while tracked.
    std::vector<std::string> path_;
    // The last name read in the innermost tracked object.
    std::string key_;
};

// Lists the names in `profile.info_cache`; as the browser reads a repeated
// name, `profile` or `info_cache` given again replaces the list.
class ProfileFolderList : public ChromiumJsonEvents {
  public:
    std::vector<std::string> folders;

    void enter(bool array) override {
        ++depth_;
        if (!array && nameLeads_ && depth_ == reached_ + 2) {
            ++reached_;
        }
        nameLeads_ = false;
    }

    void leave(std::size_t) override {
        if (reached_ > 0 && depth_ == reached_ + 1) {
            --reached_;
        }
        --depth_;
    }

    void key(std::string_view name, std::size_t) override {
        if (reached_ == kInfoCache.size() && depth_ == reached_ + 1) {
            if (isPlainFolderName(name) && std::ranges::find(folders, name) == folders.end()) {
                folders.emplace_back(name);
            }
        } else if (reached_ < kInfoCache.size() && depth_ == reached_ + 1) {
            nameLeads_ = name == kInfoCache[reached_];
            if (nameLeads_) {
                folders.clear();
            }
        }
    }

  private:
    static constexpr std::array<std::string_view, 2> kInfoCache = {"profile", "info_cache"};
    // The longest name a folder takes, in UTF-16 units.
    static constexpr std::size_t kLongestFolderName = 255;

    static bool isPlainFolderName(std::string_view name) {
        constexpr std::string_view kNotInAName = "\\/:*?\"<>|";
        return !name.empty() && name != "." && name != ".." &&
               std::ranges::none_of(name,
                                    [&](char c) {
                                        return static_cast<unsigned char>(c) < 0x20 ||
                                               kNotInAName.find(c) != std::string_view::npos;
                                    }) &&
               wideFromUtf8(name).size() <= kLongestFolderName;
    }

    // The containers open.
    std::size_t depth_ = 0;
    // How many of the names to `info_cache` the open objects follow from the top.
    std::size_t reached_ = 0;
    // Whether the last name read is the next of them.
    bool nameLeads_ = false;
};

}  // namespace

std::optional<ChromiumPreferences> readChromiumPreferenceValues(std::string json) {
    if (auto wanted = wantedMembersOf(json, PreferencesHandler::kTrackedNames)) {
        json = std::move(*wanted);
    }
    PreferencesHandler handler;
    if (!readChromiumJson(json, handler)) {
        return std::nullopt;
    }
    return std::move(handler.read);
}

std::optional<std::vector<std::string>> readProfileFolders(std::string_view localState) {
    ProfileFolderList list;
    if (std::string scanned(localState); !readChromiumJson(scanned, list)) {
        return std::nullopt;
    }
    return std::move(list.folders);
}

}  // namespace tovask
