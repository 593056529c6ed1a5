#include "repair/policies/PolicyJson.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
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

// Numbers in full precision, so that a rewritten file keeps each number the
// file wrote; strings checked to be UTF-8.
constexpr unsigned kParseFlags =
    rapidjson::kParseValidateEncodingFlag | rapidjson::kParseFullPrecisionFlag;

// Writing JSON out and tidying repeated names recurse once per level, so a
// value nested deeper than Chromium's own reader accepts could exhaust the
// stack; such text counts as not JSON. The reader stops at the first container
// too deep, before it recurses further itself.
constexpr int kDeepestNesting = 200;

// RapidJSON reads an unpaired "\udc00" escape as the bytes of a lone surrogate,
// which are not UTF-8 and would be written back so; such text counts as not JSON.
bool holdsSurrogate(std::string_view utf8) {
    for (auto at = utf8.find('\xED'); at != utf8.npos; at = utf8.find('\xED', at + 1)) {
        if (at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) >= 0xA0) {
            return true;
        }
    }
    return false;
}

// Hands the reader's events on to the document, refusing what is nested too
// deep or holds a surrogate.
class CheckedBuilder {
  public:
    explicit CheckedBuilder(JsonDocument& document) : document_(document) {}

    bool Null() { return document_.Null(); }
    bool Bool(bool b) { return document_.Bool(b); }
    bool Int(int i) { return document_.Int(i); }
    bool Uint(unsigned i) { return document_.Uint(i); }
    bool Int64(std::int64_t i) { return document_.Int64(i); }
    bool Uint64(std::uint64_t i) { return document_.Uint64(i); }
    bool Double(double d) { return document_.Double(d); }
    bool RawNumber(const char* text, SizeType length, bool copy) {
        return document_.RawNumber(text, length, copy);
    }
    bool String(const char* text, SizeType length, bool copy) {
        return !holdsSurrogate({text, length}) && document_.String(text, length, copy);
    }
    bool Key(const char* text, SizeType length, bool copy) { return String(text, length, copy); }
    bool StartObject() { return ++depth_ <= kDeepestNesting && document_.StartObject(); }
    bool EndObject(SizeType members) {
        --depth_;
        return document_.EndObject(members);
    }
    bool StartArray() { return ++depth_ <= kDeepestNesting && document_.StartArray(); }
    bool EndArray(SizeType items) {
        --depth_;
        return document_.EndArray(items);
    }

  private:
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

}  // namespace

std::unique_ptr<JsonDocument> parse(std::string_view utf8) {
    // The reader takes a NUL for the end of the text, and would not see what follows.
    if (utf8.find('\0') != utf8.npos) {
        return nullptr;
    }
    // The byte order mark Notepad writes is no part of the JSON.
    if (utf8.starts_with("\xEF\xBB\xBF")) {
        utf8.remove_prefix(3);
    }
    bool parsed = false;
    auto read = [&](JsonDocument& document) {
        rapidjson::MemoryStream text(utf8.data(), utf8.size());
        CheckedBuilder builder(document);
        parsed = !rapidjson::Reader().Parse<kParseFlags>(text, builder).IsError();
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

std::string compact(const Json& json) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    json.Accept(writer);
    return {buffer.GetString(), buffer.GetSize()};
}

std::string indented(const Json& json) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);
    json.Accept(writer);
    return {buffer.GetString(), buffer.GetSize()};
}

std::wstring wideText(const Json& json) {
    return wideFromUtf8(json.IsString() ? utf8Of(json) : compact(json));
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
    return string.IsString() ? std::string_view(string.GetString(), string.GetStringLength())
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

bool forcesInstallation(const Json& entry) {
    constexpr std::array<std::string_view, 2> kForcedModes = {"force_installed",
                                                              "normal_installed"};
    const auto* mode = member(entry, "installation_mode");
    return mode != nullptr && mode->IsString() &&
           std::ranges::find(kForcedModes, utf8Of(*mode)) != kForcedModes.end();
}

}  // namespace tovask::policyjson
