#include "repair/certificates/StoredCertificate.h"

#include <algorithm>
#include <array>

#include "repair/backup/files/Sha1.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

// Property numbers of a serialised certificate.
constexpr std::uint32_t kKeyProviderProperty = 2;
constexpr std::uint32_t kCertificateProperty = 32;

std::uint32_t littleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The key's container: the key-provider property starts with the offset of
// the container's name, a NUL-terminated UTF-16 text within the property.
std::wstring containerNameOf(std::span<const std::uint8_t> property) {
    if (property.size() < 4) {
        return {};
    }
    std::wstring name;
    // Compared without adding to the offset, which a 32-bit size_t would wrap.
    for (std::size_t at = littleEndian32(property, 0); at < property.size() - 1; at += 2) {
        const auto unit = static_cast<wchar_t>(property[at] | property[at + 1] << 8);
        if (unit == L'\0') {
            return name;
        }
        name.push_back(unit);
    }
    return {};
}

// One element of DER: its tag and its contents.
struct DerElement {
    std::uint8_t tag = 0;
    std::string_view contents;
};

// Reads the element at the front of `der` and moves past it; none when it
// runs past the end or its length is not one DER allows here.
std::optional<DerElement> takeElement(std::string_view& der) {
    if (der.size() < 2) {
        return std::nullopt;
    }
    const auto tag = static_cast<std::uint8_t>(der[0]);
    std::size_t length = static_cast<std::uint8_t>(der[1]);
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t lengthBytes = length & 0x7f;
        if (lengthBytes == 0 || lengthBytes > 4 || der.size() < 2 + lengthBytes) {
            return std::nullopt;
        }
        length = 0;
        for (std::size_t i = 0; i < lengthBytes; ++i) {
            length = length << 8 | static_cast<std::uint8_t>(der[2 + i]);
        }
        header += lengthBytes;
    }
    if (length > der.size() - header) {
        return std::nullopt;
    }
    DerElement element{tag, der.substr(header, length)};
    der.remove_prefix(header + length);
    return element;
}

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
constexpr std::uint8_t kObjectId = 0x06;
constexpr std::uint8_t kExplicitVersion = 0xa0;

std::wstring textOfString(const DerElement& value) {
    constexpr std::uint8_t kUtf8 = 0x0c;
    constexpr std::uint8_t kBmp = 0x1e;
    if (value.tag == kUtf8) {
        return wideFromUtf8(value.contents);
    }
    std::wstring text;
    if (value.tag == kBmp) {
        for (std::size_t i = 0; i + 1 < value.contents.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<std::uint8_t>(value.contents[i]) << 8 |
                                                static_cast<std::uint8_t>(value.contents[i + 1])));
        }
        return text;
    }
    // Printable, IA5 and Teletex strings: one byte a character.
    for (const char c : value.contents) {
        text.push_back(static_cast<wchar_t>(static_cast<std::uint8_t>(c)));
    }
    return text;
}

// The subject's attributes in the order a name is best given by.
constexpr std::array<std::string_view, 3> kNameAttributes = {
    std::string_view("\x55\x04\x03", 3),  // common name
    std::string_view("\x55\x04\x0a", 3),  // organisation
    std::string_view("\x55\x04\x0b", 3),  // organisational unit
};

std::optional<std::string_view> subjectOf(std::string_view der) {
    const auto certificate = takeElement(der);
    if (!certificate || certificate->tag != kSequence) {
        return std::nullopt;
    }
    auto rest = certificate->contents;
    const auto signedPart = takeElement(rest);
    if (!signedPart || signedPart->tag != kSequence) {
        return std::nullopt;
    }
    auto fields = signedPart->contents;
    if (!fields.empty() && static_cast<std::uint8_t>(fields[0]) == kExplicitVersion) {
        takeElement(fields);
    }
    // The serial number, the signature's algorithm, the issuer, the validity.
    for (int skipped = 0; skipped < 4; ++skipped) {
        if (!takeElement(fields)) {
            return std::nullopt;
        }
    }
    const auto subject = takeElement(fields);
    if (!subject || subject->tag != kSequence) {
        return std::nullopt;
    }
    return subject->contents;
}

}  // namespace

std::optional<StoredCertificate> readStoredCertificate(std::span<const std::uint8_t> blob) {
    constexpr std::size_t kHeader = 12;  // property number, encoding, length
    StoredCertificate stored;
    bool hasCertificate = false;
    for (std::size_t at = 0; at < blob.size();) {
        if (blob.size() - at < kHeader) {
            return std::nullopt;
        }
        const auto property = littleEndian32(blob, at);
        const std::size_t length = littleEndian32(blob, at + 8);
        if (length > blob.size() - at - kHeader) {
            return std::nullopt;
        }
        const auto data = blob.subspan(at + kHeader, length);
        if (property == kCertificateProperty) {
            const std::string encoded(data.begin(), data.end());
            // A second certificate could disguise the one Windows reads.
            if (hasCertificate && encoded != stored.encoded) {
                return std::nullopt;
            }
            stored.encoded = encoded;
            hasCertificate = true;
        } else if (property == kKeyProviderProperty) {
            stored.namesKey = true;
            stored.keyContainer = containerNameOf(data);
        }
        at += kHeader + length;
    }
    if (!hasCertificate) {
        return std::nullopt;
    }
    return stored;
}

std::wstring subjectNameOf(std::string_view encoded) {
    const auto subject = subjectOf(encoded);
    if (!subject) {
        return {};
    }
    std::array<std::wstring, kNameAttributes.size()> found;
    auto names = *subject;
    while (const auto relativeName = takeElement(names)) {
        if (relativeName->tag != kSet) {
            continue;
        }
        auto attributes = relativeName->contents;
        while (const auto attribute = takeElement(attributes)) {
            auto parts = attribute->contents;
            const auto type = takeElement(parts);
            const auto value = takeElement(parts);
            if (!type || type->tag != kObjectId || !value) {
                continue;
            }
            for (std::size_t i = 0; i < kNameAttributes.size(); ++i) {
                if (type->contents == kNameAttributes[i] && found[i].empty()) {
                    found[i] = textOfString(*value);
                }
            }
        }
    }
    for (const auto& name : found) {
        if (!name.empty()) {
            return name;
        }
    }
    return {};
}

std::wstring thumbprintOf(std::string_view encoded) {
    const auto digits = sha1Hex(encoded);
    std::wstring thumbprint(digits.size(), L'0');
    std::ranges::transform(digits, thumbprint.begin(), [](char digit) {
        return static_cast<wchar_t>(digit >= 'a' ? digit - 'a' + 'A' : digit);
    });
    return thumbprint;
}

}  // namespace tovask
