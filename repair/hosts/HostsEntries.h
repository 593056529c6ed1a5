#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tovask {

// What the active lines of a HOSTS file do (text after a '#' is a comment;
// a line is an address, then the names it answers for).
//
// An entry counts when it sends a public name elsewhere: to an address that
// is neither loopback (127.0.0.0/8, ::1) nor a block (0.0.0.0, ::). A block
// counts only for the update and security sites that hijackers block, so
// that the person cannot mend the machine. Everything else is the person's
// own: blocks of other names (an advertising list), private names (a
// single label, or under .local, .internal, .lan, .home.arpa or localhost,
// as container tools and home networks write them).
struct HostsEntries {
    // The active lines that count, as written, without their line ends.
    std::vector<std::string_view> counting;
    // The other active lines.
    std::size_t usersOwn = 0;
    // Lines that would count but whose every such name an allow list names.
    std::size_t allowed = 0;
};

// Whether an allow list names a host name (lower-case ASCII, no final dot).
using AllowedHostName = std::function<bool(std::string_view name)>;

HostsEntries judgeHostsEntries(std::string_view content, const AllowedHostName& allowed = {});

// The content without the lines that count; every other byte stays as it
// is, with its line ends, its comments and its blank lines, in its order.
std::string withoutCountingEntries(std::string_view content, const AllowedHostName& allowed = {});

// A counting line as a person reads it: its fields without the comment, any
// byte that is not printable ASCII as '?', a very long line cut short.
std::wstring shownHostsEntry(std::string_view line);

}  // namespace tovask
