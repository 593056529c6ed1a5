#include "repair/grouppolicy/PolicyFileFormat.h"

#include <cstdint>
#include <optional>

#include "text/Utf16.h"

namespace tovask {
namespace {

constexpr std::string_view kSignature = "PReg";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 8;
// The registry's own limits: a key path and a value name.
constexpr std::size_t kMaxKeyChars = 32767;
constexpr std::size_t kMaxValueNameChars = 16383;

class EntryReader {
  public:
    EntryReader(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    std::size_t at() const { return at_; }

    // A UTF-16 unit, or none at the end of the file.
    std::optional<char16_t> unit() {
        if (bytes_.size() - at_ < 2) {
            return std::nullopt;
        }
        const auto low = static_cast<std::uint8_t>(bytes_[at_]);
        const auto high = static_cast<std::uint8_t>(bytes_[at_ + 1]);
        at_ += 2;
        return static_cast<char16_t>(low | high << 8);
    }

    std::optional<std::uint32_t> number() {
        if (bytes_.size() - at_ < 4) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | static_cast<std::uint8_t>(bytes_[at_ + i]);
        }
        at_ += 4;
        return value;
    }

    // The text up to its NUL, which is passed; a name longer than the limit is
    // malformed, a file that ends first truncated.
    std::variant<std::wstring, PolicyFileFault> name(std::size_t limit) {
        const auto start = at_;
        for (std::size_t units = 0;; ++units) {
            const auto read = unit();
            if (!read) {
                return PolicyFileFault::Truncated;
            }
            if (*read == 0) {
                const auto text = fromUtf16LeBytes(bytes_.substr(start, at_ - 2 - start));
                return text.ok() ? std::variant<std::wstring, PolicyFileFault>(text.value())
                                 : PolicyFileFault::Malformed;
            }
            if (units == limit) {
                return PolicyFileFault::Malformed;
            }
        }
    }

    std::optional<std::string_view> take(std::uint32_t size) {
        if (bytes_.size() - at_ < size) {
            return std::nullopt;
        }
        const auto taken = bytes_.substr(at_, size);
        at_ += size;
        return taken;
    }

  private:
    std::string_view bytes_;
    std::size_t at_;
};

bool isText(std::uint32_t type) {
    return type == regtype::kString || type == regtype::kExpandString ||
           type == regtype::kMultiString;
}

// Types 0 to 11 are the registry's; a number or text of another size is not
// what its type says.
bool fitsType(std::uint32_t type, std::size_t size) {
    if (type > regtype::kQword) {
        return false;
    }
    if (type == regtype::kDword || type == 5) {
        return size == 4;
    }
    if (type == regtype::kQword) {
        return size == 8;
    }
    return !isText(type) || size % 2 == 0;
}

std::variant<PolicyFileEntry, PolicyFileFault> readEntry(EntryReader& reader) {
    const auto begin = reader.at();
    const auto expect = [&](char16_t wanted) -> std::optional<PolicyFileFault> {
        const auto read = reader.unit();
        if (!read) {
            return PolicyFileFault::Truncated;
        }
        return *read == wanted ? std::nullopt : std::optional(PolicyFileFault::Malformed);
    };
    if (const auto fault = expect(u'[')) {
        return *fault;
    }
    auto key = reader.name(kMaxKeyChars);
    if (const auto* fault = std::get_if<PolicyFileFault>(&key)) {
        return *fault;
    }
    if (const auto fault = expect(u';')) {
        return *fault;
    }
    auto valueName = reader.name(kMaxValueNameChars);
    if (const auto* fault = std::get_if<PolicyFileFault>(&valueName)) {
        return *fault;
    }
    if (const auto fault = expect(u';')) {
        return *fault;
    }
    const auto type = reader.number();
    if (!type) {
        return PolicyFileFault::Truncated;
    }
    if (const auto fault = expect(u';')) {
        return *fault;
    }
    const auto size = reader.number();
    if (!size) {
        return PolicyFileFault::Truncated;
    }
    if (const auto fault = expect(u';')) {
        return *fault;
    }
    const auto data = reader.take(*size);
    if (!data) {
        return PolicyFileFault::Truncated;
    }
    if (const auto fault = expect(u']')) {
        return *fault;
    }
    if (!fitsType(*type, *size)) {
        return PolicyFileFault::WrongType;
    }
    return PolicyFileEntry{std::get<std::wstring>(std::move(key)),
                           std::get<std::wstring>(std::move(valueName)),
                           {*type, {data->begin(), data->end()}},
                           begin,
                           reader.at()};
}

void appendUnit(std::string& bytes, char16_t unit) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
}

void appendNumber(std::string& bytes, std::uint32_t number) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>(number >> (8 * i) & 0xFF));
    }
}

}  // namespace

std::variant<std::vector<PolicyFileEntry>, PolicyFileProblem> readPolicyFile(
    std::string_view bytes) {
    EntryReader header(bytes, 0);
    if (bytes.size() < kHeaderBytes || bytes.substr(0, kSignature.size()) != kSignature) {
        return PolicyFileProblem{PolicyFileFault::NoHeader, 0};
    }
    header.take(kSignature.size());
    if (header.number() != kVersion) {
        return PolicyFileProblem{PolicyFileFault::OtherVersion, 0};
    }
    std::vector<PolicyFileEntry> entries;
    EntryReader reader(bytes, kHeaderBytes);
    while (reader.at() < bytes.size()) {
        if (entries.size() == kMaxPolicyFileEntries) {
            return PolicyFileProblem{PolicyFileFault::TooManyEntries, reader.at()};
        }
        const auto begin = reader.at();
        auto entry = readEntry(reader);
        if (const auto* fault = std::get_if<PolicyFileFault>(&entry)) {
            return PolicyFileProblem{*fault, begin};
        }
        entries.push_back(std::get<PolicyFileEntry>(std::move(entry)));
    }
    return entries;
}

std::string policyEntryBytes(std::wstring_view key, std::wstring_view valueName,
                             const RegistryValue& value) {
    std::string bytes;
    appendUnit(bytes, u'[');
    bytes += toUtf16LeBytes(key);
    appendUnit(bytes, 0);
    appendUnit(bytes, u';');
    bytes += toUtf16LeBytes(valueName);
    appendUnit(bytes, 0);
    appendUnit(bytes, u';');
    appendNumber(bytes, value.type);
    appendUnit(bytes, u';');
    appendNumber(bytes, static_cast<std::uint32_t>(value.bytes.size()));
    appendUnit(bytes, u';');
    bytes.append(value.bytes.begin(), value.bytes.end());
    appendUnit(bytes, u']');
    return bytes;
}

}  // namespace tovask
