#include "platform/win32/services/PersonalCertificates.h"

#include <windows.h>

#include <wincrypt.h>

#include <array>
#include <string>
#include <vector>

#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::win32 {
namespace {

constexpr std::size_t kThumbprintBytes = 20;

using OpenStore = HCERTSTORE(WINAPI*)(LPCSTR, DWORD, HCRYPTPROV_LEGACY, DWORD, const void*);
using CloseStore = BOOL(WINAPI*)(HCERTSTORE, DWORD);
using EnumCertificates = PCCERT_CONTEXT(WINAPI*)(HCERTSTORE, PCCERT_CONTEXT);
using FreeCertificate = BOOL(WINAPI*)(PCCERT_CONTEXT);
using GetProperty = BOOL(WINAPI*)(PCCERT_CONTEXT, DWORD, void*, DWORD*);

// The certificate functions, from the library loaded only for the run that
// asks, so that the program does not load it at every start.
struct CertificateLibrary {
    OpenStore openStore = nullptr;
    CloseStore closeStore = nullptr;
    EnumCertificates enumCertificates = nullptr;
    GetProperty getProperty = nullptr;
};

Result<CertificateLibrary> certificateFunctions(const LoadedLibrary& library) {
    const CertificateLibrary crypt{
        findExport<OpenStore>(library, "CertOpenStore"),
        findExport<CloseStore>(library, "CertCloseStore"),
        findExport<EnumCertificates>(library, "CertEnumCertificatesInStore"),
        findExport<GetProperty>(library, "CertGetCertificateContextProperty")};
    if (!crypt.openStore || !crypt.closeStore || !crypt.enumCertificates || !crypt.getProperty) {
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

std::wstring hexOf(const std::array<BYTE, kThumbprintBytes>& bytes) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (const BYTE byte : bytes) {
        hex += {kDigits[byte >> 4], kDigits[byte & 0xf]};
    }
    return hex;
}

// Adds the thumbprint of each certificate of the store that has its key.
std::error_code addKeyedCertificates(const CertificateLibrary& crypt, DWORD location,
                                     const std::wstring& storeName,
                                     std::vector<std::wstring>& thumbprints) {
    const HCERTSTORE store = crypt.openStore(
        CERT_STORE_PROV_SYSTEM_W, 0, 0,
        location | CERT_STORE_READONLY_FLAG | CERT_STORE_OPEN_EXISTING_FLAG, storeName.c_str());
    if (store == nullptr) {
        const auto error = lastError();
        return isNotFound(error) ? std::error_code() : error;
    }
    const OpenedStore opened(crypt, store);
    // The enumeration frees each certificate as it gives the next.
    for (PCCERT_CONTEXT certificate = crypt.enumCertificates(opened.get(), nullptr);
         certificate != nullptr; certificate = crypt.enumCertificates(opened.get(), certificate)) {
        // Where the private key is kept: present for every key the machine
        // holds, whichever provider keeps it.
        DWORD size = 0;
        std::array<BYTE, kThumbprintBytes> hash{};
        DWORD hashSize = kThumbprintBytes;
        if (crypt.getProperty(certificate, CERT_KEY_PROV_INFO_PROP_ID, nullptr, &size) &&
            crypt.getProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash.data(), &hashSize) &&
            hashSize == kThumbprintBytes) {
            thumbprints.push_back(hexOf(hash));
        }
    }
    return {};
}

}  // namespace

Result<std::vector<std::wstring>> keyedCertificates(std::wstring_view userSid) {
    // Loaded at the first question and kept: a check may ask for each user.
    static const auto library = loadSystemLibrary(L"crypt32.dll");
    if (!library.ok()) {
        return library.error();
    }
    const auto crypt = certificateFunctions(library.value());
    if (!crypt.ok()) {
        return crypt.error();
    }
    std::vector<std::wstring> thumbprints;
    if (const auto error = addKeyedCertificates(crypt.value(), CERT_SYSTEM_STORE_LOCAL_MACHINE,
                                                L"MY", thumbprints)) {
        return error;
    }
    if (!userSid.empty()) {
        if (const auto error = addKeyedCertificates(crypt.value(), CERT_SYSTEM_STORE_USERS,
                                                    std::wstring(userSid) + L"\\MY", thumbprints)) {
            return error;
        }
    }
    return thumbprints;
}

}  // namespace tovask::win32
