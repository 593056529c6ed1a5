#pragma once

#include <optional>
#include <string_view>

namespace tovask {

// A root certificate published as shipped by a program that intercepts
// secure pages, with its private key known to everyone who looked.
struct InterceptingRoot {
    std::wstring_view thumbprint;  // SHA-1, upper-case hexadecimal
    std::wstring_view shippedWith;
    std::string_view source;  // where it was published
};

// The published root with this thumbprint, in either case; none for others.
std::optional<InterceptingRoot> publishedInterceptingRoot(std::wstring_view thumbprint);

}  // namespace tovask
