#pragma once

#include <string_view>

namespace tovask {

// The maker group's two sites. They live under the reserved "example" domain.
inline constexpr std::wstring_view ForumSiteUrl = L"http://foro.pelandra.example";
inline constexpr std::wstring_view InfoSiteUrl = L"http://info.kestomar.example";

// What the link labels show: the host names of the two sites and the forum
// site's domain name.
inline constexpr std::wstring_view kForumHostName = L"foro.pelandra.example";
inline constexpr std::wstring_view kInfoHostName = L"info.kestomar.example";
inline constexpr std::wstring_view kForumDomainName = L"pelandra.example";

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
