#include <string>
#include <vector>

#include "app/window/Form1.h"
#include "app/window/controls/Controls.h"
#include "app/window/drawing/BodyTextLayout.h"
#include "repair/texts/ProgramTexts.h"
#include "resources/ResourceIds.h"

// The About panel, opened over the whole window and closed again, and the
// exit button.
namespace tovask::app {
namespace {

constexpr TwipsRect kOpenedPanel{0, 0, 5985, 5460};

// The paragraph that ends in "en", for the forum link to carry on.
constexpr std::wstring_view kSupportParagraph = texts::kAboutBodyLines[4];
static_assert(kSupportParagraph.ends_with(L" en"));

// Where the links go in the panel when the body text cannot be measured: the
// places that fit the text as the design's own font breaks it.
struct TwipsPoint {
    int left;
    int top;
};
constexpr TwipsPoint kInfoLinkInGap{1090, 1110};
constexpr TwipsPoint kForumLinkInGap{2890, 1110};
constexpr TwipsPoint kForumLinkAfterParagraph{1360, 2470};

RECT placeInContainer(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A link laid over a gap of the text stands in its middle.
int centredLeft(const RowSpan& gap, HWND link) {
    const RECT place = placeInContainer(link);
    return gap.left + (gap.right - gap.left - (place.right - place.left)) / 2;
}

// The About panel's terms of use as one caption: its lines joined by CR LF
// pairs, none after the last.
std::wstring aboutBodyText() {
    std::wstring body;
    bool first = true;
    for (const std::wstring_view line : texts::kAboutBodyLines) {
        if (!first) {
            body += L"\r\n";
        }
        body += line;
        first = false;
    }
    return body;
}

}  // namespace

void Form1::btnacerca_Click() {
    // Decoded on the first opening: the imaging component costs start-up time
    // and memory that most runs never need. Not while painting, where the
    // component's own window messages would run inside the paint.
    if (!logoInfo2_.bitmap) {
        logoInfo2_ = loadGifPicture(instance_, IDR_LOGO_INFO2);
    }
    const std::wstring caption(texts::kAboutWindowCaption);
    SetWindowTextW(window_, caption.c_str());
    HWND panel = control(ControlId::Picture1);
    const RECT opened = toPixels(kOpenedPanel, dpi_);
    SetWindowPos(panel, nullptr, opened.left, opened.top, opened.right - opened.left,
                 opened.bottom - opened.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const std::wstring body = aboutBodyText();
    placeLinksInBody(body);
    setCaption(ControlId::LabelCuerpo, body);
    // Only now does any of it show, at once and in its final arrangement.
    ShowWindow(panel, SW_SHOW);
    // The button that opened the panel lies under it now.
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus) && liesUnderPanel(focus, panel)) {
        SetFocus(control(ControlId::btnTovask));
    }
}

void Form1::btnTovask_Click() {
    HWND panel = control(ControlId::Picture1);
    const bool focusOnPanel = IsChild(panel, GetFocus()) != FALSE;
    ShowWindow(panel, SW_HIDE);
    // Back to the button that opens the panel, as a dialog gives the focus
    // back to the button that opened it.
    if (focusOnPanel) {
        SetFocus(control(ControlId::btnacerca));
    }
}

void Form1::btnsalir_Click() {
    windowOps_.EndProgram();
}

// The links sit in the text as the body label really breaks it with the font
// this system has: over the two gaps of blanks left for them and one blank
// after the last word of the support paragraph.
void Form1::placeLinksInBody(std::wstring_view body) {
    // Auto-size labels: as large as their captions really are in this font,
    // so that a link is centred on its gap by its text.
    for (const ControlId link :
         {ControlId::LabelInfo1, ControlId::LabelForo1, ControlId::LabelForo2}) {
        setCaption(link, windowText(control(link)));
    }
    const BodyTextLayout layout(control(ControlId::LabelCuerpo), body);
    const std::vector<RowSpan> gaps = layout.blankRuns(texts::kLinkGapBlanks);
    const std::optional<RowSpan> closing = layout.afterParagraph(kSupportParagraph);
    const RECT text = placeInContainer(control(ControlId::LabelCuerpo));
    const auto inPanel = [&](int left, const RowSpan& row) {
        return POINT{text.left + left, text.top + row.top};
    };
    const auto designed = [&](const TwipsPoint& place) {
        return POINT{twipsToPixels(place.left, dpi_), twipsToPixels(place.top, dpi_)};
    };
    if (gaps.size() == 2) {
        moveControl(ControlId::LabelInfo1,
                    inPanel(centredLeft(gaps[0], control(ControlId::LabelInfo1)), gaps[0]));
        moveControl(ControlId::LabelForo1,
                    inPanel(centredLeft(gaps[1], control(ControlId::LabelForo1)), gaps[1]));
    } else {
        moveControl(ControlId::LabelInfo1, designed(kInfoLinkInGap));
        moveControl(ControlId::LabelForo1, designed(kForumLinkInGap));
    }
    moveControl(ControlId::LabelForo2,
                closing ? inPanel(closing->left, *closing) : designed(kForumLinkAfterParagraph));
}

void Form1::moveControl(ControlId id, POINT topLeft) {
    SetWindowPos(control(id), nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tovask::app
