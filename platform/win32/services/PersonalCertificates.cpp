#include "platform/win32/services/PersonalCertificates.h"

#include <windows.h>

#include <wincrypt.h>

#include <array>
#include <optional>
#include <string>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {
namespace {

constexpr std::size_t kThumbprintBytes = 20;

using OpenStore = HCERTSTORE(WINAPI*)(LPCSTR, DWORD, HCRYPTPROV_LEGACY, DWORD, const void*);
using CloseStore = BOOL(WINAPI*)(HCERTSTORE, DWORD);
using FindCertificate = PCCERT_CONTEXT(WINAPI*)(HCERTSTORE, DWORD, DWORD, DWORD, const void*,
                                                PCCERT_CONTEXT);
using FreeCertificate = BOOL(WINAPI*)(PCCERT_CONTEXT);
using GetProperty = BOOL(WINAPI*)(PCCERT_CONTEXT, DWORD, void*, DWORD*);

// The certificate functions, from the library loaded only for the run that
// asks, so that the program does not load it at every start.
struct CertificateLibrary {
    OpenStore openStore = nullptr;
    CloseStore closeStore = nullptr;
    FindCertificate findCertificate = nullptr;
    FreeCertificate freeCertificate = nullptr;
    GetProperty getProperty = nullptr;
};

Result<CertificateLibrary> certificateFunctions(const LoadedLibrary& library) {
    const CertificateLibrary crypt{
        findExport<OpenStore>(library, "CertOpenStore"),
        findExport<CloseStore>(library, "CertCloseStore"),
        findExport<FindCertificate>(library, "CertFindCertificateInStore"),
        findExport<FreeCertificate>(library, "CertFreeCertificateContext"),
        findExport<GetProperty>(library, "CertGetCertificateContextProperty")};
    if (!crypt.openStore || !crypt.closeStore || !crypt.findCertificate || !crypt.freeCertificate ||
        !crypt.getProperty) {
        return errorFromCode(ERROR_PROC_NOT_FOUND);
    }
    return crypt;
}

// One open store, closed with the library's own function.
class OpenedStore {
  public:
    OpenedStore(const CertificateLibrary& crypt, HCERTSTORE store) : crypt_(crypt), store_(store) {}
    OpenedStore(const OpenedStore&) = delete;
    OpenedStore& operator=(const OpenedStore&) = delete;
    ~OpenedStore() { crypt_.closeStore(store_, 0); }

    HCERTSTORE get() const { return store_; }

  private:
    const CertificateLibrary& crypt_;
    HCERTSTORE store_;
};

std::optional<std::array<BYTE, kThumbprintBytes>> thumbprintBytes(std::wstring_view hex) {
    if (hex.size() != 2 * kThumbprintBytes) {
        return std::nullopt;
    }
    std::array<BYTE, kThumbprintBytes> bytes{};
    for (std::size_t i = 0; i < hex.size(); ++i) {
        const wchar_t digit = hex[i];
        int value = -1;
        if (digit >= L'0' && digit <= L'9') {
            value = digit - L'0';
        } else if (digit >= L'A' && digit <= L'F') {
            value = digit - L'A' + 10;
        } else if (digit >= L'a' && digit <= L'f') {
            value = digit - L'a' + 10;
        }
        if (value < 0) {
            return std::nullopt;
        }
        bytes[i / 2] = static_cast<BYTE>(bytes[i / 2] * 16 + value);
    }
    return bytes;
}

Result<bool> storeHoldsKeyedCertificate(const CertificateLibrary& crypt, DWORD location,
                                        const std::wstring& storeName,
                                        std::array<BYTE, kThumbprintBytes>& thumbprint) {
    const HCERTSTORE store = crypt.openStore(
        CERT_STORE_PROV_SYSTEM_W, 0, 0,
        location | CERT_STORE_READONLY_FLAG | CERT_STORE_OPEN_EXISTING_FLAG, storeName.c_str());
    if (store == nullptr) {
        const auto error = lastError();
        return isNotFound(error) ? Result<bool>(false) : Result<bool>(error);
    }
    const OpenedStore opened(crypt, store);
    CRYPT_HASH_BLOB hash{kThumbprintBytes, thumbprint.data()};
    const PCCERT_CONTEXT certificate =
        crypt.findCertificate(opened.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                              CERT_FIND_SHA1_HASH, &hash, nullptr);
    if (certificate == nullptr) {
        return false;
    }
    // Where the private key is kept: present for every key the machine holds,
    // whichever provider keeps it.
    DWORD size = 0;
    const bool keyed =
        crypt.getProperty(certificate, CERT_KEY_PROV_INFO_PROP_ID, nullptr, &size) != FALSE;
    crypt.freeCertificate(certificate);
    return keyed;
}

}  // namespace

Result<bool> hasCertificateWithKey(std::wstring_view thumbprint, std::wstring_view userSid) {
    auto bytes = thumbprintBytes(thumbprint);
    if (!bytes) {
        return errorFromCode(ERROR_INVALID_PARAMETER);
    }
    // Loaded at the first question and kept: a check asks once for each
    // trusted root.
    static const auto library = loadSystemLibrary(L"crypt32.dll");
    if (!library.ok()) {
        return library.error();
    }
    const auto crypt = certificateFunctions(library.value());
    if (!crypt.ok()) {
        return crypt.error();
    }
    const auto machine =
        storeHoldsKeyedCertificate(crypt.value(), CERT_SYSTEM_STORE_LOCAL_MACHINE, L"MY", *bytes);
    if (!machine.ok() || machine.value() || userSid.empty()) {
        return machine;
    }
    return storeHoldsKeyedCertificate(crypt.value(), CERT_SYSTEM_STORE_USERS,
                                      std::wstring(userSid) + L"\\MY", *bytes);
}

}  // namespace tovask::win32
