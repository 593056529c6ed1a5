#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/report/FailureLog.h"
#include "repair/report/Finding.h"

namespace tovask {

// What an entry of an allow list declares one's own, by the keyword that
// starts its line (see docs/allow-list.md).
enum class AllowedThing {
    Page,
    SearchEngine,
    Extension,
    ProxyServer,
    ProxyScript,
    DnsServer,
    HostsName,
    ShortcutArgument,
    Task,
    StartupCommand,
    RootCertificate,
};

struct AllowEntry {
    AllowedThing thing = AllowedThing::Page;
    std::wstring value;  // as written, without the blanks around it

    bool operator==(const AllowEntry&) const = default;
};

// One line of a list: "<keyword> <value>", an entry; a blank line or one
// that starts with '#' is none.
struct AllowLine {
    std::optional<AllowEntry> entry;
    // Why the line is no entry, where it is neither blank nor a comment.
    std::wstring_view mistake{};
};

AllowLine readAllowLine(std::wstring_view line);

// What the organisation and the person declare their own. A finding is
// allowed when an entry of its subject's thing covers everything it sets:
// addresses by scheme, host, port and path prefix, proxies by host and port,
// DNS servers as addresses, the rest as written, case aside.
class AllowList {
  public:
    void add(AllowEntry entry) { entries_.push_back(std::move(entry)); }
    bool allows(const Finding& finding) const;
    // Marks what the list allows, listed and never repaired: each finding an
    // entry covers, and a lock that only switches its neighbours on when every
    // address of its subject in the same policies is allowed.
    void markAllowed(std::vector<Finding>& findings) const;
    // Whether a HOSTS entry's name is on the list, for the HOSTS rule to ask;
    // it refers to this list.
    std::function<bool(std::string_view name)> hostNameRule() const;
    const std::vector<AllowEntry>& entries() const { return entries_; }

  private:
    bool allowsAny(AllowedThing thing, std::wstring_view found) const;

    std::vector<AllowEntry> entries_;
};

// Adds the entries of a list's text, line by line; each line that is no
// entry is one failure naming the source and the line, and the rest apply.
void addAllowLines(AllowList& list, std::wstring_view source, std::wstring_view text,
                   FailureLog& failures);

}  // namespace tovask
