#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovask {

// What a finding beyond Internet Explorer is about.
enum class FindingKind {
    BrowserPolicy,
    Network,
    Shortcut,
    BrowserDebugger,
    LocalPolicyFile,
    IeRestriction,
    RegistryExtension,
    ProfilePreference,
    Startup,
    InterceptionRoot,
    IeSurface,
};

// What a finding is about, whichever kind found it, for a script to tell
// them apart without reading the words.
enum class FindingSubject {
    Setting,
    HomePage,
    SearchEngine,
    NewTabPage,
    StartupPages,
    ForcedExtension,
    ExtensionFromFolder,
    ExtensionKey,
    ProxyServer,
    ProxyScript,
    DnsServer,
    ShortcutArgument,
    StartupCommand,
    TaskAction,
    Debugger,
    Restriction,
    RootCertificate,
    PolicyFile,
    DeviceEnrollment,
    SearchScope,
    HelperObject,
    ZoneEntry,
    ZoneSetting,
    NetworkProvider,
};

// Its name in the run's JSON: "homePage", "proxyServer".
std::wstring_view subjectName(FindingSubject subject);

// The hives of a lock in the registry's policy keys, or those a local policy
// file that could not be read writes into, so that such a file is tied to
// every lock it may put back.
enum class PolicyHives { None, Machine, Users };

// What a kind established as fact while it judged a finding, for a later
// kind to act on. One kind's finding reaches another only through this,
// never through `holds`: that is text for the user, and the enemy's values
// flow into it.
struct FindingEvidence {
    // The program found listening where a proxy or its script points.
    std::vector<std::wstring> servingPrograms;
    // The folders a browser's command line has it load extensions from, as read.
    std::vector<std::wstring> extensionFolders;
    // The policy a lock or a local policy file's entry sets: its key under the
    // hive and its value ("SOFTWARE\Policies\Google\Chrome\HomepageLocation").
    std::wstring policyValue{};
    // What a lock's value holds, as read.
    std::wstring policyData{};
    // The policies a lock lies among, as the backup names them (a browser's
    // policy key in one hive, or a policy file's): one browser's locks share it.
    std::wstring policyRoot{};
    // The lock carries no address of its own: it says how the addresses of
    // its neighbours in the same policies apply (see switchesItsNeighbours).
    bool switchesNeighbours = false;
    // What a start-up entry runs, as read: its command line and the script it
    // carries encoded, if any.
    std::wstring runs{};
    // The browser extension it installs, by its id.
    std::wstring extensionId{};
    // What it sets, as read, for an allow list to match by its subject: an
    // address (a page, a search engine, a proxy script), a proxy setting, a DNS
    // server each, an extension's id, a shortcut's arguments, a task's path,
    // a start-up command, a certificate's thumbprint.
    std::vector<std::wstring> sets{};
    // What the repair leaves in its place where it rewrites it (a shortcut's
    // arguments); none where the repair takes the thing away.
    std::optional<std::wstring> repairedTo{};

    bool operator==(const FindingEvidence&) const = default;
};

// What became of a finding, as the run reports it.
enum class Outcome { Repaired, NotRepaired, Left };

// Which finding: the same for the same thing on the same machine from run to
// run, as derived from its kind and its place (see Finding::id).
struct FindingId {
    std::uint64_t value = 0;

    auto operator<=>(const FindingId&) const = default;
};

// Sixteen hexadecimal digits, for the report a script reads.
std::wstring idText(FindingId id);

// A finding's name in plain words, made of its kind's words and what it
// found: "<what>[ «<name>»][ <how>][: <value>]", as "Página de inicio
// impuesta: http://..." or "Acceso directo «Google Chrome» del Escritorio abre
// http://...". `what` and `how` are the program's own texts; `name` and
// `value` are read from the machine. Without `what`, the words its subject
// has (see FindingWords).
struct FindingTitle {
    std::wstring_view what{};
    // The thing's own name, where it has one: a shortcut's, a task's.
    std::wstring name{};
    // Words after the name that lead to the value: "del Escritorio abre".
    std::wstring_view how{};
    // What it sets or runs: an address, a proxy, an extension, a subject.
    std::wstring value{};

    bool operator==(const FindingTitle&) const = default;
};

// Something found that keeps a setting from the user: where it is, named as
// the backup names it, what it holds, and whether this run may repair it.
struct Finding {
    FindingKind kind = FindingKind::BrowserPolicy;
    std::wstring group;  // what the report groups it under: the browser
    std::wstring place;
    std::wstring holds;  // for people: never read back
    bool repairable = true;
    PolicyHives hives = PolicyHives::None;
    FindingEvidence evidence{};
    // Which of the things in its place it is, where a place holds several.
    std::wstring entry{};
    // The findings it puts back, or that put it back, as the run ties them.
    std::vector<FindingId> putsBack{};
    std::vector<FindingId> putBackBy{};
    FindingSubject subject = FindingSubject::Setting;
    FindingTitle title{};
    // Declared its own by the organisation or the person (see AllowList):
    // listed, never repaired nor counted.
    bool allowed = false;

    // Its kind, its subject, its place and its entry, the names compared as
    // Windows compares them: two findings of one run never share it unless
    // they are the same thing.
    FindingId id() const;

    bool operator==(const Finding&) const = default;
};

// The finding, said to be about `subject`.
Finding withSubject(FindingSubject subject, Finding finding);

// The finding of the run with that id, if any.
const Finding* findingWithId(std::span<const Finding> findings, FindingId id);

std::vector<Finding> repairableOnly(std::span<const Finding> findings);

std::vector<FindingId> idsOf(std::span<const Finding> findings);

// Whether a finding stays once the user chose: report-only ones always do.
bool isKept(const Finding& finding, std::span<const FindingId> chosen);

}  // namespace tovask
