#include "repair/certificates/InterceptingRoots.h"

#include <algorithm>
#include <array>

#include "text/TextCompare.h"

namespace tovask {
namespace {

constexpr std::string_view kKomodiaNote = "https://www.kb.cert.org/vuls/id/529496";
constexpr std::string_view kDellAdvisory =
    "https://learn.microsoft.com/security-updates/securityadvisories/2015/3119884";
constexpr std::string_view kPrivDogNote = "https://www.kb.cert.org/vuls/id/366544";

constexpr std::array kPublishedRoots = {
    InterceptingRoot{L"C864484869D41D2B0D32319C5A62F9315AAF2CBD", L"Superfish", kKomodiaNote},
    InterceptingRoot{L"D468C4971AD856CC96F8B9B4B2D6A1B8040E26BD", L"Keep My Family Secure",
                     kKomodiaNote},
    InterceptingRoot{L"B49438B65F42E2CB43666BC23CFFE531CE7F6D46", L"Kurupira.NET", kKomodiaNote},
    InterceptingRoot{L"BE90F13A20F8DE5537BF62CFCD5B3CDEFD43B9EA", L"Kurupira.NET", kKomodiaNote},
    InterceptingRoot{L"7182D5BF77E74168D93C56C841791D1EF2D74506", L"PrivDog", kPrivDogNote},
    InterceptingRoot{L"46C50A91E5AC1E4D6D090CCA2DCD74B7FFF39040", L"PrivDog", kPrivDogNote},
    InterceptingRoot{L"98A04E4163357790C4A79E6D713FF0AF51FE6927", L"eDellRoot", kDellAdvisory},
    InterceptingRoot{L"02C2D931062D7B1DC2A5C7F5F0685064081FB221", L"DSDTestProvider",
                     kDellAdvisory},
};

}  // namespace

std::optional<InterceptingRoot> publishedInterceptingRoot(std::wstring_view thumbprint) {
    const auto found = std::ranges::find_if(kPublishedRoots, [&](const InterceptingRoot& root) {
        return equalsIgnoringCase(root.thumbprint, thumbprint);
    });
    if (found == kPublishedRoots.end()) {
        return std::nullopt;
    }
    return *found;
}

}  // namespace tovask
