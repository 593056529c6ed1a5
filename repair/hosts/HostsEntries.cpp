#include "repair/hosts/HostsEntries.h"

#include <string>
#include <vector>

#include "repair/addresses/IpAddress.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A HOSTS file is ASCII; other bytes never make a loopback address or name.
std::wstring widened(std::string_view field) {
    return std::wstring(field.begin(), field.end());
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> fields;
    constexpr std::string_view kBlanks = " \t\r\v\f";
    for (auto start = line.find_first_not_of(kBlanks); start != std::string_view::npos;) {
        const auto end = std::min(line.find_first_of(kBlanks, start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = line.find_first_not_of(kBlanks, end);
    }
    return fields;
}

bool isLoopbackAddress(std::string_view field) {
    const auto address = parseIpAddress(widened(field));
    if (!address) {
        return false;
    }
    if (const auto* ipv4 = std::get_if<Ipv4Address>(&*address)) {
        return inIpv4Range(*ipv4, 0x7f000000, 8);
    }
    return std::get<Ipv6Address>(*address) == Ipv6Address{0, 0, 0, 0, 0, 0, 0, 1};
}

bool isLoopbackName(std::string_view field) {
    auto name = widened(field);
    if (name.ends_with(L'.')) {
        name.pop_back();
    }
    constexpr std::wstring_view kLoopback = L"localhost";
    return equalsIgnoringCase(name, kLoopback) ||
           (name.size() > kLoopback.size() && name[name.size() - kLoopback.size() - 1] == L'.' &&
            equalsIgnoringCase(std::wstring_view(name).substr(name.size() - kLoopback.size()),
                               kLoopback));
}

}  // namespace

bool redirectsNames(std::string_view content) {
    for (std::size_t start = 0; start < content.size();) {
        const auto end = std::min(content.find('\n', start), content.size());
        const auto fields = fieldsOf(content.substr(start, end - start));
        start = end + 1;
        if (fields.size() < 2) {
            continue;  // a line without a name maps nothing
        }
        if (!isLoopbackAddress(fields.front())) {
            return true;
        }
        for (std::size_t i = 1; i < fields.size(); ++i) {
            if (!isLoopbackName(fields[i])) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace tovask
