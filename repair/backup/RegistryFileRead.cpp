#include "repair/backup/RegistryFile.h"

#include <algorithm>
#include <cstdint>

#include "repair/backup/RegistryFileFormat.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

constexpr std::wstring_view kContinuationEnd = L",\\";

std::vector<std::uint8_t> asBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::optional<std::uint32_t> hexNumberValue(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const wchar_t c : digits) {
        const auto lower = static_cast<wchar_t>(c | 0x20);
        const bool decimal = c >= L'0' && c <= L'9';
        if (!decimal && !(lower >= L'a' && lower <= L'f')) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(decimal ? c - L'0' : lower - L'a' + 10);
    }
    return value;
}

// Takes the quoted text at the start of `rest` and leaves `rest` after it.
std::optional<std::wstring> takeQuoted(std::wstring_view& rest) {
    std::wstring text;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == L'"') {
            rest.remove_prefix(i + 1);
            return text;
        }
        if (rest[i] == L'\\') {
            ++i;
            if (i == rest.size() || (rest[i] != L'\\' && rest[i] != L'"')) {
                return std::nullopt;
            }
        }
        text.push_back(rest[i]);
    }
    return std::nullopt;
}

enum class HexRun { Ends, Continues, Bad };

// Comma-separated bytes of exactly two digits, possibly ending in ",\" when
// the data goes on in the next line.
HexRun appendHexBytes(std::wstring_view text, std::vector<std::uint8_t>& bytes) {
    while (text.size() >= 2) {
        const auto byte = hexNumberValue(text.substr(0, 2));
        if (!byte) {
            return HexRun::Bad;
        }
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        text.remove_prefix(2);
        if (text.empty()) {
            return HexRun::Ends;
        }
        if (text == kContinuationEnd) {
            return HexRun::Continues;
        }
        if (text.front() != L',') {
            return HexRun::Bad;
        }
        text.remove_prefix(1);
    }
    return HexRun::Bad;
}

std::optional<std::uint32_t> hexDataType(std::wstring_view& data) {
    constexpr std::wstring_view kBinaryPrefix = L"hex:";
    constexpr std::wstring_view kTypedPrefix = L"hex(";
    constexpr std::wstring_view kTypedEnd = L"):";
    if (data.starts_with(kBinaryPrefix)) {
        data.remove_prefix(kBinaryPrefix.size());
        return regtype::kBinary;
    }
    const auto typeEnd = data.find(kTypedEnd);
    if (!data.starts_with(kTypedPrefix) || typeEnd == std::wstring_view::npos) {
        return std::nullopt;
    }
    const auto type =
        hexNumberValue(data.substr(kTypedPrefix.size(), typeEnd - kTypedPrefix.size()));
    data.remove_prefix(typeEnd + kTypedEnd.size());
    return type;
}

// Builds the sections line by line; every refusal here is a malformed line.
class SectionReader {
  public:
    bool take(std::wstring_view line) {
        if (holdsLineBreakOrNul(line)) {
            return false;
        }
        if (continuesHexData_) {
            return takeContinuation(line);
        }
        if (line.empty() || line.front() == L';') {
            return true;
        }
        if (line.front() == L'[') {
            return takeSectionHeader(line);
        }
        return (line.front() == L'"' || line.front() == L'@') && takeEntry(line);
    }

    std::vector<RegistryFileSection> takeSections() { return std::move(sections_); }

  private:
    // The key is everything up to the last ']', which lets a key name hold ']'.
    bool takeSectionHeader(std::wstring_view line) {
        if (line.size() < 2 || line.back() != L']') {
            return false;
        }
        auto key = line.substr(1, line.size() - 2);
        const bool removesKey = key.starts_with(L'-');
        if (removesKey) {
            key.remove_prefix(1);
        }
        if (!isWritableKeyName(key)) {
            return false;
        }
        sections_.push_back({std::wstring(key), removesKey, {}});
        return true;
    }

    bool takeEntry(std::wstring_view rest) {
        if (sections_.empty() || sections_.back().removesKey) {
            return false;
        }
        RegistryFileEntry entry;
        if (rest.front() == L'@') {
            rest.remove_prefix(1);
        } else {
            auto name = takeQuoted(rest);
            if (!name) {
                return false;
            }
            entry.name = std::move(*name);
        }
        if (!rest.starts_with(L'=')) {
            return false;
        }
        rest.remove_prefix(1);
        if (rest != L"-") {
            entry.value = dataValue(rest);
            if (!entry.value) {
                return false;
            }
        }
        sections_.back().entries.push_back(std::move(entry));
        return true;
    }

    std::optional<RegistryValue> dataValue(std::wstring_view data) {
        constexpr std::wstring_view kDwordPrefix = L"dword:";
        if (data.starts_with(L'"')) {
            const auto text = takeQuoted(data);
            if (!text || !data.empty()) {
                return std::nullopt;
            }
            return RegistryValue{regtype::kString, asBytes(toUtf16LeBytes(*text + L'\0'))};
        }
        if (data.starts_with(kDwordPrefix)) {
            data.remove_prefix(kDwordPrefix.size());
            const auto number = hexNumberValue(data);
            if (data.size() != 8 || !number) {
                return std::nullopt;
            }
            return RegistryValue{
                regtype::kDword,
                {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                 static_cast<std::uint8_t>(*number >> 16),
                 static_cast<std::uint8_t>(*number >> 24)}};
        }
        const auto type = hexDataType(data);
        if (!type) {
            return std::nullopt;
        }
        RegistryValue value{*type, {}};
        const auto run = data.empty() ? HexRun::Ends : appendHexBytes(data, value.bytes);
        continuesHexData_ = run == HexRun::Continues;
        return run == HexRun::Bad ? std::nullopt : std::optional(std::move(value));
    }

    bool takeContinuation(std::wstring_view line) {
        line.remove_prefix(std::min(line.find_first_not_of(L" \t"), line.size()));
        auto& bytes = sections_.back().entries.back().value->bytes;
        const auto run = appendHexBytes(line, bytes);
        continuesHexData_ = run == HexRun::Continues;
        return run != HexRun::Bad;
    }

    std::vector<RegistryFileSection> sections_;
    bool continuesHexData_ = false;
};

struct Line {
    std::wstring_view text;
    bool terminated;
};

Line takeLine(std::wstring_view& rest) {
    const auto end = rest.find(kRegistryFileLineEnd);
    const Line line{rest.substr(0, end), end != std::wstring_view::npos};
    rest.remove_prefix(line.terminated ? end + kRegistryFileLineEnd.size() : rest.size());
    return line;
}

}  // namespace

std::variant<std::vector<RegistryFileSection>, RegistryFileProblem> readRegistryFile(
    std::string_view bytes) {
    if (bytes.size() % 2 != 0 || !bytes.starts_with(kRegistryFileByteOrderMark)) {
        return RegistryFileProblem{RegistryFileFault::NotUtf16, 0};
    }
    const auto text = fromUtf16LeBytes(bytes.substr(kRegistryFileByteOrderMark.size())).value();
    std::wstring_view rest = text;
    const auto header = takeLine(rest);
    const bool headerCutShort = !header.terminated && kRegistryFileHeader.starts_with(header.text);
    if (header.text != kRegistryFileHeader && !headerCutShort) {
        return RegistryFileProblem{RegistryFileFault::NoHeader, 1};
    }
    if (!header.terminated) {
        return RegistryFileProblem{RegistryFileFault::Truncated, 1};
    }
    SectionReader reader;
    std::size_t lineNumber = 1;
    std::wstring_view lastLine = header.text;
    while (!rest.empty()) {
        const auto line = takeLine(rest);
        ++lineNumber;
        if (!line.terminated) {
            return RegistryFileProblem{RegistryFileFault::Truncated, lineNumber};
        }
        if (!reader.take(line.text)) {
            return RegistryFileProblem{RegistryFileFault::Malformed, lineNumber};
        }
        lastLine = line.text;
    }
    // Also catches a file ending inside continued hex data: its last line ends in ",\".
    if (lastLine != kRegistryFileEnd) {
        return RegistryFileProblem{RegistryFileFault::Truncated, lineNumber};
    }
    return reader.takeSections();
}

}  // namespace tovask
