#pragma once

#include <cassert>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// RapidJSON's checks stay the standard assert: the sanitized debug build stops
// on any access that skipped its type check, and the shipped build carries no
// check and no abort. Input can reach none of them: every access checks the
// type first and parsing reports failure as no document.
#define RAPIDJSON_ASSERT(x) assert(x)
#include <rapidjson/document.h>

// JSON of policy files and policy values, read and written by this library only.
namespace tovask::policyjson {

// A value inside a document; objects keep their members in the file's order,
// so that a rewritten file differs from the original only where entries were
// removed. Moving, never copying: assigning one value to another moves it.
using Json = rapidjson::Value;
// The root value, owning the memory of every value and text below it.
using JsonDocument = rapidjson::Document;

// Why a text is read as no document: valid JSON that this library cannot
// carry exactly is told apart from text that is not JSON at all.
// A rewrite that would change more than what was removed is refused too.
enum class JsonRefusal { NotJson, TooDeep, LoneSurrogate, NotKeptExactly };

// Null when the text is not valid JSON or cannot be carried exactly, with
// the reason in `refusal` when one is given. Numbers are kept as the text
// they were written with, whatever their size or precision, and written back
// so. A pointer, as clang-tidy 14 takes the end of a std::optional holding a
// document for a second release of its memory.
std::unique_ptr<JsonDocument> parse(std::string_view utf8, JsonRefusal* refusal = nullptr);
// As Chromium reads the JSON of a registry policy: a trailing comma allowed.
std::unique_ptr<JsonDocument> parseChromiumPolicy(std::string_view utf8);
// RapidJSON reads an unpaired "\udc00" escape as the bytes of a lone
// surrogate, which are not UTF-8 and would be written back so; such text
// counts as not JSON.
bool holdsLoneSurrogate(std::string_view utf8);
// None when the writer fails.
std::optional<std::string> compact(const Json& json);
// Two spaces per level, as Firefox's own policy examples are written.
std::optional<std::string> indented(const Json& json);
std::wstring wideText(const Json& json);
// The bytes of a string value or of a member's name; empty for any other value.
std::string_view utf8Of(const Json& string);

// The members of an object in their order, none for any other value. A span,
// as RapidJSON 1.1's own iterators over them compare ambiguously in C++20.
std::span<const Json::Member> membersOf(const Json& json);
std::span<Json::Member> membersOf(Json& json);
// The member of that name, or none when `json` is not an object that has one.
const Json* member(const Json& json, std::string_view name);
Json* member(Json& json, std::string_view name);
// True when the object had a member of that name; the others keep their order.
bool removeMember(Json& object, std::string_view name);
// The elements of an array in their order, none for any other value.
std::span<const Json> elementsOf(const Json& json);
// Removes every string element of an array that holds `text` (never empty);
// the others keep their order.
void removeStringElements(Json& array, std::string_view text);

// An ExtensionSettings entry that installs its extension whatever the user says.
bool forcesInstallation(const Json& entry);

}  // namespace tovask::policyjson
