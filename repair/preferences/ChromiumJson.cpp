#include "repair/preferences/ChromiumJson.h"

#include "repair/policykeys/PolicyJson.h"

namespace tovask {
namespace {

// RapidJSON's own in-place stream reads on to a NUL, and its UTF-8 check
// takes every continuation byte a lead byte announces: in a text that ends
// inside a sequence it read past the end. This one reads nothing past its
// end, where it gives the NUL that ends a document and that no string holds.
// A decoded string is written over its own text, behind the reading: only a
// string that has run out of text could catch up with it, and it is refused.
class BoundedInsituStream {
  public:
    using Ch = char;

    // Reads from `start`; offsets count from `begin`.
    BoundedInsituStream(char* begin, char* start, char* end)
        : begin_(begin), end_(end), read_(start), written_(start) {}

    Ch Peek() const { return read_ == end_ ? '\0' : *read_; }
    Ch Take() { return read_ == end_ ? '\0' : *read_++; }
    std::size_t Tell() const { return static_cast<std::size_t>(read_ - begin_); }

    Ch* PutBegin() { return written_ = read_; }
    void Put(Ch c) {
        if (written_ != read_) {
            *written_++ = c;
        }
    }
    std::size_t PutEnd(const Ch* begin) const { return static_cast<std::size_t>(written_ - begin); }
    void Flush() {}

  private:
    char* begin_;
    char* end_;
    char* read_;
    char* written_;
};

}  // namespace
}  // namespace tovask

// Read through a copy, as RapidJSON reads its own in-place stream: a number
// kept as text is then found from where the copy started. The stream itself
// has then not moved while a string or number is handed over, and only the
// text's own place in the buffer tells where it lies.
template <>
struct rapidjson::StreamTraits<tovask::BoundedInsituStream> {
    enum { copyOptimization = 1 };
};

namespace tovask {
namespace {

using rapidjson::SizeType;

// Numbers come as the text they were written with.
constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag |
                            rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseInsituFlag;

// Keeps the browser's rules and hands each piece on with its place.
class RuleKeeper : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, RuleKeeper> {
  public:
    RuleKeeper(ChromiumJsonEvents& events, const BoundedInsituStream& stream, const char* text)
        : events_(events), stream_(stream), text_(text) {}

    bool sawDocument = false;

    bool StartObject() { return enter(false); }
    bool StartArray() { return enter(true); }
    bool EndObject(SizeType) { return leave(); }
    bool EndArray(SizeType) { return leave(); }

    // In place, a name's decoded text starts where its text did, past the quote.
    bool Key(const char* text, SizeType length, bool) {
        if (policyjson::holdsLoneSurrogate({text, length})) {
            return false;
        }
        events_.key({text, length}, static_cast<std::size_t>(text - text_) - 1);
        return true;
    }
    bool String(const char* text, SizeType length, bool) {
        if (policyjson::holdsLoneSurrogate({text, length})) {
            return false;
        }
        events_.string({text, length});
        return true;
    }
    bool RawNumber(const char* text, SizeType length, bool) {
        events_.number({text, length});
        return true;
    }
    bool Bool(bool value) {
        events_.boolean(value);
        return true;
    }

  private:
    bool enter(bool array) {
        if (depth_ == kChromiumDeepestNesting || (depth_ == 0 && array)) {
            return false;
        }
        ++depth_;
        sawDocument = true;
        events_.enter(array);
        return true;
    }

    // The stream has just taken the closing bracket.
    bool leave() {
        --depth_;
        events_.leave(stream_.Tell() - 1);
        return true;
    }

    ChromiumJsonEvents& events_;
    const BoundedInsituStream& stream_;
    const char* text_;
    std::size_t depth_ = 0;
};

}  // namespace

bool readChromiumJson(std::string& json, ChromiumJsonEvents& events) {
    // The reader takes a NUL for the end of the text, and would not see what follows.
    if (json.find('\0') != json.npos) {
        return false;
    }
    // Read in place, each string decoded over its own escaped text rather
    // than copied aside.
    const std::size_t byteOrderMark = json.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    char* const text = json.data();
    BoundedInsituStream stream(text, text + byteOrderMark, text + json.size());
    RuleKeeper keeper(events, stream, text);
    return !rapidjson::Reader().Parse<kFlags>(stream, keeper).IsError() && keeper.sawDocument;
}

}  // namespace tovask
