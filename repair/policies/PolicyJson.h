#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

// JSON of policy files and policy values, read and written by the library only.
// Built with JSON_NOEXCEPTION: nothing here may reach a throwing call, so every
// access checks the type first and parsing reports failure as a discarded value.
namespace tovask::policyjson {

// Keeps members in the file's order, so that a rewritten file differs from the
// original only where entries were removed.
using Json = nlohmann::ordered_json;

// None when the text is not valid JSON.
std::optional<Json> parse(std::string_view utf8);
std::string compact(const Json& json);
// Two spaces per level, as Firefox's own policy examples are written.
std::string indented(const Json& json);
std::wstring wideText(const Json& json);

// An ExtensionSettings entry that installs its extension whatever the user says.
bool forcesInstallation(const Json& entry);

}  // namespace tovask::policyjson
