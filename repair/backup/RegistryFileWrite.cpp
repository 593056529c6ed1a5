#include "repair/backup/RegistryFile.h"

#include <algorithm>
#include <cstdint>

#include "repair/backup/RegistryFileFormat.h"
#include "text/TextCompare.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

// The registry editor wraps long hex data so that no line exceeds this.
constexpr std::size_t kMaxLineLength = 80;
constexpr std::wstring_view kContinuationIndent = L"  ";

std::uint16_t unitAt(const std::vector<std::uint8_t>& bytes, std::size_t unit) {
    return static_cast<std::uint16_t>(bytes[2 * unit] | bytes[2 * unit + 1] << 8);
}

wchar_t lowerHexDigit(std::uint32_t value) {
    return L"0123456789abcdef"[value & 0xF];
}

std::wstring hexNumber(std::uint32_t value) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), lowerHexDigit(value));
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
        digits.push_back(lowerHexDigit(value >> shift));
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
        std::wstring token{lowerHexDigit(bytes[i] >> 4), lowerHexDigit(bytes[i])};
        if (!last) {
            token.push_back(L',');
        }
        const std::size_t needed = token.size() + (last ? 0 : 1);
        if (i > 0 && length + needed > kMaxLineLength) {
            lines.append(line).append(L"\\").append(kRegistryFileLineEnd);
            line = kContinuationIndent;
            length = line.size();
        }
        line += token;
        length += token.size();
    }
    return lines.append(line).append(kRegistryFileLineEnd);
}

std::wstring entryLines(const RegistryFileEntry& entry) {
    std::wstring line = entry.name.empty() ? L"@=" : quoted(entry.name) + L"=";
    if (!entry.value) {
        return line.append(L"-").append(kRegistryFileLineEnd);
    }
    const auto& [type, bytes] = *entry.value;
    if (type == regtype::kString) {
        if (const auto text = plainStringText(bytes)) {
            return line.append(quoted(*text)).append(kRegistryFileLineEnd);
        }
    }
    if (type == regtype::kDword && bytes.size() == 4) {
        return line.append(dwordText(bytes)).append(kRegistryFileLineEnd);
    }
    return wrappedHexLines(line + hexPrefix(type), bytes);
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
    text.append(kRegistryFileHeader).append(kRegistryFileLineEnd).append(kRegistryFileLineEnd);
    for (const auto& section : sections) {
        text.append(section.removesKey ? L"[-" : L"[").append(section.key).append(L"]");
        text.append(kRegistryFileLineEnd);
        for (const auto& entry : section.entries) {
            text.append(entryLines(entry));
        }
        text.append(kRegistryFileLineEnd);
    }
    text.append(kRegistryFileEnd).append(kRegistryFileLineEnd);
    return std::string(kRegistryFileByteOrderMark) + toUtf16LeBytes(text);
}

void addToSection(std::vector<RegistryFileSection>& sections, std::wstring key,
                  RegistryFileEntry entry) {
    const auto same = std::ranges::find_if(sections, [&](const RegistryFileSection& section) {
        return equalsIgnoringCase(section.key, key);
    });
    if (same != sections.end()) {
        same->entries.push_back(std::move(entry));
    } else {
        sections.push_back({std::move(key), false, {std::move(entry)}});
    }
}

void addKeyTree(std::vector<RegistryFileSection>& sections, const std::wstring& fileKey,
                const RegistryKeyContent& content) {
    RegistryFileSection section{fileKey, false, {}};
    for (const auto& value : content.values) {
        section.entries.push_back({value.name, value.value});
    }
    sections.push_back(std::move(section));
    for (const auto& subkey : content.subkeys) {
        addKeyTree(sections, fileKey + L"\\" + subkey.name, subkey);
    }
}

}  // namespace tovask
