#include "app/window/Form1.h"
#include "app/window/controls/Controls.h"
#include "repair/texts/ProgramTexts.h"

// Hover help: the details label explains the button under the pointer, and
// the site links turn orange under it and blue again where the pointer
// reaches the background around them.
namespace tovask::app {
namespace {

constexpr COLORREF kLinkOrange = RGB(255, 128, 0);

// In the order in which they turn blue again.
constexpr ControlId kPanelLinks[] = {ControlId::LabelForo1, ControlId::LabelForo2,
                                     ControlId::LabelForo3, ControlId::LabelInfo1,
                                     ControlId::LabelInfo2};

}  // namespace

void Form1::Form_MouseMove() {
    showDetails(L"");
    paintLink(ControlId::LabelLinkforo, kLinkBlue);
}

void Form1::Picture1_MouseMove() {
    turnPanelLinksBlue();
}

void Form1::LabelCuerpo_MouseMove() {
    turnPanelLinksBlue();
}

void Form1::btndesblo_MouseMove() {
    showDetails(texts::kRepairDetails);
}

void Form1::btndeshacer_MouseMove() {
    showDetails(texts::kUndoDetails);
}

void Form1::btnsalir_MouseMove() {
    showDetails(texts::kExitDetails);
}

void Form1::btnacerca_MouseMove() {
    showDetails(texts::kAboutDetails);
}

void Form1::LabelLinkforo_MouseMove() {
    paintLink(ControlId::LabelLinkforo, kLinkOrange);
}

void Form1::LabelForo1_MouseMove() {
    paintLink(ControlId::LabelForo1, kLinkOrange);
}

void Form1::LabelForo2_MouseMove() {
    paintLink(ControlId::LabelForo2, kLinkOrange);
}

void Form1::LabelForo3_MouseMove() {
    paintLink(ControlId::LabelForo3, kLinkOrange);
}

void Form1::LabelInfo1_MouseMove() {
    paintLink(ControlId::LabelInfo1, kLinkOrange);
}

// LabelInfo2 lies over LabelForo3: the pointer leaves one for the other
// without crossing any background.
void Form1::LabelInfo2_MouseMove() {
    paintLink(ControlId::LabelInfo2, kLinkOrange);
    paintLink(ControlId::LabelForo3, kLinkBlue);
}

void Form1::turnPanelLinksBlue() {
    for (const ControlId link : kPanelLinks) {
        paintLink(link, kLinkBlue);
    }
}

// The pointer moves many times a second: a text or colour that already shows
// is not set again, so that nothing is painted again for nothing.
void Form1::showDetails(std::wstring_view text) {
    if (windowText(control(ControlId::LabelDetalles)) != text) {
        setCaption(ControlId::LabelDetalles, text);
    }
}

void Form1::paintLink(ControlId id, COLORREF colour) {
    if (controls_[id].textColour != colour) {
        setLinkColour(id, colour);
    }
}

}  // namespace tovask::app
