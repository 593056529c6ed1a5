#pragma once

#include <string_view>

namespace tovask {

// Whether the program listening where a proxy points is one published as an
// advertiser's proxy, by its file name (the table and its sources are in
// AdwareProxies.cpp).
bool isKnownAdwareProxy(std::wstring_view programPath);

}  // namespace tovask
