#include "repair/network/ConnectionSettings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tovask {
namespace {

// Reads little-endian numbers and counted strings, never past the end.
class BlobReader {
  public:
    explicit BlobReader(std::span<const std::uint8_t> blob) : blob_(blob) {}

    std::optional<std::uint32_t> number() {
        if (left() < 4) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | blob_[offset_ + static_cast<std::size_t>(i)];
        }
        offset_ += 4;
        return value;
    }

    std::optional<std::string> text() {
        const auto length = number();
        if (!length || *length > left()) {
            return std::nullopt;
        }
        const auto start = blob_.begin() + static_cast<std::ptrdiff_t>(offset_);
        offset_ += *length;
        return std::string(start, start + static_cast<std::ptrdiff_t>(*length));
    }

    std::vector<std::uint8_t> rest() const {
        return {blob_.begin() + static_cast<std::ptrdiff_t>(offset_), blob_.end()};
    }

  private:
    std::size_t left() const { return blob_.size() - offset_; }

    std::span<const std::uint8_t> blob_;
    std::size_t offset_ = 0;
};

void appendUint32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void appendText(std::vector<std::uint8_t>& out, const std::string& text) {
    appendUint32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// Both blobs are three numbers, some counted strings and opaque trailing data.
template <std::size_t kTexts>
bool decodeInto(std::span<const std::uint8_t> blob, std::array<std::uint32_t*, 3> numbers,
                std::array<std::string*, kTexts> texts, std::vector<std::uint8_t>& trailing) {
    BlobReader reader(blob);
    for (auto* number : numbers) {
        const auto value = reader.number();
        if (!value) {
            return false;
        }
        *number = *value;
    }
    for (auto* text : texts) {
        auto value = reader.text();
        if (!value) {
            return false;
        }
        *text = std::move(*value);
    }
    trailing = reader.rest();
    return true;
}

template <std::size_t kTexts>
std::vector<std::uint8_t> encodeFrom(std::array<std::uint32_t, 3> numbers,
                                     std::array<const std::string*, kTexts> texts,
                                     const std::vector<std::uint8_t>& trailing) {
    std::vector<std::uint8_t> out;
    for (const auto number : numbers) {
        appendUint32(out, number);
    }
    for (const auto* text : texts) {
        appendText(out, *text);
    }
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

std::error_code cannotDecode() {
    return std::make_error_code(std::errc::illegal_byte_sequence);
}

}  // namespace

Result<ConnectionSettings> decodeConnectionSettings(std::span<const std::uint8_t> blob) {
    ConnectionSettings s;
    if (!decodeInto<3>(blob, {&s.version, &s.counter, &s.flags},
                       {&s.proxyServer, &s.bypassList, &s.scriptAddress}, s.trailing)) {
        return cannotDecode();
    }
    return s;
}

std::vector<std::uint8_t> encodeConnectionSettings(const ConnectionSettings& s) {
    return encodeFrom<3>({s.version, s.counter, s.flags},
                         {&s.proxyServer, &s.bypassList, &s.scriptAddress}, s.trailing);
}

ConnectionSettings repairedConnectionSettings(const ConnectionSettings& settings,
                                              ClearedEntries cleared) {
    auto repaired = settings;
    repaired.flags = connectionflags::kDirect | connectionflags::kAutoDetect;
    repaired.counter = settings.counter + 1;
    // An entry that is not cleared is a legitimate one and stays switched on.
    const auto keep = [&](bool clear, std::string& entry, std::uint32_t flag) {
        if (clear) {
            entry.clear();
        } else {
            repaired.flags |= settings.flags & flag;
        }
    };
    keep(cleared.proxyServer, repaired.proxyServer, connectionflags::kProxy);
    keep(cleared.scriptAddress, repaired.scriptAddress, connectionflags::kAutoConfigScript);
    return repaired;
}

Result<WinHttpSettings> decodeWinHttpSettings(std::span<const std::uint8_t> blob) {
    WinHttpSettings s;
    if (!decodeInto<2>(blob, {&s.version, &s.counter, &s.accessType},
                       {&s.proxyServer, &s.bypassList}, s.trailing)) {
        return cannotDecode();
    }
    return s;
}

std::vector<std::uint8_t> encodeWinHttpSettings(const WinHttpSettings& s) {
    return encodeFrom<2>({s.version, s.counter, s.accessType}, {&s.proxyServer, &s.bypassList},
                         s.trailing);
}

WinHttpSettings directWinHttpSettings(const WinHttpSettings& settings) {
    return {settings.version, settings.counter + 1, winhttpaccess::kDirect, {}, {}, {}};
}

std::wstring widenedText(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    std::ranges::transform(text, wide.begin(), [](char c) {
        return static_cast<wchar_t>(static_cast<unsigned char>(c));
    });
    return wide;
}

}  // namespace tovask
