#include "repair/certificates/RootCertificates.h"

#include <algorithm>
#include <map>
#include <optional>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/certificates/CertificateTexts.h"
#include "repair/certificates/InterceptingRoots.h"
#include "repair/certificates/StoredCertificate.h"
#include "repair/policykeys/PolicyKeyContent.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// A store of trusted roots kept in the registry, one key a certificate named
// by its thumbprint: the physical stores that make up the machine's Root
// (.Default, .GroupPolicy, .Enterprise, .AuthRoot) and those of each user,
// where Windows documents them.
struct RootStore {
    std::wstring_view key;  // below the hive
    bool inUsersHives;
};

constexpr RootStore kRootStores[] = {
    {L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates", true},
    {L"Software\\Policies\\Microsoft\\SystemCertificates\\Root\\Certificates", true},
    {L"Software\\Microsoft\\EnterpriseCertificates\\Root\\Certificates", false},
    {L"Software\\Microsoft\\SystemCertificates\\AuthRoot\\Certificates", true},
};
constexpr std::wstring_view kBlob = L"Blob";

bool isThumbprint(std::wstring_view name) {
    return name.size() == 40 && std::ranges::all_of(name, [](wchar_t c) {
               return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') ||
                      (c >= L'a' && c <= L'f');
           });
}

class RootStoreScan {
  public:
    RootStoreScan(PlatformOps& platform, bool managedMachine, FailureLog& failures)
        : platform_(platform), managedMachine_(managedMachine), failures_(failures) {}

    // `keyOwner` is the user whose personal store may hold the key: none
    // for the machine's roots.
    void scan(const KeyPlace& store, std::wstring_view keyOwner) {
        const auto storePath = platformKeyPath(store);
        const auto tree = platform_.RegReadTree(storePath, store.view);
        if (!tree.ok()) {
            if (!isNotFound(tree.error())) {
                failures_.add(storePath, tree.error());
            }
            return;
        }
        // Every key counts, whatever its name: the certificate is what its blob holds.
        for (const auto& entry : tree.value().subkeys) {
            const auto* blob = findValue(entry, kBlob);
            const auto stored = blob ? readStoredCertificate(blob->value.bytes)
                                     : std::optional<StoredCertificate>();
            if (!stored) {
                failures_.add(storePath + entry.name, std::wstring(texts::kUnreadableCertificate));
                continue;
            }
            KeyPlace place{store.root, store.key + L"\\" + entry.name, store.view};
            if (auto judged = judge(entry.name, *stored, keyOwner)) {
                auto fileKey = fileKeyName(place.root, place.key, place.view);
                auto finding = withSubject(
                    FindingSubject::RootCertificate,
                    {FindingKind::InterceptionRoot, std::wstring(texts::kGroup), std::move(fileKey),
                     std::move(judged->holds), judged->repairable && !managedMachine_});
                finding.title = {.what = judged->what, .value = std::move(judged->named)};
                finding.evidence.sets = {std::move(judged->thumbprint)};
                found.push_back({std::move(place), entry, std::move(finding)});
            }
        }
    }

    std::vector<InterceptionRoot> found;

  private:
    // What the report says of the root, and whether it is repairable: one
    // published as an interceptor's, under any key named as a thumbprint (the
    // undo puts back no other). A root whose private key is kept here, and a
    // key not named by its certificate's thumbprint, are only reported; any
    // other root is not listed.
    struct Judged {
        std::wstring holds;
        std::wstring named;  // its subject, or its thumbprint where it names none
        bool repairable;
        std::wstring_view what;  // none where it is published as an interceptor's
        std::wstring thumbprint;
    };

    std::optional<Judged> judge(std::wstring_view keyName, const StoredCertificate& stored,
                                std::wstring_view keyOwner) {
        const auto thumbprint = thumbprintOf(stored.encoded);
        std::vector<std::wstring> reasons;
        const auto published = publishedInterceptingRoot(thumbprint);
        if (published) {
            reasons.push_back(std::wstring(texts::kPublishedReason) +
                              std::wstring(published->shippedWith));
        } else if (stored.namesKey || isKeyed(keyOwner, thumbprint)) {
            reasons.emplace_back(texts::kKeyHereReason);
            if (!stored.keyContainer.empty()) {
                reasons.back() += std::wstring(texts::kKeyContainerPrefix) + stored.keyContainer;
            }
        }
        if (!equalsIgnoringCase(keyName, thumbprint)) {
            reasons.push_back(std::wstring(texts::kOtherNameReason) + thumbprint);
        }
        if (reasons.empty()) {
            return std::nullopt;
        }
        auto named = subjectNameOf(stored.encoded);
        named = named.empty() ? thumbprint : named;
        auto holds = named + L": " + reasons.front();
        for (std::size_t i = 1; i < reasons.size(); ++i) {
            holds += L"; " + reasons[i];
        }
        return Judged{std::move(holds), std::move(named), published && isThumbprint(keyName),
                      published ? std::wstring_view() : texts::kMayReadTitle, thumbprint};
    }

    bool isKeyed(std::wstring_view owner, std::wstring_view thumbprint) {
        return std::ranges::any_of(keyedCertificatesOf(owner), [&](const std::wstring& keyed) {
            return equalsIgnoringCase(keyed, thumbprint);
        });
    }

    // Asked once for each owner: a store holds hundreds of roots. A store
    // that cannot be read is a failure and holds no key for the scan.
    const std::vector<std::wstring>& keyedCertificatesOf(std::wstring_view owner) {
        const auto known = keyed_.find(owner);
        if (known != keyed_.end()) {
            return known->second;
        }
        auto keyed = platform_.KeyedCertificates(owner);
        if (!keyed.ok()) {
            failures_.add(owner.empty()
                              ? std::wstring(texts::kPersonalStore)
                              : std::wstring(texts::kPersonalStore) + L" " + std::wstring(owner),
                          keyed.error());
        }
        return keyed_
            .emplace(std::wstring(owner),
                     keyed.ok() ? std::move(keyed.value()) : std::vector<std::wstring>())
            .first->second;
    }

    PlatformOps& platform_;
    bool managedMachine_;
    FailureLog& failures_;
    std::map<std::wstring, std::vector<std::wstring>, std::less<>> keyed_;
};

}  // namespace

std::vector<InterceptionRoot> findInterceptionRoots(PlatformOps& platform,
                                                    std::span<const std::wstring> userHives,
                                                    bool managedMachine, FailureLog& failures) {
    RootStoreScan scan(platform, managedMachine, failures);
    for (const auto& store : kRootStores) {
        for (const auto view :
             viewsFor(RegistryRoot::LocalMachine, store.key, platform.HasTwoRegistryViews())) {
            scan.scan({RegistryRoot::LocalMachine, std::wstring(store.key), view}, {});
        }
    }
    std::optional<std::wstring> programUser;
    for (const std::wstring_view hive : userHives) {
        for (const auto& store : kRootStores) {
            if (!store.inUsersHives) {
                continue;
            }
            const auto place = hivePlace(hive, store.key);
            if (place.root == RegistryRoot::Users) {
                scan.scan(place, place.key.substr(0, place.key.find(L'\\')));
                continue;
            }
            if (!programUser) {
                const auto sid = platform.ProgramUserSid();
                programUser = sid.ok() ? sid.value() : std::wstring();
            }
            scan.scan(place, *programUser);
        }
    }
    return std::move(scan.found);
}

bool withinRootStoreReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = accountSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    const std::wstring_view key = sectionKey->key;
    return std::ranges::any_of(kRootStores, [&](const RootStore& store) {
        const auto prefix = std::wstring(store.key) + L"\\";
        return (store.inUsersHives || sectionKey->root == RegistryRoot::LocalMachine) &&
               key.size() > prefix.size() &&
               equalsIgnoringCase(key.substr(0, prefix.size()), prefix) &&
               isThumbprint(key.substr(prefix.size()));
    });
}

}  // namespace tovask
