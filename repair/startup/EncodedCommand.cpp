#include "repair/startup/EncodedCommand.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "repair/shortcuts/WebAddress.h"
#include "repair/startup/StartupTexts.h"
#include "text/TextCompare.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

std::optional<std::uint32_t> base64Digit(wchar_t letter) {
    constexpr std::wstring_view kDigits =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto at = kDigits.find(letter);
    return at == std::wstring_view::npos ? std::nullopt
                                         : std::optional(static_cast<std::uint32_t>(at));
}

std::optional<std::string> base64Bytes(std::wstring_view text) {
    if (text.empty() || text.size() % 4 != 0) {
        return std::nullopt;
    }
    const auto padding = text.ends_with(L"==") ? 2u : text.ends_with(L'=') ? 1u : 0u;
    std::string bytes;
    for (std::size_t at = 0; at < text.size(); at += 4) {
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const bool padded = at + i >= text.size() - padding;
            const auto digit = padded ? std::optional<std::uint32_t>(0) : base64Digit(text[at + i]);
            if (!digit) {
                return std::nullopt;
            }
            group = (group << 6) | *digit;
        }
        for (int shift = 16; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<char>((group >> shift) & 0xFF));
        }
    }
    bytes.resize(bytes.size() - padding);
    return bytes;
}

bool containsIgnoringCase(std::wstring_view text, std::wstring_view part) {
    return foldedCase(text).find(foldedCase(part)) != std::wstring::npos;
}

}  // namespace

std::optional<std::wstring> decodedPowerShellCommand(std::wstring_view encoded) {
    const auto bytes = base64Bytes(encoded);
    if (!bytes) {
        return std::nullopt;
    }
    auto text = fromUtf16LeBytes(*bytes);
    return text.ok() ? std::optional(std::move(text.value())) : std::nullopt;
}

std::optional<std::wstring_view> decodedScriptHijack(std::wstring_view script) {
    constexpr std::array<std::wstring_view, 8> kBrowsers = {
        L"chrome", L"msedge", L"firefox", L"brave", L"opera", L"iexplore", L"chromium", L"vivaldi"};
    constexpr std::array<std::wstring_view, 2> kExtensionFiles = {L".crx", L".xpi"};
    const bool startsBrowser = std::ranges::any_of(
        kBrowsers, [&](auto browser) { return containsIgnoringCase(script, browser); });
    const bool loadsExtension = containsIgnoringCase(script, L"--load-extension");
    const bool hasAddress = holdsWebAddress(script);
    if (loadsExtension || (startsBrowser && hasAddress)) {
        return texts::kStartupOpensBrowser;
    }
    if (hasAddress && std::ranges::any_of(kExtensionFiles, [&](auto ending) {
            return containsIgnoringCase(script, ending);
        })) {
        return texts::kStartupDownloadsExtension;
    }
    return std::nullopt;
}

}  // namespace tovask
