#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/MouseFixture.h"

namespace tovask::ui_test {
namespace {

// Text drawn by the test itself, black on white, in a given label's font, the
// way a plain left-aligned label wraps it at a given width.
class Rendering {
  public:
    Rendering(HWND label, const std::wstring& text, int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        RECT area{0, 0, width, height};
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        lineHeight_ = metrics.tmHeight;
        SIZE blank{};
        GetTextExtentPoint32W(dc, L" ", 1, &blank);
        blankWidth_ = blank.cx;
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(source, source + pixels_.size());
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    int width() const { return width_; }
    int lineHeight() const { return lineHeight_; }
    int blankWidth() const { return blankWidth_; }

    bool inkAt(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ &&
               (pixels_[static_cast<std::size_t>(y * width_ + x)] & 0xFFFFFF) != 0xFFFFFF;
    }
    bool inkInColumn(int x, int top, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            if (inkAt(x, y)) {
                return true;
            }
        }
        return false;
    }
    bool inkIn(const RECT& area) const {
        for (int x = area.left; x < area.right; ++x) {
            if (inkInColumn(x, area.top, area.bottom)) {
                return true;
            }
        }
        return false;
    }
    // The nearest column with ink left of x, or -1.
    int inkLeftOf(int x, int top, int bottom) const {
        while (--x >= 0 && !inkInColumn(x, top, bottom)) {
        }
        return x;
    }
    // The nearest column with ink right of x, or the width.
    int inkRightOf(int x, int top, int bottom) const {
        while (++x < width_ && !inkInColumn(x, top, bottom)) {
        }
        return x;
    }
    // The columns of the word's ink, first and last.
    std::pair<int, int> inkColumns() const {
        const int first = inkRightOf(-1, 0, height_);
        return {first, inkLeftOf(width_, 0, height_)};
    }
    // Whether the columns from x on, in the rows from top on, show exactly
    // the ink of this word.
    bool shows(const Rendering& word, int x, int top) const {
        const auto [first, last] = word.inkColumns();
        for (int column = first; column <= last; ++column) {
            for (int row = 0; row < word.height_; ++row) {
                if (inkAt(x + column - first, top + row) != word.inkAt(column, row)) {
                    return false;
                }
            }
        }
        return true;
    }

  private:
    int width_;
    int height_;
    int lineHeight_ = 0;
    int blankWidth_ = 0;
    std::vector<std::uint32_t> pixels_;
};

class LinkPlacementTest : public MouseTest {
  protected:
    void SetUp() override {
        MouseTest::SetUp();
        openAboutPanel();
        HWND body = control(ControlId::LabelCuerpo);
        RECT client{};
        GetClientRect(body, &client);
        rendering_ =
            std::make_unique<Rendering>(body, windowText(body), client.right, client.bottom);
    }

    // The link's rectangle in the body label's client area.
    RECT overBody(ControlId link) const {
        RECT place{};
        GetWindowRect(control(link), &place);
        MapWindowPoints(HWND_DESKTOP, control(ControlId::LabelCuerpo),
                        reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    Rendering word(const std::wstring& text) const {
        return Rendering(control(ControlId::LabelCuerpo), text, 40, rendering_->lineHeight());
    }
    const Rendering& body() const { return *rendering_; }

  private:
    std::unique_ptr<Rendering> rendering_;
};

struct GapLink {
    ControlId link;
    std::wstring wordBefore;
    std::wstring wordAfter;
};

class GapLinkTest : public LinkPlacementTest, public ::testing::WithParamInterface<GapLink> {};

TEST_P(GapLinkTest, LinkLiesOnTheBlanksBetweenItsTwoWords) {
    const RECT link = overBody(GetParam().link);
    const int rowHeight = body().lineHeight();
    EXPECT_EQ(link.top % rowHeight, 0);
    EXPECT_EQ(link.bottom - link.top, rowHeight);
    EXPECT_FALSE(body().inkIn(link));

    const int before = body().inkLeftOf(link.left, link.top, link.bottom);
    const int after = body().inkRightOf(link.right - 1, link.top, link.bottom);
    ASSERT_GE(before, 0);
    ASSERT_LT(after, body().width());
    const int gap = static_cast<int>(body().blankWidth() * 37);
    EXPECT_GE(after - before - 1, gap);
    EXPECT_LE(after - before - 1, gap + 2 * body().blankWidth());

    const Rendering wordBefore = word(GetParam().wordBefore);
    const Rendering wordAfter = word(GetParam().wordAfter);
    const auto [first, last] = wordBefore.inkColumns();
    EXPECT_TRUE(body().shows(wordBefore, before - (last - first), link.top));
    EXPECT_TRUE(body().shows(wordAfter, after, link.top));
}

INSTANTIATE_TEST_SUITE_P(TwoGaps, GapLinkTest,
                         ::testing::Values(GapLink{ControlId::LabelInfo1, L"(", L"y"},
                                           GapLink{ControlId::LabelForo1, L"y", L")"}),
                         [](const auto& info) { return controlName(info.param.link); });

TEST_F(LinkPlacementTest, ForumLinkCarriesTheSupportParagraphOnAfterItsLastWord) {
    const RECT link = overBody(ControlId::LabelForo2);
    const int rowHeight = body().lineHeight();
    EXPECT_EQ(link.top % rowHeight, 0);
    EXPECT_EQ(link.bottom - link.top, rowHeight);

    const int before = body().inkLeftOf(link.left, link.top, link.bottom);
    ASSERT_GE(before, 0);
    EXPECT_LE(link.left - before - 1, 2 * body().blankWidth());
    const Rendering en = word(L"en");
    const auto [first, last] = en.inkColumns();
    EXPECT_TRUE(body().shows(en, before - (last - first), link.top));

    EXPECT_EQ(body().inkRightOf(link.left - 1, link.top, link.bottom), body().width());
    EXPECT_FALSE(body().inkIn({0, link.bottom, body().width(), link.bottom + rowHeight}));
}

}  // namespace
}  // namespace tovask::ui_test
