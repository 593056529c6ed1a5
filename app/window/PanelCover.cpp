#include "app/window/PanelCover.h"

namespace tovask::app {

bool liesUnderPanel(HWND control, HWND panel) {
    if (!IsWindowVisible(panel) || control == panel || IsChild(panel, control)) {
        return false;
    }
    RECT place{};
    RECT cover{};
    RECT covered{};
    GetWindowRect(control, &place);
    GetWindowRect(panel, &cover);
    IntersectRect(&covered, &place, &cover);
    return EqualRect(&covered, &place) != FALSE;
}

}  // namespace tovask::app
