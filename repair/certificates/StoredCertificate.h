#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovask {

// A certificate as a store kept in the registry holds it: its "Blob" value
// lists the certificate's properties, the certificate itself among them.
struct StoredCertificate {
    std::string encoded;  // the certificate, DER-encoded
    // Whether the store names a private key of this machine for it, and the
    // key's container when that can be read.
    bool namesKey = false;
    std::wstring keyContainer;
};

// None when the blob holds no certificate or runs past its end.
std::optional<StoredCertificate> readStoredCertificate(std::span<const std::uint8_t> blob);

// The subject's common name, else its organisation or unit; empty when the
// certificate names none that can be read.
std::wstring subjectNameOf(std::string_view encoded);

}  // namespace tovask
