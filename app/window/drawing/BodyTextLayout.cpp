#include "app/window/drawing/BodyTextLayout.h"

#include <algorithm>
#include <utility>

#include "platform/win32/ScopedHandle.h"

namespace tovask::app {
namespace {

using ScopedEnhMetaFile = win32::ScopedHandle<HENHMETAFILE, &DeleteEnhMetaFile>;

// How a static label with SS_LEFT and SS_NOPREFIX lays out its caption.
constexpr UINT kLabelTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// A picture recorded as drawing calls rather than pixels; the calls can be
// read back one by one.
class Recording {
  public:
    explicit Recording(HDC reference)
        : dc_(CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr)) {}
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    ~Recording() { finish(); }

    HDC dc() const { return dc_; }
    ScopedEnhMetaFile finish() {
        return ScopedEnhMetaFile(dc_ != nullptr ? CloseEnhMetaFile(std::exchange(dc_, nullptr))
                                                : nullptr);
    }

  private:
    HDC dc_;
};

int CALLBACK collectTextOut(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM rows) {
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto& textOut = *reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             textOut.emrtext.offString);
        reinterpret_cast<std::vector<DrawnRow>*>(rows)->push_back(
            {std::wstring(chars, textOut.emrtext.nChars),
             {textOut.emrtext.ptlReference.x, textOut.emrtext.ptlReference.y}});
    }
    return 1;
}

HFONT fontOf(HWND label) {
    return reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
}

bool isBlank(wchar_t character) {
    return character == L' ';
}

// Runs of exactly these blanks with a word on either side, as offsets.
std::vector<std::size_t> enclosedRuns(std::wstring_view text, std::wstring_view blanks) {
    std::vector<std::size_t> runs;
    for (std::size_t at = text.find(blanks); at != std::wstring_view::npos;
         at = text.find(blanks, at + 1)) {
        const std::size_t end = at + blanks.size();
        if (at > 0 && !isBlank(text[at - 1]) && end < text.size() && !isBlank(text[end])) {
            runs.push_back(at);
        }
    }
    return runs;
}

}  // namespace

BodyTextLayout::BodyTextLayout(HWND label, std::wstring_view text)
    : text_(text), dc_(label), font_(dc_.get(), fontOf(label)) {
    RECT client{};
    GetClientRect(label, &client);
    Recording recording(dc_.get());
    if (recording.dc() == nullptr) {
        return;
    }
    {
        const ScopedSelection font(recording.dc(), fontOf(label));
        DrawTextW(recording.dc(), text_.c_str(), static_cast<int>(text_.size()), &client,
                  kLabelTextFormat);
    }
    const ScopedEnhMetaFile picture = recording.finish();
    EnumEnhMetaFile(nullptr, picture.get(), collectTextOut, &rows_, nullptr);
}

int BodyTextLayout::widthOf(std::wstring_view text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

std::vector<RowSpan> BodyTextLayout::blankRuns(std::wstring_view blanks) const {
    std::vector<RowSpan> spans;
    for (const DrawnRow& row : rows_) {
        for (const std::size_t at : enclosedRuns(row.text, blanks)) {
            const std::wstring_view before = std::wstring_view(row.text).substr(0, at);
            const int left = row.origin.x + widthOf(before);
            spans.push_back({left, left + widthOf(blanks), row.origin.y});
        }
    }
    if (spans.size() != enclosedRuns(text_, blanks).size()) {
        return {};
    }
    return spans;
}

// Only the last row of a paragraph is a tail of it: the rows before end
// where the paragraph goes on.
std::optional<RowSpan> BodyTextLayout::afterParagraph(std::wstring_view paragraph) const {
    const auto last = std::ranges::find_if(rows_, [&](const DrawnRow& row) {
        return !row.text.empty() && paragraph.ends_with(row.text);
    });
    if (last == rows_.end()) {
        return std::nullopt;
    }
    const int end = last->origin.x + widthOf(last->text) + widthOf(L" ");
    return RowSpan{end, end, last->origin.y};
}

}  // namespace tovask::app
