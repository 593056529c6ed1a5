#include "repair/backup/RegistryFile.h"

#include <algorithm>
#include <cstdint>

#include "text/Utf16.h"

namespace tovask {
namespace {

constexpr std::wstring_view kHeader = L"Windows Registry Editor Version 5.00";
// A file cut at a section boundary still reads as a valid file; only this last
// line tells a complete backup apart. Importers skip it as a comment.
constexpr std::wstring_view kEndMarker = L"; Fin de la copia de seguridad";
constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr std::string_view kByteOrderMark = "\xFF\xFE";
// The registry editor wraps long hex data so that no line exceeds this.
constexpr std::size_t kMaxLineLength = 80;
constexpr std::wstring_view kContinuationIndent = L"  ";
constexpr std::wstring_view kContinuationEnd = L",\\";

constexpr bool breaksLine(wchar_t c) {
    return c == L'\r' || c == L'\n' || c == L'\0';
}

bool holdsLineBreakOrNul(std::wstring_view text) {
    return std::ranges::any_of(text, breaksLine);
}

// A leading '-' would turn the section into a key removal on reading.
bool isWritableKeyName(std::wstring_view key) {
    return !key.empty() && key.front() != L'-' && key.front() != L'\\' && key.back() != L'\\' &&
           key.find(L"\\\\") == std::wstring_view::npos && !holdsLineBreakOrNul(key);
}

std::uint16_t unitAt(const std::vector<std::uint8_t>& bytes, std::size_t unit) {
    return static_cast<std::uint16_t>(bytes[2 * unit] | bytes[2 * unit + 1] << 8);
}

std::vector<std::uint8_t> asBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

wchar_t hexDigit(std::uint32_t value) {
    return L"0123456789abcdef"[value & 0xF];
}

std::wstring hexNumber(std::uint32_t value) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), hexDigit(value));
        value >>= 4;
    } while (value != 0);
    return digits;
}

std::wstring quoted(std::wstring_view text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'"') {
            out.push_back(L'\\');
        }
        out.push_back(c);
    }
    out.push_back(L'"');
    return out;
}

// The text of a REG_SZ value, when "text" reads back to exactly its bytes: one
// terminating NUL and no line break, so the line stays one line.
std::optional<std::wstring> plainStringText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = unitAt(bytes, i);
        if ((unit == 0) != (i + 1 == units) || unit == L'\r' || unit == L'\n') {
            return std::nullopt;
        }
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 2);
    return fromUtf16LeBytes(text).value();
}

std::wstring dwordText(const std::vector<std::uint8_t>& bytes) {
    const std::uint32_t value =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    std::wstring digits;
    for (int shift = 28; shift >= 0; shift -= 4) {
        digits.push_back(hexDigit(value >> shift));
    }
    return L"dword:" + digits;
}

std::wstring hexPrefix(std::uint32_t type) {
    return type == regtype::kBinary ? L"hex:" : L"hex(" + hexNumber(type) + L"):";
}

std::size_t utf16Length(std::wstring_view text) {
    return toUtf16LeBytes(text).size() / 2;
}

// Breaks only after a comma, as the registry editor does, keeping room for the
// backslash that continues the line; a name too long for the first line still
// gets one byte there.
std::wstring wrappedHexLines(std::wstring line, const std::vector<std::uint8_t>& bytes) {
    std::wstring lines;
    std::size_t length = utf16Length(line);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        std::wstring token{hexDigit(bytes[i] >> 4), hexDigit(bytes[i])};
        if (!last) {
            token.push_back(L',');
        }
        const std::size_t needed = token.size() + (last ? 0 : 1);
        if (i > 0 && length + needed > kMaxLineLength) {
            lines.append(line).append(L"\\").append(kLineEnd);
            line = kContinuationIndent;
            length = line.size();
        }
        line += token;
        length += token.size();
    }
    return lines.append(line).append(kLineEnd);
}

std::wstring entryLines(const RegistryFileEntry& entry) {
    std::wstring line = entry.name.empty() ? L"@=" : quoted(entry.name) + L"=";
    if (!entry.value) {
        return line.append(L"-").append(kLineEnd);
    }
    const auto& [type, bytes] = *entry.value;
    if (type == regtype::kString) {
        if (const auto text = plainStringText(bytes)) {
            return line.append(quoted(*text)).append(kLineEnd);
        }
    }
    if (type == regtype::kDword && bytes.size() == 4) {
        return line.append(dwordText(bytes)).append(kLineEnd);
    }
    return wrappedHexLines(line + hexPrefix(type), bytes);
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
    const auto end = rest.find(kLineEnd);
    const Line line{rest.substr(0, end), end != std::wstring_view::npos};
    rest.remove_prefix(line.terminated ? end + kLineEnd.size() : rest.size());
    return line;
}

}  // namespace

std::optional<std::wstring> firstUnwritableName(std::span<const RegistryFileSection> sections) {
    for (const auto& section : sections) {
        if (!isWritableKeyName(section.key) || (section.removesKey && !section.entries.empty())) {
            return section.key;
        }
        for (const auto& entry : section.entries) {
            if (holdsLineBreakOrNul(entry.name)) {
                return section.key + L"\\" + entry.name;
            }
        }
    }
    return std::nullopt;
}

Result<std::string> writeRegistryFile(std::span<const RegistryFileSection> sections) {
    if (firstUnwritableName(sections)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    std::wstring text;
    text.append(kHeader).append(kLineEnd).append(kLineEnd);
    for (const auto& section : sections) {
        text.append(section.removesKey ? L"[-" : L"[").append(section.key).append(L"]");
        text.append(kLineEnd);
        for (const auto& entry : section.entries) {
            text.append(entryLines(entry));
        }
        text.append(kLineEnd);
    }
    text.append(kEndMarker).append(kLineEnd);
    return std::string(kByteOrderMark) + toUtf16LeBytes(text);
}

std::variant<std::vector<RegistryFileSection>, RegistryFileProblem> readRegistryFile(
    std::string_view bytes) {
    if (bytes.size() % 2 != 0 || !bytes.starts_with(kByteOrderMark)) {
        return RegistryFileProblem{RegistryFileFault::NotUtf16, 0};
    }
    const auto text = fromUtf16LeBytes(bytes.substr(kByteOrderMark.size())).value();
    std::wstring_view rest = text;
    const auto header = takeLine(rest);
    const bool headerCutShort = !header.terminated && kHeader.starts_with(header.text);
    if (header.text != kHeader && !headerCutShort) {
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
    if (lastLine != kEndMarker) {
        return RegistryFileProblem{RegistryFileFault::Truncated, lineNumber};
    }
    return reader.takeSections();
}

}  // namespace tovask
