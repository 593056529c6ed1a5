#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// The templates of a DNS-over-HTTPS policy ("https://dns.example/dns-query{?dns}",
// several separated by blanks) whose server is none of the resolvers the
// browsers themselves offer, in order: a policy that names such a server
// sends every name the browser looks up to whoever runs it.
std::vector<std::wstring> unknownDohResolvers(std::wstring_view templates);

}  // namespace tovask
