#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/PlatformOps.h"

namespace tovask {

enum class RegistryOperation { DeleteKey, DeleteValue, WriteValue, WriteKeyDefault };

// Where a written value comes from: a fixed text, a fixed number, the start
// page the user chose for this run, or the browser's blank page in the system
// folder of the view the row is written in.
enum class ValueSource { None, Text, Number, StartPage, LocalPage };

struct RegistryStep {
    RegistryOperation operation;
    std::wstring_view path;
    ValueSource source = ValueSource::None;
    std::wstring_view text{};
    std::int32_t number = 0;
    RegistryType type = RegistryType::String;
};

namespace plan {

constexpr RegistryStep deleteKey(std::wstring_view path) {
    return {RegistryOperation::DeleteKey, path};
}
constexpr RegistryStep deleteValue(std::wstring_view path) {
    return {RegistryOperation::DeleteValue, path};
}
constexpr RegistryStep writeText(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteValue, path, ValueSource::Text, text};
}
constexpr RegistryStep writeKeyDefault(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteKeyDefault, path, ValueSource::Text, text};
}
constexpr RegistryStep writeDwordText(std::wstring_view path, std::wstring_view text) {
    return {RegistryOperation::WriteValue, path, ValueSource::Text, text, 0, RegistryType::Dword};
}
constexpr RegistryStep writeDword(std::wstring_view path, std::int16_t number) {
    return {
        RegistryOperation::WriteValue, path, ValueSource::Number, {}, number, RegistryType::Dword};
}
constexpr RegistryStep writeStartPage(std::wstring_view path) {
    return {RegistryOperation::WriteValue, path, ValueSource::StartPage};
}
constexpr RegistryStep writeLocalPage(std::wstring_view path) {
    return {RegistryOperation::WriteValue, path, ValueSource::LocalPage};
}

}  // namespace plan

// The registry repair plan: applied in this order, every row once per run.
// Its rows stand in one file, so that the program holds their texts once.
extern const std::span<const RegistryStep> kRegistryRepairPlan;

// Windows reads the HOSTS file from the folder this value names. Unwanted
// software points it at a folder of its own; the run puts the default back
// when it names another folder.
extern const RegistryStep kHostsFolderStep;
inline constexpr std::wstring_view kDefaultHostsFolder = L"%SystemRoot%\\System32\\drivers\\etc";

}  // namespace tovask
