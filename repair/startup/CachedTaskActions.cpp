#include "repair/startup/CachedTaskActions.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/Utf16.h"

namespace tovask {
namespace {

// The value, little-endian: a 16-bit version; with version 3 the principal
// the actions run as, as a counted text; then actions to its end, each a
// 16-bit type, its id as a counted text and the fields of its type. A counted
// text is a 32-bit length in bytes followed by that many bytes of UTF-16.
constexpr std::uint32_t kFirstVersion = 1;
constexpr std::uint32_t kVersionWithPrincipal = 3;  // its exec actions end in 16 bits of flags
constexpr std::uint32_t kExecAction = 0x6666;
constexpr std::uint32_t kComHandlerAction = 0x7777;
constexpr std::uint32_t kEmailAction = 0x8888;
constexpr std::uint32_t kMessageAction = 0x9999;
constexpr std::size_t kClassIdSize = 16;
constexpr std::size_t kExecFlagsSize = 2;
// From, to, cc, bcc, reply-to, server, subject and body.
constexpr std::size_t kEmailTexts = 8;
// The scheduler takes no more in one task.
constexpr std::size_t kMostActions = 32;

// Every read checks the bytes left first; a count read from the value is
// never trusted to size anything, only to end a loop that reads as it goes.
class ValueReader {
  public:
    explicit ValueReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return bytes_.empty(); }

    std::optional<std::uint32_t> number(std::size_t size) {
        if (bytes_.size() < size) {
            return std::nullopt;
        }
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < size; ++i) {
            number |= std::uint32_t{bytes_[i]} << (8 * i);
        }
        bytes_ = bytes_.subspan(size);
        return number;
    }

    bool skip(std::size_t size) {
        if (bytes_.size() < size) {
            return false;
        }
        bytes_ = bytes_.subspan(size);
        return true;
    }

    std::optional<std::wstring> text() {
        const auto taken = textBytes();
        if (!taken) {
            return std::nullopt;
        }
        auto decoded = fromUtf16LeBytes(
            std::string_view(reinterpret_cast<const char*>(taken->data()), taken->size()));
        return decoded.ok() ? std::optional(std::move(decoded).value()) : std::nullopt;
    }

    bool skipTexts(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!textBytes()) {
                return false;
            }
        }
        return true;
    }

    // A 32-bit count of entries, each of `texts` counted texts.
    bool skipCountedEntries(std::size_t texts) {
        const auto count = number(4);
        for (std::uint32_t i = 0; count && i < *count; ++i) {
            if (!skipTexts(texts)) {
                return false;
            }
        }
        return count.has_value();
    }

  private:
    std::optional<std::span<const std::uint8_t>> textBytes() {
        const auto size = number(4);
        if (!size || *size > bytes_.size()) {
            return std::nullopt;
        }
        const auto taken = bytes_.first(*size);
        bytes_ = bytes_.subspan(*size);
        return taken;
    }

    std::span<const std::uint8_t> bytes_;
};

bool readExec(ValueReader& reader, bool hasFlags, std::vector<TaskAction>& exec) {
    auto command = reader.text();
    if (!command) {
        return false;
    }
    auto arguments = reader.text();
    // The working folder is not judged.
    if (!arguments || !reader.skipTexts(1) || (hasFlags && !reader.skip(kExecFlagsSize))) {
        return false;
    }
    exec.push_back({std::move(*command), std::move(*arguments)});
    return true;
}

// An action's fields after its type and id; false when they break off, or
// for a type whose length nothing tells, so that no later action is read.
bool readFields(ValueReader& reader, std::uint32_t type, bool execHasFlags,
                std::vector<TaskAction>& exec) {
    switch (type) {
        case kExecAction:
            return readExec(reader, execHasFlags, exec);
        case kComHandlerAction:
            return reader.skip(kClassIdSize) && reader.skipTexts(1);
        case kEmailAction:  // then the attachments, then the headers' names and values
            return reader.skipTexts(kEmailTexts) && reader.skipCountedEntries(1) &&
                   reader.skipCountedEntries(2);
        case kMessageAction:  // its title and text
            return reader.skipTexts(2);
        default:
            return false;
    }
}

}  // namespace

CachedTaskActions decodeCachedTaskActions(std::span<const std::uint8_t> value) {
    CachedTaskActions decoded;
    ValueReader reader(value);
    const auto version = reader.number(2);
    if (!version || (*version != kFirstVersion && *version != kVersionWithPrincipal) ||
        (*version == kVersionWithPrincipal && !reader.skipTexts(1))) {
        return decoded;
    }
    for (std::size_t actions = 0; !reader.atEnd(); ++actions) {
        const auto type = actions < kMostActions ? reader.number(2) : std::nullopt;
        if (!type || !reader.skipTexts(1) ||
            !readFields(reader, *type, *version == kVersionWithPrincipal, decoded.exec)) {
            return decoded;
        }
    }
    decoded.whole = true;
    return decoded;
}

}  // namespace tovask
