#include "repair/paths/LocalPaths.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "repair/addresses/ProxyAddress.h"
#include "text/TextCompare.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

std::optional<unsigned> hexDigitValue(wchar_t c) {
    if (!std::iswxdigit(static_cast<wint_t>(c))) {
        return std::nullopt;
    }
    return c <= L'9' ? static_cast<unsigned>(c - L'0')
                     : static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)) - L'a' + 10);
}

// Each run of escapes is UTF-8 as browsers percent-encode it; the
// characters between them stay as the address held them. None on a bad
// escape or a broken, overlong or out-of-range sequence.
std::optional<std::wstring> percentDecoded(std::wstring_view text) {
    std::wstring decoded;
    std::string escaped;
    const auto flush = [&] {
        const auto run = wideFromValidUtf8(escaped);
        escaped.clear();
        if (run) {
            decoded += *run;
        }
        return run.has_value();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            if (!flush()) {
                return std::nullopt;
            }
            decoded.push_back(text[i]);
            continue;
        }
        const auto high = i + 2 < text.size() ? hexDigitValue(text[i + 1]) : std::nullopt;
        const auto low = high ? hexDigitValue(text[i + 2]) : std::nullopt;
        if (!low) {
            return std::nullopt;
        }
        escaped.push_back(static_cast<char>(*high * 16 + *low));
        i += 2;
    }
    return flush() ? std::optional(decoded) : std::nullopt;
}

std::wstring withBackslashes(std::wstring_view path) {
    std::wstring text(path);
    std::ranges::replace(text, L'/', L'\\');
    return text;
}

bool hasDrive(std::wstring_view path) {
    return path.size() >= 2 && std::iswalpha(static_cast<wint_t>(path[0])) &&
           (path[1] == L':' || path[1] == L'|');
}

// Windows drops them when it opens a path: "bob." and "bob " name "bob". A
// name of dots only ("...") is a name and stays.
std::wstring_view withoutTrailingDotsAndSpaces(std::wstring_view component) {
    const auto last = component.find_last_not_of(L". ");
    if (last == std::wstring_view::npos) {
        return component;
    }
    return component.substr(0, last + 1);
}

// "127.0.0.1\C$\Users" names "C:\Users": a drive's administrative share on
// this machine is the drive itself.
std::optional<std::wstring> driveOfLoopbackShare(std::wstring_view unc) {
    const auto hostEnd = unc.find(L'\\');
    if (hostEnd == std::wstring_view::npos) {
        return std::nullopt;
    }
    auto host = unc.substr(0, hostEnd);
    if (host.size() > 2 && host.front() == L'[' && host.back() == L']') {
        host = host.substr(1, host.size() - 2);
    }
    if (!isLoopbackHost(host)) {
        return std::nullopt;
    }
    const auto share = unc.substr(hostEnd + 1, 3);
    if (share.size() < 2 || !std::iswalpha(static_cast<wint_t>(share[0])) || share[1] != L'$' ||
        (share.size() == 3 && share[2] != L'\\')) {
        return std::nullopt;
    }
    const auto rest = unc.substr(std::min(hostEnd + 3, unc.size()));
    return std::wstring{share[0], L':'} + (rest.empty() ? L"\\" : std::wstring(rest));
}

}  // namespace

std::optional<std::wstring> windowsPathOfFileUrl(std::wstring_view url) {
    if (!startsWithIgnoringCase(url, L"file:")) {
        return std::nullopt;
    }
    auto decoded = percentDecoded(url.substr(5));
    if (!decoded) {
        return std::nullopt;
    }
    const auto rest = withBackslashes(*decoded);
    std::wstring_view view = rest;
    if (view.starts_with(L"\\\\")) {
        view.remove_prefix(2);
        if (startsWithIgnoringCase(view, L"localhost\\")) {
            view.remove_prefix(10);
        }
    }
    while (view.starts_with(L'\\') && hasDrive(view.substr(1))) {
        view.remove_prefix(1);
    }
    if (hasDrive(view)) {
        std::wstring path(view);
        path[1] = L':';
        return path;
    }
    const auto server = view.find_first_not_of(L'\\');
    if (server == std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto unc = view.substr(server);
    return driveOfLoopbackShare(unc).value_or(L"\\\\" + std::wstring(unc));
}

ScriptAddress classifyScriptAddress(std::wstring_view address) {
    if (address.empty()) {
        return {};
    }
    if (startsWithIgnoringCase(address, L"data:")) {
        return {ScriptAddressKind::Data, {}};
    }
    if (startsWithIgnoringCase(address, L"file:")) {
        return {ScriptAddressKind::File, windowsPathOfFileUrl(address).value_or(L"")};
    }
    return {ScriptAddressKind::Other, {}};
}

std::wstring normalisedPath(std::wstring_view path) {
    const auto text = withBackslashes(path);
    std::wstring_view rest = text;
    if (rest.starts_with(L"\\\\?\\") || rest.starts_with(L"\\\\.\\")) {
        rest.remove_prefix(4);
    }
    std::wstring root;
    std::size_t fixedComponents = 0;
    if (hasDrive(rest)) {
        root = rest.substr(0, 2);
        rest.remove_prefix(2);
    } else if (rest.starts_with(L"\\\\")) {
        root = L"\\";
        fixedComponents = 2;  // server and share
    }
    const bool relative = root.empty() && !rest.starts_with(L'\\');
    std::vector<std::wstring_view> components;
    while (!rest.empty()) {
        const auto end = rest.find(L'\\');
        const auto component = withoutTrailingDotsAndSpaces(rest.substr(0, end));
        rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
        if (component.empty() || component == L".") {
            continue;
        }
        if (component == L"..") {
            if (components.size() > fixedComponents) {
                components.pop_back();
            }
            continue;
        }
        components.push_back(component);
    }
    std::wstring result = root;
    for (const auto component : components) {
        if (!relative || result.size() > root.size()) {
            result += L'\\';
        }
        result += component;
    }
    return result;
}

std::wstring comparablePath(std::wstring_view path) {
    return foldedCase(normalisedPath(path));
}

bool liesInAnyFolder(std::wstring_view path, std::span<const std::wstring> folders) {
    const auto wanted = foldedCase(normalisedPath(path));
    for (const auto& folder : folders) {
        const auto base = foldedCase(normalisedPath(folder));
        if (!base.empty() && wanted.starts_with(base) &&
            (wanted.size() == base.size() || wanted[base.size()] == L'\\')) {
            return true;
        }
    }
    return false;
}

}  // namespace tovask
