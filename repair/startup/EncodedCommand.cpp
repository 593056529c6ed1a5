#include "repair/startup/EncodedCommand.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwctype>
#include <span>

#include "repair/commands/BrowserPrograms.h"
#include "repair/commands/WebAddress.h"
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

std::optional<std::string> base64Bytes(std::wstring_view written) {
    // As .NET reads base64: blanks and line breaks anywhere are passed over.
    std::wstring text(written);
    std::erase_if(text,
                  [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; });
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

// Commands that run text as code, and DownloadString, which fetches text to run.
constexpr std::array<std::wstring_view, 3> kRunsText = {L"iex", L"invoke-expression",
                                                        L"downloadstring"};
constexpr std::array<std::wstring_view, 10> kFetches = {
    L"invoke-webrequest", L"iwr",          L"invoke-restmethod", L"irm",  L"start-bitstransfer",
    L"downloadfile",      L"downloaddata", L"net.webclient",     L"wget", L"curl"};
constexpr std::array<std::wstring_view, 5> kStartsPrograms = {L"start-process", L"saps", L"start",
                                                              L"invoke-item", L"ii"};

// A letter that goes on a command's or a variable's name.
bool continuesName(wchar_t c) {
    return std::iswalnum(static_cast<wint_t>(c)) || c == L'-' || c == L'_' || c == L'$';
}

// Whether the folded script names the word on its own.
bool namesWord(std::wstring_view script, std::wstring_view word) {
    const auto wanted = foldedCase(word);
    for (auto at = script.find(wanted); at != std::wstring_view::npos;
         at = script.find(wanted, at + 1)) {
        const auto end = at + wanted.size();
        if ((at == 0 || !continuesName(script[at - 1])) &&
            (end == script.size() || !continuesName(script[end]))) {
            return true;
        }
    }
    return false;
}

// PowerShell's call operator before what it runs: "& $file", "&('...')".
bool callsSomething(std::wstring_view script) {
    for (auto at = script.find(L'&'); at != std::wstring_view::npos;
         at = script.find(L'&', at + 2)) {
        const auto next = script.find_first_not_of(L" \t", at + 1);
        if (next != std::wstring_view::npos &&
            std::wstring_view(L"$'\"({").find(script[next]) != std::wstring_view::npos &&
            (at == 0 || script[at - 1] != L'&')) {
            return true;
        }
    }
    return false;
}

bool namesAnyWord(std::wstring_view script, std::span<const std::wstring_view> words) {
    return std::ranges::any_of(words, [&](auto word) { return namesWord(script, word); });
}

// Whether the script downloads code and runs it, as PowerShell reads its
// words: in any case, and without the backticks it passes over in a name.
bool downloadsAndRuns(std::wstring_view written) {
    auto script = foldedCase(written);
    std::erase(script, L'`');
    return namesAnyWord(script, kRunsText) ||
           (namesAnyWord(script, kFetches) &&
            (namesAnyWord(script, kStartsPrograms) || callsSomething(script)));
}

// Whether a script names a browser's program: by its name without ".exe"
// ("msedge"), or, where that name is generic, by the whole name and the
// browser's folder ("browser.exe" and "Yandex"), so that an address of the
// browser's maker is not taken for the browser.
bool scriptNamesProgram(std::wstring_view script, const BrowserProgram& program) {
    if (program.folder.empty()) {
        return containsIgnoringCase(script,
                                    program.fileName.substr(0, program.fileName.rfind(L'.')));
    }
    return containsIgnoringCase(script, program.fileName) &&
           containsIgnoringCase(script, program.folder);
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

std::optional<std::wstring_view> powerShellScriptHijack(std::wstring_view script) {
    constexpr std::array<std::wstring_view, 2> kExtensionFiles = {L".crx", L".xpi"};
    const bool startsBrowser = std::ranges::any_of(
        kBrowserPrograms, [&](const auto& program) { return scriptNamesProgram(script, program); });
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
    return downloadsAndRuns(script) ? std::optional(texts::kStartupRunsDownloadedCode)
                                    : std::nullopt;
}

}  // namespace tovask
