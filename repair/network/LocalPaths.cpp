#include "repair/network/LocalPaths.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "text/TextCompare.h"

namespace tovask {
namespace {

bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::optional<unsigned> hexDigit(wchar_t c) {
    if (!std::iswxdigit(static_cast<wint_t>(c))) {
        return std::nullopt;
    }
    return c <= L'9' ? static_cast<unsigned>(c - L'0')
                     : static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)) - L'a' + 10);
}

// UTF-8 as browsers percent-encode it; none on a malformed sequence. Values
// above a byte are characters the address held as they are.
std::optional<std::wstring> fromUtf8(const std::vector<unsigned>& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned lead = bytes[i];
        if (lead > 0xFF) {
            text.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        const int extra = lead < 0x80    ? 0
                          : lead >= 0xF0 ? 3
                          : lead >= 0xE0 ? 2
                          : lead >= 0xC0 ? 1
                                         : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size()) {
            return std::nullopt;
        }
        unsigned code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned next = bytes[i + static_cast<std::size_t>(k)];
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        text.push_back(static_cast<wchar_t>(code));
        i += static_cast<std::size_t>(extra) + 1;
    }
    return text;
}

std::optional<std::wstring> percentDecoded(std::wstring_view text) {
    std::vector<unsigned> bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            bytes.push_back(static_cast<unsigned>(text[i]));
            continue;
        }
        const auto high = i + 2 < text.size() ? hexDigit(text[i + 1]) : std::nullopt;
        const auto low = high ? hexDigit(text[i + 2]) : std::nullopt;
        if (!low) {
            return std::nullopt;
        }
        bytes.push_back(*high * 16 + *low);
        i += 2;
    }
    return fromUtf8(bytes);
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
    return L"\\\\" + std::wstring(view.substr(server));
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
        const auto component = rest.substr(0, end);
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
