#include "repair/preferences/ChromiumPreferences.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "repair/policykeys/PolicyJson.h"

namespace tovask {
namespace {

// RapidJSON's own in-place stream reads on to a NUL, and its UTF-8 check
// takes every continuation byte a lead byte announces: in a text that ends
// inside a sequence it read past the end. This one reads nothing past its
// end, where it gives the NUL that ends a document and that no string holds.
// A decoded string is written over its own text, behind the reading: only a
// string that has run out of text could catch up with it, and it is refused.
class BoundedInsituStream {
  public:
    using Ch = char;

    BoundedInsituStream(char* begin, char* end)
        : begin_(begin), end_(end), read_(begin), written_(begin) {}

    Ch Peek() const { return read_ == end_ ? '\0' : *read_; }
    Ch Take() { return read_ == end_ ? '\0' : *read_++; }
    std::size_t Tell() const { return static_cast<std::size_t>(read_ - begin_); }

    Ch* PutBegin() { return written_ = read_; }
    void Put(Ch c) {
        if (written_ != read_) {
            *written_++ = c;
        }
    }
    std::size_t PutEnd(const Ch* begin) const { return static_cast<std::size_t>(written_ - begin); }
    void Flush() {}

  private:
    char* begin_;
    char* end_;
    char* read_;
    char* written_;
};

}  // namespace
}  // namespace tovask

// Read through a copy, as RapidJSON reads its own in-place stream: a number
// kept as text is then found from where the copy started.
template <>
struct rapidjson::StreamTraits<tovask::BoundedInsituStream> {
    enum { copyOptimization = 1 };
};

namespace tovask {
namespace {

using rapidjson::SizeType;

// Numbers come as the text they were written with.
constexpr unsigned kFlags =
    rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag;
// As deep as the browser's own reader goes.
constexpr std::size_t kDeepestPreferenceNesting = 200;
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

class PreferencesHandler
    : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, PreferencesHandler> {
  public:
    ChromiumPreferences read;
    bool sawDocument = false;

    bool StartObject() { return enter(false); }
    bool StartArray() { return enter(true); }
    bool EndObject(SizeType) { return leave(); }
    bool EndArray(SizeType) { return leave(); }

    // A name given again replaces all that its earlier value set.
    bool Key(const char* text, SizeType length, bool) {
        if (policyjson::holdsLoneSurrogate({text, length})) {
            return false;
        }
        if (!tracked()) {
            return true;
        }
        key_.assign(text, length);
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
        return true;
    }

    bool String(const char* text, SizeType length, bool) {
        const std::string_view string(text, length);
        if (policyjson::holdsLoneSurrogate(string)) {
            return false;
        }
        if (!tracked()) {
            return true;
        }
        const auto place = valuePlace();
        if (isPlace(place, {"homepage"})) {
            read.homepage = string;
        } else if (isPlace(place, {"session", "startup_urls", kElement})) {
            read.startupUrls.emplace_back(string);
        } else if (isPlace(place, {"default_search_provider_data", "template_url_data", "url"})) {
            read.searchUrl = string;
        } else if (isPlace(place, {"default_search_provider", "search_url"})) {
            read.olderSearchUrl = string;
        } else if (auto* setting = extensionSettingAt(place, "path")) {
            setting->path = string;
        } else {
            // The browser writes these numbers; their text in quotes is read alike.
            number(place, string);
        }
        return true;
    }

    bool RawNumber(const char* text, SizeType length, bool) {
        if (tracked()) {
            number(valuePlace(), {text, length});
        }
        return true;
    }

    bool Bool(bool value) {
        if (tracked() && isPlace(valuePlace(), {"homepage_is_newtabpage"})) {
            read.homepageIsNewTabPage = value;
        }
        return true;
    }

  private:
    // The names at the document's top level that hold what is read; anything
    // below the others, most of a large file, is passed over unlooked-at.
    static constexpr std::array<std::string_view, 6> kTrackedNames = {
        "homepage",
        "homepage_is_newtabpage",
        "session",
        "default_search_provider_data",
        "default_search_provider",
        "extensions"};

    struct Container {
        bool array = false;
        // Whether entering it added its name to the tracked path.
        bool named = false;
    };

    bool enter(bool array) {
        if (containers_.size() == kDeepestPreferenceNesting || (containers_.empty() && array)) {
            return false;
        }
        const bool named = !containers_.empty() && tracked();
        if (named) {
            path_.push_back(containers_.back().array ? std::string(kElement) : key_);
        }
        sawDocument = true;
        containers_.push_back({array, named});
        return true;
    }

    bool leave() {
        if (containers_.back().named) {
            path_.pop_back();
        }
        containers_.pop_back();
        return true;
    }

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

    void number(const Place& place, std::string_view text) {
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

}  // namespace

std::optional<ChromiumPreferences> readChromiumPreferenceValues(std::string json) {
    // The reader takes a NUL for the end of the text, and would not see what follows.
    if (json.find('\0') != json.npos) {
        return std::nullopt;
    }
    // Read in place, each string decoded over its own escaped text rather
    // than copied aside.
    const std::size_t byteOrderMark = json.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    BoundedInsituStream stream(json.data() + byteOrderMark, json.data() + json.size());
    PreferencesHandler handler;
    if (rapidjson::Reader()
            .Parse<kFlags | rapidjson::kParseInsituFlag>(stream, handler)
            .IsError() ||
        !handler.sawDocument) {
        return std::nullopt;
    }
    return std::move(handler.read);
}

}  // namespace tovask
