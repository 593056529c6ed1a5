#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "repair/network/ConnectionSettings.h"
#include "repair/network/NameResolutionRules.h"
#include "repair/report/Finding.h"

namespace tovask {

// What the report makes of one network setting.
enum class FindingWeight { None, Information, Repairable };

struct NetworkAssessment {
    FindingWeight weight = FindingWeight::None;
    std::wstring description;    // empty for None
    FindingEvidence evidence{};  // the programs found serving it
    FindingTitle title{};        // what the judgement means to the person

    bool operator==(const NetworkAssessment&) const = default;
};

// A listening socket on the machine; the path is empty when the program
// behind it could not be named.
struct LoopbackListener {
    std::uint16_t port = 0;
    std::wstring programPath;
    // The user whose logon session it runs in; empty for a service and when
    // it could not be told.
    std::wstring sessionUserSid{};
};

// What the system tells once per run, handed to every assessment.
struct NetworkFacts {
    // Then only what no organisation deploys stays repairable: a user's own
    // proxy on this machine, or a user's own script in the user's folders.
    bool managedMachine = false;
    std::vector<std::wstring> userWritableFolders;  // profile, AppData, Temp, ProgramData
    std::vector<LoopbackListener> listeners;
    // False when the sockets could not be read: no proxy is then said to
    // have nobody behind it.
    bool listenersKnown = true;
    // Only for a user who is not logged on, whose proxy program, if any, has
    // not started yet: the programs the user's start-up entries run.
    std::optional<std::vector<std::wstring>> startupPrograms;
    // The setting applies to every user: the machine's own, WinHTTP's, or the
    // system accounts'.
    bool machineWide = false;
    // A path as the file system names it (short names made long), judged
    // against the user-writable folders; the path as written where none is
    // given.
    std::function<std::wstring(std::wstring_view)> longPathOf;
    // The machine's own DNS suffixes: a script on a name in one is the
    // intranet's.
    std::vector<std::wstring> dnsSuffixes;
    // The user whose setting it is ("S-1-5-21-..."); empty for one that
    // applies to every user. A program this user started in their own logon
    // session serves a proxy of the user's own choosing.
    std::wstring personSid{};
    // Whether the start-up rules find the program a hijack in itself: none
    // finds none.
    std::function<bool(std::wstring_view program)> isStartupFinding{};
};

// A proxy that is switched on: repairable when it is on a loopback address
// where nothing listens, or where the listening program is published as an
// advertiser's proxy (isKnownAdwareProxy), is a start-up finding in itself,
// or lives in a folder the user can write, save where the person started it
// in their own logon session: then it stays, information naming the program.
// Information otherwise. For a user who is not logged on, where nothing
// listens, the start-up programs stand for the listener: repairable when
// there is none or one lies in a folder the user can write.
NetworkAssessment assessProxy(std::wstring_view proxyServer, const NetworkFacts& facts);

// A script address that is switched on: repairable for data:, for a file:
// address in a folder the user can write, for an http: or https: address
// on a loopback address that assessProxy would repair as a proxy, and on a
// machine that is not managed for one on an Internet host (isInternetHost);
// information otherwise.
NetworkAssessment assessScriptAddress(std::wstring_view address, const NetworkFacts& facts);

enum class DnsSource { Static, Dhcp };

// Static servers in a hijackers' range are repairable (withoutHijackerServers);
// any other server, and every server DHCP hands out, is information.
NetworkAssessment assessNameServers(std::wstring_view value, DnsSource source,
                                    const NetworkFacts& facts);

// A rule that sends names on the Internet (reachesInternetNames) to DNS
// servers of its own is repairable; one without servers, or only for the
// intranet's names, is no finding.
NetworkAssessment assessNameResolutionRule(const NameResolutionRule& rule,
                                           const NetworkFacts& facts);

// A Winsock provider's library, its environment references expanded, that is
// not one of Windows' own in `systemFolder`: information, never repaired,
// saying how the person removes it; none for Windows' own.
NetworkAssessment assessWinsockProvider(std::wstring_view library, std::wstring_view protocol,
                                        std::wstring_view systemFolder, const NetworkFacts& facts);

// The binary connection settings, judged on the entries their flags switch on.
struct ConnectionAssessment {
    NetworkAssessment proxy;
    NetworkAssessment script;

    // What repairedConnectionSettings takes away.
    ClearedEntries cleared() const;
};

ConnectionAssessment assessConnectionSettings(const ConnectionSettings& settings,
                                              const NetworkFacts& facts);
NetworkAssessment assessWinHttpSettings(const WinHttpSettings& settings, const NetworkFacts& facts);

}  // namespace tovask
