#include "text/RegistryPath.h"

#include <limits>

#include "text/TextCompare.h"

namespace tovask {
namespace {

std::error_code invalid() {
    return std::make_error_code(std::errc::invalid_argument);
}

}  // namespace

Result<RegistryPath> parseRegistryPath(std::wstring_view text) {
    const auto rootEnd = text.find(L'\\');
    if (rootEnd == std::wstring_view::npos) {
        return invalid();
    }
    const auto rootName = text.substr(0, rootEnd);
    RegistryRoot root{};
    if (equalsIgnoringCase(rootName, L"HKCU")) {
        root = RegistryRoot::CurrentUser;
    } else if (equalsIgnoringCase(rootName, L"HKLM")) {
        root = RegistryRoot::LocalMachine;
    } else if (equalsIgnoringCase(rootName, L"HKU")) {
        root = RegistryRoot::Users;
    } else {
        return invalid();
    }

    const auto rest = text.substr(rootEnd + 1);
    const auto lastSeparator = rest.rfind(L'\\');
    if (lastSeparator == std::wstring_view::npos) {
        return invalid();
    }
    const auto key = rest.substr(0, lastSeparator);
    const auto valueName = rest.substr(lastSeparator + 1);
    const bool emptyKeyName = key.empty() || key.starts_with(L'\\') || key.ends_with(L'\\') ||
                              key.find(L"\\\\") != std::wstring_view::npos;
    if (emptyKeyName) {
        return invalid();
    }
    return RegistryPath{root, key, valueName, valueName.empty()};
}

std::span<const RegistryView> viewsFor(RegistryRoot root, bool hasTwoViews) {
    static constexpr RegistryView kBothViews[] = {RegistryView::Bits32, RegistryView::Bits64};
    static constexpr RegistryView kDefaultView[] = {RegistryView::Default};
    // A 32-bit program on 64-bit Windows sees only the 32-bit copy of the
    // machine-wide software keys unless it names a view; the users' keys are
    // shared by both.
    if (root == RegistryRoot::LocalMachine && hasTwoViews) {
        return kBothViews;
    }
    return kDefaultView;
}

Result<std::uint32_t> toDword(RegistryData value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return static_cast<std::uint32_t>(*number);
    }
    const auto text = std::get<std::wstring_view>(value);
    if (text.empty()) {
        return invalid();
    }
    std::uint64_t number = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return invalid();
        }
        number = number * 10 + static_cast<std::uint64_t>(c - L'0');
        if (number > std::numeric_limits<std::uint32_t>::max()) {
            return invalid();
        }
    }
    return static_cast<std::uint32_t>(number);
}

}  // namespace tovask
