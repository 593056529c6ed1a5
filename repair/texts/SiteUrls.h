#pragma once

#include <string_view>

namespace tovask {

// The maker group's two sites, under the reserved ".test" domain: short enough
// for the fixed-size credit line and the gaps of the About text.
inline constexpr std::wstring_view ForumSiteUrl = L"http://foro.pelandra.test";
inline constexpr std::wstring_view InfoSiteUrl = L"http://info.kestomar.test";

// What the link labels show: the host names of the two sites and the forum
// site's domain name.
inline constexpr std::wstring_view kForumHostName = L"foro.pelandra.test";
inline constexpr std::wstring_view kInfoHostName = L"info.kestomar.test";
inline constexpr std::wstring_view kForumDomainName = L"pelandra.test";

static_assert(ForumSiteUrl.ends_with(kForumHostName) && kForumHostName.ends_with(kForumDomainName));
static_assert(InfoSiteUrl.ends_with(kInfoHostName));

// The browser vendor's own defaults that the registry repair plan puts back.
inline constexpr std::wstring_view VendorSearchUrl =
    L"http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch";
inline constexpr std::wstring_view VendorDefaultPageUrl =
    L"http://go.microsoft.com/fwlink/?LinkId=69157";
inline constexpr std::wstring_view VendorCustomizeSearchUrl =
    L"http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchcust.htm";
inline constexpr std::wstring_view VendorSearchAssistantUrl =
    L"http://ie.search.msn.com/{SUB_RFC1766}/srchasst/srchasst.htm";

}  // namespace tovask
