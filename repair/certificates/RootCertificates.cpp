#include "repair/certificates/RootCertificates.h"

#include <algorithm>
#include <map>
#include <optional>

#include "repair/backup/RegistryKeyNames.h"
#include "repair/certificates/CertificateTexts.h"
#include "repair/certificates/InterceptingRoots.h"
#include "repair/certificates/StoredCertificate.h"
#include "repair/policies/PolicyKeyContent.h"
#include "text/TextCompare.h"

namespace tovask {
namespace {

// The trusted roots' store, kept in the registry, one key a certificate
// named by its SHA-1 thumbprint; the same path in the machine's hive and in
// each user's.
constexpr std::wstring_view kRootStore =
    L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates";
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
        for (const auto& entry : tree.value().subkeys) {
            if (!isThumbprint(entry.name)) {
                continue;
            }
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
                found.push_back({std::move(place),
                                 entry,
                                 {FindingKind::InterceptionRoot, std::wstring(texts::kGroup),
                                  std::move(fileKey), std::move(judged->first),
                                  judged->second && !managedMachine_}});
            }
        }
    }

    std::vector<InterceptionRoot> found;

  private:
    // What the report says of the root and whether it is repairable; none
    // for a root that is neither published nor keyed here.
    std::optional<std::pair<std::wstring, bool>> judge(std::wstring_view thumbprint,
                                                       const StoredCertificate& stored,
                                                       std::wstring_view keyOwner) {
        auto subject = subjectNameOf(stored.encoded);
        if (subject.empty()) {
            subject = thumbprint;
        }
        if (const auto published = publishedInterceptingRoot(thumbprint)) {
            return std::pair(subject + std::wstring(texts::kPublishedInfix) +
                                 std::wstring(published->shippedWith),
                             true);
        }
        if (stored.namesKey) {
            auto holds = subject + std::wstring(texts::kKeyHereInfix);
            if (!stored.keyContainer.empty()) {
                holds += std::wstring(texts::kKeyContainerPrefix) + stored.keyContainer;
            }
            return std::pair(std::move(holds), false);
        }
        const auto& keyed = keyedCertificatesOf(keyOwner);
        if (!std::ranges::any_of(keyed, [&](const std::wstring& keyedThumbprint) {
                return equalsIgnoringCase(keyedThumbprint, thumbprint);
            })) {
            return std::nullopt;
        }
        return std::pair(subject + std::wstring(texts::kKeyHereInfix), false);
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
    for (const auto view :
         viewsFor(RegistryRoot::LocalMachine, kRootStore, platform.HasTwoRegistryViews())) {
        scan.scan({RegistryRoot::LocalMachine, std::wstring(kRootStore), view}, {});
    }
    std::optional<std::wstring> programUser;
    for (const std::wstring_view hive : userHives) {
        const auto store = hivePlace(hive, kRootStore);
        if (store.root == RegistryRoot::Users) {
            scan.scan(store, store.key.substr(0, store.key.find(L'\\')));
            continue;
        }
        if (!programUser) {
            const auto sid = platform.ProgramUserSid();
            programUser = sid.ok() ? sid.value() : std::wstring();
        }
        scan.scan(store, *programUser);
    }
    return std::move(scan.found);
}

bool withinRootStoreReach(const RegistryFileSection& section, bool hasTwoViews) {
    const auto sectionKey = accountSectionKey(section, hasTwoViews);
    if (!sectionKey) {
        return false;
    }
    const std::wstring_view key = sectionKey->key;
    const auto prefix = std::wstring(kRootStore) + L"\\";
    return key.size() > prefix.size() && equalsIgnoringCase(key.substr(0, prefix.size()), prefix) &&
           isThumbprint(key.substr(prefix.size()));
}

}  // namespace tovask
