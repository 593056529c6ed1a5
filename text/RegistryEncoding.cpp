#include "text/RegistryEncoding.h"

#include <string>

#include "text/DecimalText.h"
#include "text/RegistryPath.h"
#include "text/Utf16.h"

namespace tovask {

RegistryValue stringValue(std::wstring_view text) {
    auto bytes = toUtf16LeBytes(text);
    bytes.append(2, '\0');
    return {regtype::kString, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

RegistryValue dwordValue(std::uint32_t number) {
    return {regtype::kDword,
            {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
             static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::wstring> textOf(const RegistryValue& value) {
    if (value.type != regtype::kString && value.type != regtype::kExpandString) {
        return std::nullopt;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(value.bytes.data()),
                                 value.bytes.size());
    const auto text = fromUtf16LeBytes(bytes);
    if (!text.ok()) {
        return std::nullopt;
    }
    auto result = text.value();
    while (result.ends_with(L'\0')) {
        result.pop_back();
    }
    return result;
}

std::optional<std::uint32_t> dwordOf(const RegistryValue& value) {
    if (value.type != regtype::kDword || value.bytes.size() != 4) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value.bytes[0] | value.bytes[1] << 8 | value.bytes[2] << 16 |
                                      value.bytes[3] << 24);
}

Result<RegistryValue> encodeRegistryData(RegistryData data, RegistryType type) {
    if (type == RegistryType::Dword) {
        const auto number = toDword(data);
        if (!number.ok()) {
            return number.error();
        }
        return dwordValue(number.value());
    }
    if (const auto* text = std::get_if<std::wstring_view>(&data)) {
        return stringValue(*text);
    }
    return stringValue(decimalText(std::get<std::int32_t>(data)));
}

}  // namespace tovask
