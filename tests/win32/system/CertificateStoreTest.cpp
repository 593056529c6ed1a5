#include <windows.h>

#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "repair/certificates/StoredCertificate.h"
#include "tests/win32/TestRegistry.h"

namespace tovask {
namespace {

// A self-signed certificate, subject "CN=Tovask Prueba, O=Tovask".
constexpr char kCertificateBase64[] =
    "MIIBpzCCAU2gAwIBAgIUY/d6/SaJ7iQBdVXlvRhKrzxXIlAwCgYIKoZIzj0EAwIwKTEWMBQGA1UE"
    "AwwNVG92YXNrIFBydWViYTEPMA0GA1UECgwGVG92YXNrMB4XDTI2MTIwODE1NTk0MVoXDTM2MTIw"
    "NTE1NTk0MVowKTEWMBQGA1UEAwwNVG92YXNrIFBydWViYTEPMA0GA1UECgwGVG92YXNrMFkwEwYH"
    "KoZIzj0CAQYIKoZIzj0DAQcDQgAEKpyTTsI2ep1i21sUXdvVt6Bp4EknsNjdqbJun3y2qlJjm27k"
    "TarQcROgE55N7cwknjhhCcQTXARubIirVG4SGKNTMFEwHQYDVR0OBBYEFBaIcT3KKHYF7bN6oLxT"
    "5JrNcYHuMB8GA1UdIwQYMBaAFBaIcT3KKHYF7bN6oLxT5JrNcYHuMA8GA1UdEwEB/wQFMAMBAf8w"
    "CgYIKoZIzj0EAwIDSAAwRQIgVpopwve42MAHWNiJ2WIoxKpJlYZTlrch0YZPIrSIl+MCIQDYj4se"
    "b9w9V+pLsyVEp6WSsI4Xldhuhsb+R4whDYO49g==";
constexpr wchar_t kThumbprint[] = L"585306E1049D911AC4E1F3C6EF7630FB02C86851";
const std::wstring kStoreKey = L"Software\\TovaskTest\\CertificateStore";

std::vector<BYTE> decodedCertificate() {
    DWORD size = 0;
    CryptStringToBinaryA(kCertificateBase64, 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr,
                         nullptr);
    std::vector<BYTE> bytes(size);
    EXPECT_TRUE(CryptStringToBinaryA(kCertificateBase64, 0, CRYPT_STRING_BASE64, bytes.data(),
                                     &size, nullptr, nullptr));
    return bytes;
}

// The system's certificate library writes a store kept in the registry as
// the scan of the trusted roots reads it: a key named by the thumbprint whose
// "Blob" holds the certificate and the key-provider property.
TEST(RegistryCertificateStoreTest, HoldsTheCertificateAsTheScanReadsIt) {
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, kStoreKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kStoreKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto certificate = decodedCertificate();
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_REG, 0, 0, 0, key);
    ASSERT_NE(store, nullptr);
    PCCERT_CONTEXT added = nullptr;
    ASSERT_TRUE(CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, certificate.data(),
                                                 static_cast<DWORD>(certificate.size()),
                                                 CERT_STORE_ADD_ALWAYS, &added));
    wchar_t container[] = L"Interceptor";
    CRYPT_KEY_PROV_INFO provider{container, nullptr, PROV_RSA_FULL, 0, 0, nullptr, AT_KEYEXCHANGE};
    EXPECT_TRUE(CertSetCertificateContextProperty(added, CERT_KEY_PROV_INFO_PROP_ID, 0, &provider));
    wchar_t subject[64]{};
    CertGetNameStringW(added, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, subject, 64);
    CertFreeCertificateContext(added);
    CertCloseStore(store, 0);
    RegCloseKey(key);

    const auto blobKey = kStoreKey + L"\\Certificates\\" + kThumbprint;
    DWORD size = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, blobKey.c_str(), L"Blob", RRF_RT_REG_BINARY, nullptr,
                           nullptr, &size),
              ERROR_SUCCESS);
    std::vector<std::uint8_t> blob(size);
    RegGetValueW(HKEY_CURRENT_USER, blobKey.c_str(), L"Blob", RRF_RT_REG_BINARY, nullptr,
                 blob.data(), &size);
    testsupport::removeKeyEverywhere(HKEY_CURRENT_USER, L"Software\\TovaskTest");

    const auto stored = readStoredCertificate(blob);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->encoded, std::string(certificate.begin(), certificate.end()));
    EXPECT_TRUE(stored->namesKey);
    EXPECT_EQ(stored->keyContainer, L"Interceptor");
    EXPECT_EQ(subjectNameOf(stored->encoded), subject);
}

}  // namespace
}  // namespace tovask
