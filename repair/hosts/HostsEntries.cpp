#include "repair/hosts/HostsEntries.h"

#include <algorithm>
#include <optional>

#include "repair/addresses/IpAddress.h"

namespace tovask {
namespace {

// The update and security sites hijackers block so that the machine can be
// neither updated nor cleaned; a name counts when it is one of them or under
// one. Sources: Microsoft's lists of the endpoints Windows Update and
// Delivery Optimization must reach through a firewall or proxy, Microsoft's
// "Configure and validate Microsoft Defender Antivirus network connections",
// and each antivirus vendor's own list of the hosts its updater and its
// product downloads use (Kaspersky, ESET, Avast and AVG, Norton, McAfee,
// Bitdefender, Trend Micro, Sophos, Malwarebytes, F-Secure, Avira, Panda).
constexpr std::string_view kSecuritySites[] = {
    // Windows Update and Microsoft Update.
    "windowsupdate.com",
    "windowsupdate.microsoft.com",
    "update.microsoft.com",
    "delivery.mp.microsoft.com",
    "download.microsoft.com",
    "wustat.windows.com",
    // Microsoft Defender's signatures, cloud protection and SmartScreen.
    "definitionupdates.microsoft.com",
    "wdcp.microsoft.com",
    "wdcpalt.microsoft.com",
    "wd.microsoft.com",
    "smartscreen.microsoft.com",
    "smartscreen-prod.microsoft.com",
    // The large antivirus vendors: their sites and their update hosts.
    "kaspersky.com",
    "kaspersky-labs.com",
    "eset.com",
    "avast.com",
    "avg.com",
    "avcdn.net",
    "norton.com",
    "symantec.com",
    "symantecliveupdate.com",
    "mcafee.com",
    "bitdefender.com",
    "bitdefender.net",
    "trendmicro.com",
    "sophos.com",
    "sophosupd.com",
    "malwarebytes.com",
    "mbamupdates.com",
    "f-secure.com",
    "avira.com",
    "avira-update.com",
    "pandasecurity.com",
};

// Last labels that never reach the Internet: the special-use names of
// multicast DNS (.local), of loopback (localhost), ICANN's reserved
// .internal, and the home-router names .lan and .home.arpa.
constexpr std::string_view kPrivateLastLabels[] = {"local", "internal", "lan", "localhost"};
constexpr std::string_view kHomeArpa = "home.arpa";
constexpr std::string_view kLoopbackName = "localhost";

constexpr std::string_view kHostsLineBlanks = " \t\r\v\f";
constexpr std::size_t kLongestShownEntry = 200;

// The fields of one line, one at a time: a hostile line of millions of
// fields is walked, never held.
class Fields {
  public:
    explicit Fields(std::string_view line) : rest_(line.substr(0, line.find('#'))) {}

    std::optional<std::string_view> next() {
        const auto start = rest_.find_first_not_of(kHostsLineBlanks);
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        rest_.remove_prefix(start);
        const auto end = std::min(rest_.find_first_of(kHostsLineBlanks), rest_.size());
        const auto field = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return field;
    }

  private:
    std::string_view rest_;
};

// A reader of C strings stops at a NUL byte: what follows is no part of the
// field for it.
std::string_view beforeNul(std::string_view field) {
    return field.substr(0, field.find('\0'));
}

std::string asciiLowered(std::string_view text) {
    std::string lowered(text);
    for (auto& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

// Loopback or a block: nothing leaves the machine. Any spelling the system's
// lenient reader takes ("127.1", "0x7f000001") is read as it reads it.
bool staysOnTheMachine(std::string_view field) {
    // No address is this long: a hostile field of megabytes is not widened.
    constexpr std::size_t kLongestAddress = 64;
    if (field.size() > kLongestAddress) {
        return false;
    }
    const std::wstring text(field.begin(), field.end());
    if (const auto ipv4 = parseLenientIpv4(text)) {
        return *ipv4 == 0 || inIpv4Range(*ipv4, 0x7f000000, 8);
    }
    const auto ipv6 = parseIpv6(text);
    return ipv6 && (*ipv6 == Ipv6Address{} || *ipv6 == Ipv6Address{0, 0, 0, 0, 0, 0, 0, 1});
}

bool isUnder(std::string_view name, std::string_view site) {
    return name == site || (name.size() > site.size() && name.ends_with(site) &&
                            name[name.size() - site.size() - 1] == '.');
}

// Without the Public Suffix List: a name of two labels or more is under some
// public suffix or is one, unless its last label is one of the private ones
// above, which no list of public suffixes holds either, or is a number (an
// address, which no suffix ends in). Whether the name is a suffix itself does
// not matter here: sending it elsewhere is still sending a name on the Internet.
bool isPublicName(std::string_view name) {
    const auto lastDot = name.rfind('.');
    if (lastDot == std::string_view::npos) {
        return false;
    }
    const auto lastLabel = name.substr(lastDot + 1);
    return !lastLabel.empty() &&
           !std::ranges::all_of(lastLabel, [](char c) { return c >= '0' && c <= '9'; }) &&
           std::ranges::find(kPrivateLastLabels, lastLabel) == std::end(kPrivateLastLabels) &&
           !isUnder(name, kHomeArpa);
}

bool isSecuritySite(std::string_view name) {
    return std::ranges::any_of(kSecuritySites,
                               [&](std::string_view site) { return isUnder(name, site); });
}

// As names compare: ASCII case folded, without the root's final dot.
std::string comparableName(std::string_view field) {
    auto name = asciiLowered(beforeNul(field));
    if (name.ends_with('.')) {
        name.pop_back();
    }
    return name;
}

enum class LineVerdict { NoEntry, Counts, Allowed, UsersOwn };

LineVerdict verdictOf(std::string_view line, const AllowedHostName& allowed) {
    Fields fields(line);
    const auto address = fields.next();
    auto name = fields.next();
    if (!name) {
        return LineVerdict::NoEntry;  // a line without a name maps nothing
    }
    const bool staysHere = staysOnTheMachine(beforeNul(*address));
    bool onlyLoopbackNames = staysHere;
    bool countsButAllowed = false;
    for (; name; name = fields.next()) {
        const auto comparable = comparableName(*name);
        if (staysHere ? isSecuritySite(comparable) : isPublicName(comparable)) {
            if (!allowed || !allowed(comparable)) {
                return LineVerdict::Counts;
            }
            countsButAllowed = true;
        }
        onlyLoopbackNames = onlyLoopbackNames && isUnder(comparable, kLoopbackName);
    }
    if (countsButAllowed) {
        return LineVerdict::Allowed;
    }
    // Windows' own "127.0.0.1 localhost" is nobody's choice.
    return onlyLoopbackNames ? LineVerdict::NoEntry : LineVerdict::UsersOwn;
}

// Each line with its line end, if it has one: the last one may not.
template <typename EachLine>
void forEachLine(std::string_view content, EachLine eachLine) {
    while (!content.empty()) {
        const auto end = std::min(content.find('\n'), content.size() - 1) + 1;
        eachLine(content.substr(0, end));
        content.remove_prefix(end);
    }
}

std::string_view withoutLineEnd(std::string_view line) {
    return line.ends_with('\n') ? line.substr(0, line.size() - 1) : line;
}

}  // namespace

HostsEntries judgeHostsEntries(std::string_view content, const AllowedHostName& allowed) {
    HostsEntries entries;
    forEachLine(content, [&](std::string_view line) {
        line = withoutLineEnd(line);
        switch (verdictOf(line, allowed)) {
            case LineVerdict::Counts:
                entries.counting.push_back(line);
                break;
            case LineVerdict::Allowed:
                ++entries.allowed;
                break;
            case LineVerdict::UsersOwn:
                ++entries.usersOwn;
                break;
            case LineVerdict::NoEntry:
                break;
        }
    });
    return entries;
}

std::string withoutCountingEntries(std::string_view content, const AllowedHostName& allowed) {
    std::string kept;
    forEachLine(content, [&](std::string_view line) {
        if (verdictOf(withoutLineEnd(line), allowed) != LineVerdict::Counts) {
            kept.append(line);
        }
    });
    return kept;
}

std::wstring shownHostsEntry(std::string_view line) {
    std::wstring shown;
    Fields fields(line);
    for (auto field = fields.next(); field && shown.size() < kLongestShownEntry;
         field = fields.next()) {
        if (!shown.empty()) {
            shown += L' ';
        }
        for (const char c : field->substr(0, kLongestShownEntry)) {
            shown += c >= 0x20 && c < 0x7f ? static_cast<wchar_t>(c) : L'?';
        }
    }
    if (shown.size() > kLongestShownEntry) {
        shown.resize(kLongestShownEntry);
        shown += L"…";
    }
    return shown;
}

}  // namespace tovask
