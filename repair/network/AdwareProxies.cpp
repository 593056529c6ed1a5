#include "repair/network/AdwareProxies.h"

#include <algorithm>
#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// Programs published as adware that proxies the browser's traffic on the
// machine itself to put advertisements into its pages. Sources:
// - VisualDiscovery.exe (Superfish): F-Secure's Adware:W32/Superfish,
//   https://f-secure.com/sw-desc/adware-w32-superfish.shtml; CERT's note on
//   the interception library it is built on, https://www.kb.cert.org/vuls/id/529496;
//   the YARA rule that knows it by its proxy's functions,
//   https://github.com/Yara-Rules/rules/blob/main/malware/MALW_Lenovo_Superfish.yar
constexpr std::array<std::wstring_view, 1> kPublishedAdwareProxies = {L"VisualDiscovery.exe"};

}  // namespace

bool isKnownAdwareProxy(std::wstring_view programPath) {
    const auto name = programPath.substr(programPath.find_last_of(L"\\/") + 1);
    return std::ranges::any_of(kPublishedAdwareProxies, [&](std::wstring_view known) {
        return equalsIgnoringCase(name, known);
    });
}

}  // namespace tovask
