#include "repair/policykeys/PolicyJson.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <rapidjson/memorystream.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "text/Utf8.h"

namespace tovask::policyjson {

namespace {

using rapidjson::SizeType;

// Strings checked to be UTF-8. Numbers never reach the reader: see
// numbersAsMarkedStrings.
constexpr unsigned kStrictFlags = rapidjson::kParseValidateEncodingFlag;
// Chromium reads the JSON of its registry policies allowing a trailing comma.
constexpr unsigned kChromiumFlags = kStrictFlags | rapidjson::kParseTrailingCommasFlag;

// The reader converts numbers to doubles, refusing those beyond a double's
// range (1e400, which Firefox applies) and changing the digits of the rest,
// even when asked to keep them as text. So each number goes to it as a
// string behind a lone low surrogate, which no string it accepts can start
// with (CheckedBuilder refuses every lone surrogate), and comes back as the
// number's own text.
constexpr std::string_view kNumberEscape = "\\udfff";
constexpr std::string_view kNumberEscapeBytes = "\xED\xBF\xBF";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the JSON number that starts the text; 0 when none does.
std::size_t numberLength(std::string_view text) {
    std::size_t at = 0;
    const auto skip = [&](std::string_view accepted) {
        if (at < text.size() && accepted.find(text[at]) != accepted.npos) {
            ++at;
            return true;
        }
        return false;
    };
    const auto digits = [&] {
        const auto start = at;
        while (at < text.size() && isDigit(text[at])) {
            ++at;
        }
        return at > start;
    };
    skip("-");
    if (!skip("0") && !digits()) {
        return 0;
    }
    if (skip(".") && !digits()) {
        return 0;
    }
    if (skip("eE")) {
        skip("+-");
        if (!digits()) {
            return 0;
        }
    }
    return at;
}

bool startsWithNumberEscape(std::string_view text) {
    return text.size() >= kNumberEscape.size() &&
           std::equal(kNumberEscape.begin(), kNumberEscape.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

// The text with each number outside strings written as a marked string; none
// when a number is malformed, or when a string of the text starts as a marked
// one would (a lone surrogate, refused as such).
std::optional<std::string> numbersAsMarkedStrings(std::string_view utf8, JsonRefusal& refusal) {
    std::string marked;
    marked.reserve(utf8.size());
    bool inString = false;
    for (std::size_t at = 0; at < utf8.size();) {
        const char c = utf8[at];
        if (inString) {
            const std::size_t length = c == '\\' && at + 1 < utf8.size() ? 2 : 1;
            marked.append(utf8.substr(at, length));
            inString = c != '"';
            at += length;
        } else if (c == '-' || isDigit(c)) {
            const auto length = numberLength(utf8.substr(at));
            if (length == 0) {
                return std::nullopt;
            }
            marked.append("\"").append(kNumberEscape).append(utf8.substr(at, length)).append("\"");
            at += length;
        } else {
            inString = c == '"';
            if (inString && startsWithNumberEscape(utf8.substr(at + 1))) {
                refusal = JsonRefusal::LoneSurrogate;
                return std::nullopt;
            }
            marked += c;
            ++at;
        }
    }
    return marked;
}

// A document holds a number kept as text as a string behind this byte, which
// no UTF-8 text holds, so that it is written back bare.
constexpr char kNumberMark = '\xFF';

bool isNumberText(const Json& json) {
    return json.IsString() && json.GetStringLength() > 0 && json.GetString()[0] == kNumberMark;
}

// Writes numbers kept as text back as the number they were.
template <typename Writer>
class NumberKeepingWriter : public Writer {
  public:
    using Writer::Writer;

    bool String(const char* text, SizeType length, bool copy = false) {
        if (length > 0 && text[0] == kNumberMark) {
            return Writer::RawValue(text + 1, length - 1, rapidjson::kNumberType);
        }
        return Writer::String(text, length, copy);
    }
};

// Writing JSON out and tidying repeated names recurse once per level, so a
// value nested deeper than Chromium's own reader accepts could exhaust the
// stack; such text counts as not JSON. The reader stops at the first container
// too deep, before it recurses further itself.
constexpr int kDeepestNesting = 200;

// Hands the reader's events on to the document, refusing what is nested too
// deep or holds a surrogate.
class CheckedBuilder {
  public:
    explicit CheckedBuilder(JsonDocument& document) : document_(document) {}

    std::optional<JsonRefusal> refusal;

    bool Null() { return document_.Null(); }
    bool Bool(bool b) { return document_.Bool(b); }
    bool Int(int i) { return document_.Int(i); }
    bool Uint(unsigned i) { return document_.Uint(i); }
    bool Int64(std::int64_t i) { return document_.Int64(i); }
    bool Uint64(std::uint64_t i) { return document_.Uint64(i); }
    bool Double(double d) { return document_.Double(d); }
    // Numbers come as marked strings only (see numbersAsMarkedStrings).
    bool RawNumber(const char*, SizeType, bool) { return false; }
    bool String(const char* text, SizeType length, bool copy) {
        if (const std::string_view string(text, length); string.starts_with(kNumberEscapeBytes)) {
            std::string number(1, kNumberMark);
            number.append(string.substr(kNumberEscapeBytes.size()));
            return document_.String(number.data(), static_cast<SizeType>(number.size()), true);
        }
        if (holdsLoneSurrogate({text, length})) {
            refusal = JsonRefusal::LoneSurrogate;
            return false;
        }
        return document_.String(text, length, copy);
    }
    bool Key(const char* text, SizeType length, bool copy) { return String(text, length, copy); }
    bool StartObject() { return deeper() && document_.StartObject(); }
    bool EndObject(SizeType members) {
        --depth_;
        return document_.EndObject(members);
    }
    bool StartArray() { return deeper() && document_.StartArray(); }
    bool EndArray(SizeType items) {
        --depth_;
        return document_.EndArray(items);
    }

  private:
    bool deeper() {
        if (++depth_ > kDeepestNesting) {
            refusal = JsonRefusal::TooDeep;
            return false;
        }
        return true;
    }

    JsonDocument& document_;
    int depth_ = 0;
};

// Chromium and Firefox both take the last value of a name an object repeats.
// Read the same way, the value checked is the one in force, so a lock hidden
// in a repeated name is found and removed; the name keeps its first place.
void keepLastOfEachName(Json& json, JsonDocument::AllocatorType& allocator) {
    if (json.IsArray()) {
        for (auto& item : json.GetArray()) {
            keepLastOfEachName(item, allocator);
        }
    }
    if (!json.IsObject()) {
        return;
    }
    std::map<std::string_view, Json*> lastValues;
    for (auto& entry : membersOf(json)) {
        keepLastOfEachName(entry.value, allocator);
        lastValues[utf8Of(entry.name)] = &entry.value;
    }
    if (lastValues.size() == json.MemberCount()) {
        return;
    }
    Json kept(rapidjson::kObjectType);
    for (auto& entry : membersOf(json)) {
        // Erased before the name moves out: the key views the name's bytes.
        if (const auto last = lastValues.find(utf8Of(entry.name)); last != lastValues.end()) {
            auto& value = *last->second;
            lastValues.erase(last);
            kept.AddMember(entry.name, value, allocator);
        }
    }
    json = kept;
}

// The object's member of that name, or its end.
Json::ConstMemberIterator find(const Json& object, std::string_view name) {
    return std::find_if(object.MemberBegin(), object.MemberEnd(),
                        [&](const auto& entry) { return utf8Of(entry.name) == name; });
}

template <unsigned Flags>
std::unique_ptr<JsonDocument> parseWith(std::string_view utf8, JsonRefusal* refusal) {
    if (refusal != nullptr) {
        *refusal = JsonRefusal::NotJson;
    }
    // The reader takes a NUL for the end of the text, and would not see what follows.
    if (utf8.find('\0') != utf8.npos) {
        return nullptr;
    }
    // The byte order mark Notepad writes is no part of the JSON.
    if (utf8.starts_with("\xEF\xBB\xBF")) {
        utf8.remove_prefix(3);
    }
    auto why = JsonRefusal::NotJson;
    const auto marked = numbersAsMarkedStrings(utf8, why);
    if (!marked) {
        if (refusal != nullptr) {
            *refusal = why;
        }
        return nullptr;
    }
    bool parsed = false;
    auto read = [&](JsonDocument& document) {
        rapidjson::MemoryStream text(marked->data(), marked->size());
        CheckedBuilder builder(document);
        parsed = !rapidjson::Reader().Parse<Flags>(text, builder).IsError();
        if (!parsed && builder.refusal && refusal != nullptr) {
            *refusal = *builder.refusal;
        }
        return parsed;
    };
    auto document = std::make_unique<JsonDocument>();
    document->Populate(read);
    if (!parsed) {
        return nullptr;
    }
    keepLastOfEachName(*document, document->GetAllocator());
    return document;
}

}  // namespace

bool holdsLoneSurrogate(std::string_view utf8) {
    for (auto at = utf8.find('\xED'); at != utf8.npos; at = utf8.find('\xED', at + 1)) {
        if (at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) >= 0xA0) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<JsonDocument> parse(std::string_view utf8, JsonRefusal* refusal) {
    return parseWith<kStrictFlags>(utf8, refusal);
}

std::unique_ptr<JsonDocument> parseChromiumPolicy(std::string_view utf8) {
    return parseWith<kChromiumFlags>(utf8, nullptr);
}

std::optional<std::string> compact(const Json& json) {
    rapidjson::StringBuffer buffer;
    NumberKeepingWriter<rapidjson::Writer<rapidjson::StringBuffer>> writer(buffer);
    if (!json.Accept(writer)) {
        return std::nullopt;
    }
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::optional<std::string> indented(const Json& json) {
    rapidjson::StringBuffer buffer;
    NumberKeepingWriter<rapidjson::PrettyWriter<rapidjson::StringBuffer>> writer(buffer);
    writer.SetIndent(' ', 2);
    if (!json.Accept(writer)) {
        return std::nullopt;
    }
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::wstring wideText(const Json& json) {
    if (isNumberText(json)) {
        return wideFromUtf8({json.GetString() + 1, json.GetStringLength() - 1});
    }
    return wideFromUtf8(json.IsString() ? utf8Of(json) : compact(json).value_or(""));
}

std::span<const Json::Member> membersOf(const Json& json) {
    if (!json.IsObject()) {
        return {};
    }
    return {json.MemberBegin().operator->(), json.MemberCount()};
}

std::span<Json::Member> membersOf(Json& json) {
    const auto members = membersOf(std::as_const(json));
    return {const_cast<Json::Member*>(members.data()), members.size()};
}

std::string_view utf8Of(const Json& string) {
    return string.IsString() && !isNumberText(string)
               ? std::string_view(string.GetString(), string.GetStringLength())
               : std::string_view();
}

const Json* member(const Json& json, std::string_view name) {
    if (!json.IsObject()) {
        return nullptr;
    }
    const auto found = find(json, name);
    return found != json.MemberEnd() ? &found->value : nullptr;
}

Json* member(Json& json, std::string_view name) {
    return const_cast<Json*>(member(std::as_const(json), name));
}

bool removeMember(Json& object, std::string_view name) {
    if (!object.IsObject()) {
        return false;
    }
    const auto found = find(object, name);
    if (found == object.MemberEnd()) {
        return false;
    }
    // EraseMember keeps the order; RemoveMember would move the last member into the gap.
    object.EraseMember(found);
    return true;
}

std::span<const Json> elementsOf(const Json& json) {
    if (!json.IsArray() || json.Empty()) {
        return {};
    }
    return {json.Begin(), json.Size()};
}

void removeStringElements(Json& array, std::string_view text) {
    if (!array.IsArray()) {
        return;
    }
    for (auto* element = array.Begin(); element != array.End();) {
        const bool holdsText = !text.empty() && utf8Of(*element) == text;
        element = holdsText ? array.Erase(element) : element + 1;
    }
}

bool forcesInstallation(const Json& entry) {
    constexpr std::array<std::string_view, 2> kForcedModes = {"force_installed",
                                                              "normal_installed"};
    const auto* mode = member(entry, "installation_mode");
    return mode != nullptr && mode->IsString() &&
           std::ranges::find(kForcedModes, utf8Of(*mode)) != kForcedModes.end();
}

}  // namespace tovask::policyjson
