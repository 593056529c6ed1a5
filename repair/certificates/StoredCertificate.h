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

// The blob is a list of records (property number, encoding, length, bytes),
// the encoded certificate among them. None when it holds no certificate, two
// different ones, or a record that runs past its end.
std::optional<StoredCertificate> readStoredCertificate(std::span<const std::uint8_t> blob);

// The SHA-1 of the encoded certificate, 40 upper-case hexadecimal digits: how
// Windows names the certificate's key, whatever the blob's own properties say.
std::wstring thumbprintOf(std::string_view encoded);

// The subject's common name, else its organisation or unit; empty when the
// certificate names none that can be read.
std::wstring subjectNameOf(std::string_view encoded);

}  // namespace tovask
