#include "repair/policies/PolicyJson.h"

#include <algorithm>
#include <array>

#include "text/Utf8.h"

namespace tovask::policyjson {

namespace {

// Writing JSON out recurses once per level, so a value nested deeper than
// Chromium's own reader accepts could exhaust the stack; such text counts as
// not JSON. Reading and freeing do not recurse.
constexpr int kDeepestNesting = 200;

}  // namespace

std::optional<Json> parse(std::string_view utf8) {
    bool tooDeep = false;
    const Json::parser_callback_t checkDepth = [&](int depth, Json::parse_event_t, Json&) {
        tooDeep = tooDeep || depth > kDeepestNesting;
        return true;
    };
    auto json = Json::parse(utf8.begin(), utf8.end(), checkDepth, false);
    if (json.is_discarded() || tooDeep) {
        return std::nullopt;
    }
    return json;
}

std::string compact(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string indented(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

std::wstring wideText(const Json& json) {
    return wideFromUtf8(json.is_string() ? json.get_ref<const std::string&>() : compact(json));
}

bool forcesInstallation(const Json& entry) {
    constexpr std::array<std::string_view, 2> kForcedModes = {"force_installed",
                                                              "normal_installed"};
    if (!entry.is_object()) {
        return false;
    }
    const auto mode = entry.find("installation_mode");
    return mode != entry.end() && mode->is_string() &&
           std::ranges::find(kForcedModes, mode->get_ref<const std::string&>()) !=
               kForcedModes.end();
}

}  // namespace tovask::policyjson
