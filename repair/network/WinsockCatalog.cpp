#include "repair/network/WinsockCatalog.h"

#include <algorithm>

#include "repair/network/ConnectionSettings.h"
#include "repair/paths/LocalPaths.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::size_t kPathBytes = 260;  // MAX_PATH
// szProtocol's place in WSAPROTOCOL_INFOW: after four service flags, the
// provider flags, the provider's GUID, the catalog id, the protocol chain
// (a length and seven ids), nine ints, the message size and a reserved word.
constexpr std::size_t kProtocolNameOffset = kPathBytes + 116;
constexpr std::size_t kProtocolNameChars = 256;  // WSAPROTOCOL_LEN + 1

// The transport and name-space providers Windows installs, all in its
// system folder ("netsh winsock show catalog" on a clean system): TCP/IP,
// UDP and raw sockets; Hyper-V sockets; Bluetooth; the e-mail, peer, NLA
// and directory name spaces; and the QoS and RSVP providers of older
// versions.
constexpr std::wstring_view kWindowsProviders[] = {
    L"mswsock.dll", L"hvsocket.dll", L"vsocklib.dll", L"wshbth.dll", L"napinsp.dll",
    L"pnrpnsp.dll", L"nlaapi.dll",   L"winrnr.dll",   L"wshqos.dll", L"rsvpsp.dll",
};

std::wstring protocolNameAt(std::span<const std::uint8_t> item) {
    std::wstring name;
    for (std::size_t at = kProtocolNameOffset;
         at + 1 < item.size() && name.size() < kProtocolNameChars; at += 2) {
        const auto unit = static_cast<wchar_t>(item[at] | item[at + 1] << 8);
        if (unit == L'\0') {
            return name;
        }
        name += unit;
    }
    return {};
}

}  // namespace

std::optional<PackedProvider> readPackedProvider(std::span<const std::uint8_t> item) {
    const auto path = item.first(std::min(item.size(), kPathBytes));
    const auto end = std::ranges::find(path, std::uint8_t{0});
    if (end == path.end() || end == path.begin()) {
        return std::nullopt;
    }
    const std::string text(path.begin(), end);
    return PackedProvider{widenedText(text), protocolNameAt(item)};
}

bool isWindowsProvider(std::wstring_view library, std::wstring_view systemFolder) {
    const auto path = comparablePath(library);
    const auto folder = comparablePath(systemFolder);
    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || folder.empty() || path.substr(0, slash) != folder) {
        return false;
    }
    const auto name = std::wstring_view(path).substr(slash + 1);
    return std::ranges::any_of(
        kWindowsProviders, [&](std::wstring_view own) { return equalsIgnoringCase(name, own); });
}

}  // namespace tovask
