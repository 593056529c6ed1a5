#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "app/window/drawing/Twips.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/texts/SiteUrls.h"

namespace tovask::app {

// The window's controls by name. The values are the controls' window
// identifiers; none of them is IDOK or IDCANCEL, so Enter and Esc press
// nothing.
enum class ControlId : int {
    Picture1 = 100,
    btnacerca,
    btnsalir,
    btndeshacer,
    btndesblo,
    List1,
    Text1,
    Label6,
    LabelDetalles,
    LabelLinkforo,
    Label3,
    LogoInfo1,
    Label2,
    Label1,
    btnTovask,
    LabelForo2,
    LabelForo1,
    LabelInfo1,
    LabelCuerpo,
    LabelForo3,
    LabelInfo2,
    Labelcabeza,
    LogoInfo2,
};

enum class ControlKind { Button, Label, TextBox, ListBox, Panel, Image };
enum class Container { Window, Picture1 };

enum ControlFlag : unsigned {
    kPlain = 0,
    kHand = 1u << 0,         // the hand pointer over the control
    kLinkStyle = 1u << 1,    // blue, underlined: a site link
    kAutoSize = 1u << 2,     // one line as wide as its caption, whenever it is set
    kTransparent = 1u << 3,  // paints only its text
    kHidden = 1u << 4,       // not shown at start
    kHeaderFont = 1u << 5,   // the About panel's heading font
};

inline constexpr int kNoTabPosition = -1;

struct ControlDesign {
    ControlId id;
    std::wstring_view name;
    ControlKind kind;
    Container container;
    TwipsRect rect;
    std::wstring_view text;
    unsigned flags;
    int tabPosition;

    constexpr bool has(ControlFlag flag) const { return (flags & flag) != 0; }
};

namespace design_text {

// Two texts joined at compile time, so that a design caption built from
// constants stays a constant.
template <const std::wstring_view& First, const std::wstring_view& Second>
inline constexpr auto kJoined = [] {
    std::array<wchar_t, First.size() + Second.size()> chars{};
    std::ranges::copy(First, chars.begin());
    std::ranges::copy(Second, chars.begin() + First.size());
    return chars;
}();

inline constexpr std::wstring_view kPoweredByForum{
    kJoined<texts::kPoweredByPrefix, kForumDomainName>.data(),
    kJoined<texts::kPoweredByPrefix, kForumDomainName>.size()};

}  // namespace design_text

// The window as designed: each container's controls from front to back, so
// that where two overlap the earlier row is drawn on top and gets the pointer.
// Rectangles are in twips of the container's client area.
inline constexpr std::array<ControlDesign, 23> kDesignTable = [] {
    using enum ControlId;
    using enum ControlKind;
    return std::array<ControlDesign, 23>{{
        // clang-format off
    {Picture1,      L"Picture1",      Panel,   Container::Window, {1920, 3960, 1455, 975}, L"",                      kHidden, 12},
    {btnacerca,     L"btnacerca",     Button,  Container::Window, {120, 4470, 1095, 375},  texts::kAboutButton,      kHand, 8},
    {btnsalir,      L"btnsalir",      Button,  Container::Window, {3960, 3120, 1935, 430}, texts::kExitButton,       kHand, 7},
    {btndeshacer,   L"btndeshacer",   Button,  Container::Window, {3960, 2520, 1935, 430}, texts::kUndoButton,       kHand, 6},
    {btndesblo,     L"btndesblo",     Button,  Container::Window, {3960, 1920, 1935, 430}, texts::kRepairButton,     kHand, 5},
    {List1,         L"List1",         ListBox, Container::Window, {120, 1920, 3735, 1620}, L"",                      kPlain, 4},
    {Text1,         L"Text1",         TextBox, Container::Window, {2880, 1290, 3015, 285}, L"",                      kPlain, 2},
    {Label6,        L"Label6",        Label,   Container::Window, {120, 1680, 735, 255},   texts::kReportTitle,      kPlain, 11},
    {LabelDetalles, L"LabelDetalles", Label,   Container::Window, {120, 3840, 5655, 375},  L"",                      kPlain, 10},
    {LabelLinkforo, L"LabelLinkforo", Label,   Container::Window, {3700, 4670, 2175, 195}, design_text::kPoweredByForum, kLinkStyle | kHand, 9},
    {Label3,        L"Label3",        Label,   Container::Window, {120, 1320, 2775, 255},  texts::kStartPagePrompt,  kPlain, 3},
    {LogoInfo1,     L"LogoInfo1",     Image,   Container::Window, {4570, 570, 1320, 465},  L"",                      kHand, kNoTabPosition},
    {Label2,        L"Label2",        Label,   Container::Window, {120, 720, 3135, 495},   L"",                      kPlain, 1},
    {Label1,        L"Label1",        Label,   Container::Window, {120, 120, 5685, 435},   L"",                      kPlain, 0},

    {btnTovask,     L"btnTovask",     Button,  Container::Picture1, {5040, 4490, 855, 375}, texts::kCloseAboutButton, kHand, 20},
    {LabelForo2,    L"LabelForo2",    Label,   Container::Picture1, {2040, 3960, 1605, 195}, kForumHostName, kLinkStyle | kHand | kAutoSize, 19},
    {LabelForo1,    L"LabelForo1",    Label,   Container::Picture1, {2040, 4200, 1605, 195}, kForumHostName, kLinkStyle | kHand | kAutoSize | kTransparent, 18},
    {LabelInfo1,    L"LabelInfo1",    Label,   Container::Picture1, {2040, 3720, 1590, 195}, kInfoHostName,  kLinkStyle | kHand | kAutoSize | kTransparent, 17},
    {LabelCuerpo,   L"LabelCuerpo",   Label,   Container::Picture1, {120, 720, 5775, 3735},  L"",            kPlain, 16},
    {LabelForo3,    L"LabelForo3",    Label,   Container::Picture1, {120, 4650, 1605, 195},  kForumHostName, kLinkStyle | kHand | kAutoSize | kTransparent, 15},
    {LabelInfo2,    L"LabelInfo2",    Label,   Container::Picture1, {120, 4440, 1590, 195},  kInfoHostName,  kLinkStyle | kHand | kAutoSize | kTransparent, 14},
    {Labelcabeza,   L"Labelcabeza",   Label,   Container::Picture1, {1560, 225, 4035, 285},  texts::kAboutHeader, kHeaderFont | kAutoSize, 13},
    {LogoInfo2,     L"LogoInfo2",     Image,   Container::Picture1, {120, 120, 1320, 465},   L"",            kHand, kNoTabPosition},
        // clang-format on
    }};
}();

const ControlDesign& designOf(ControlId id);

// Whether the control can hold the keyboard focus: labels, images and the
// panel itself never do.
constexpr bool takesFocus(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::TextBox ||
           kind == ControlKind::ListBox;
}

}  // namespace tovask::app
