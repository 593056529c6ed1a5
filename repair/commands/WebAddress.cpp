#include "repair/commands/WebAddress.h"

#include <algorithm>
#include <array>

#include "text/Blanks.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// Names a shortcut may pass as a local file; none is a top-level domain.
constexpr std::array kLocalFileExtensions = {
    L"htm",  L"html", L"shtml", L"xhtml", L"mht", L"mhtml", L"pdf", L"svg", L"xml", L"txt",
    L"json", L"ini",  L"lnk",   L"exe",   L"bat", L"cmd",   L"js",  L"vbs", L"wsf", L"hta"};

// A page's own text ("data:") and script ("javascript:") open as an address does.
constexpr std::array<std::wstring_view, 5> kAddressStarts = {L"http:", L"https:", L"www.", L"data:",
                                                             L"javascript:"};

// Letters beyond ASCII count as letters, for internationalised host names.
bool isLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c >= 0x80;
}

bool isLabelCharacter(wchar_t c) {
    return isLetter(c) || (c >= L'0' && c <= L'9') || c == L'-';
}

bool isLabel(std::wstring_view label) {
    return !label.empty() && label.front() != L'-' && label.back() != L'-' &&
           std::ranges::all_of(label, isLabelCharacter);
}

bool isTopLevelLabel(std::wstring_view label) {
    return label.size() >= 2 && std::ranges::all_of(label, isLetter) &&
           std::ranges::none_of(kLocalFileExtensions, [label](std::wstring_view extension) {
               return equalsIgnoringCase(label, extension);
           });
}

bool isDecimalByte(std::wstring_view part) {
    if (part.empty() || part.size() > 3) {
        return false;
    }
    int value = 0;
    for (const wchar_t c : part) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        value = value * 10 + (c - L'0');
    }
    return value <= 255;
}

bool isIpv4Address(std::wstring_view host) {
    std::size_t parts = 0;
    for (std::size_t from = 0; from <= host.size(); ++parts) {
        const auto dot = std::min(host.find(L'.', from), host.size());
        if (!isDecimalByte(host.substr(from, dot - from))) {
            return false;
        }
        from = dot + 1;
    }
    return parts == 4;
}

bool isHostName(std::wstring_view host) {
    if (host.ends_with(L'.')) {
        host.remove_suffix(1);  // the root of the name space, as in "example.com."
    }
    const auto lastDot = host.rfind(L'.');
    if (lastDot == std::wstring_view::npos || !isTopLevelLabel(host.substr(lastDot + 1))) {
        return false;
    }
    for (std::size_t from = 0; from <= lastDot;) {
        const auto dot = host.find(L'.', from);
        if (!isLabel(host.substr(from, dot - from))) {
            return false;
        }
        from = dot + 1;
    }
    return true;
}

}  // namespace

bool isWebAddress(std::wstring_view argument) {
    const auto text = trimmed(argument);
    if (std::ranges::any_of(kAddressStarts, [text](std::wstring_view start) {
            return startsWithIgnoringCase(text, start);
        })) {
        return true;
    }
    const auto host = text.substr(0, text.find_first_of(L"/?#:"));
    return isHostName(host) || isIpv4Address(host);
}

bool holdsWebAddress(std::wstring_view text) {
    const auto folded = foldedCase(text);
    for (const std::wstring_view marker : {L"HTTP://", L"HTTPS://", L"WWW."}) {
        if (folded.find(marker) != std::wstring::npos) {
            return true;
        }
    }
    constexpr std::wstring_view kWordBreaks = L" \t\"'();,";
    for (std::size_t from = 0; from < text.size();) {
        const auto end = std::min(text.find_first_of(kWordBreaks, from), text.size());
        if (end > from && isWebAddress(text.substr(from, end - from))) {
            return true;
        }
        from = end + 1;
    }
    return false;
}

}  // namespace tovask
