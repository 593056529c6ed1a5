#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window/drawing/GdiHandles.h"

namespace tovask::app {

// A stretch of one drawn row, in the label's client area.
struct RowSpan {
    int left;
    int right;
    int top;
};

// One row of a caption as the label draws it: its text and where it starts.
struct DrawnRow {
    std::wstring text;
    POINT origin;
};

// A caption as a plain left-aligned label draws it, with the font it really
// has: the system breaks the text into rows at the label's width, and the
// rows are recorded from the very drawing calls the label makes.
class BodyTextLayout {
  public:
    BodyTextLayout(HWND label, std::wstring_view text);
    BodyTextLayout(const BodyTextLayout&) = delete;
    BodyTextLayout& operator=(const BodyTextLayout&) = delete;

    // Where the runs of exactly these blanks lie, in reading order. Empty
    // unless every such run of the text lies whole on one row between two
    // words.
    std::vector<RowSpan> blankRuns(std::wstring_view blanks) const;
    // The place one blank after the row that ends this paragraph, for a word
    // that carries the paragraph on; nothing when the paragraph is not drawn.
    std::optional<RowSpan> afterParagraph(std::wstring_view paragraph) const;

  private:
    int widthOf(std::wstring_view text) const;

    std::wstring text_;
    std::vector<DrawnRow> rows_;
    WindowDC dc_;
    ScopedSelection font_;
};

}  // namespace tovask::app
