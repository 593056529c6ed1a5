#include <algorithm>
#include <cstddef>
#include <iterator>

#include "app/window/Form1.h"
#include "repair/texts/ProgramTexts.h"

// Which handler runs for which event of which control: the window's event
// table, one row per handled control.
namespace tovask::app {
namespace {

template <typename Row, std::size_t Rows>
const Row* routeOf(const Row (&table)[Rows], ControlId id) {
    const auto row = std::ranges::find(table, id, &Row::control);
    return row != std::end(table) ? row : nullptr;
}

}  // namespace

const Form1::Route Form1::kClickRoutes[] = {
    {ControlId::btndesblo, &Form1::btndesblo_Click},
    {ControlId::btndeshacer, &Form1::btndeshacer_Click},
    {ControlId::btnsalir, &Form1::btnsalir_Click},
    {ControlId::btnacerca, &Form1::btnacerca_Click},
    {ControlId::btnTovask, &Form1::btnTovask_Click},
    {ControlId::LabelLinkforo, &Form1::LabelLinkforo_Click},
    {ControlId::LabelForo1, &Form1::LabelForo1_Click},
    {ControlId::LabelForo2, &Form1::LabelForo2_Click},
    {ControlId::LabelForo3, &Form1::LabelForo3_Click},
    {ControlId::LabelInfo1, &Form1::LabelInfo1_Click},
    {ControlId::LabelInfo2, &Form1::LabelInfo2_Click},
    {ControlId::LogoInfo1, &Form1::LogoInfo1_Click},
    {ControlId::LogoInfo2, &Form1::LogoInfo2_Click},
};

// The window's own background has no row: it is not a control
// (Form_MouseMove).
const Form1::Route Form1::kMouseMoveRoutes[] = {
    {ControlId::Picture1, &Form1::Picture1_MouseMove},
    {ControlId::LabelCuerpo, &Form1::LabelCuerpo_MouseMove},
    {ControlId::btndesblo, &Form1::btndesblo_MouseMove},
    {ControlId::btndeshacer, &Form1::btndeshacer_MouseMove},
    {ControlId::btnsalir, &Form1::btnsalir_MouseMove},
    {ControlId::btnacerca, &Form1::btnacerca_MouseMove},
    {ControlId::LabelLinkforo, &Form1::LabelLinkforo_MouseMove},
    {ControlId::LabelForo1, &Form1::LabelForo1_MouseMove},
    {ControlId::LabelForo2, &Form1::LabelForo2_MouseMove},
    {ControlId::LabelForo3, &Form1::LabelForo3_MouseMove},
    {ControlId::LabelInfo1, &Form1::LabelInfo1_MouseMove},
    {ControlId::LabelInfo2, &Form1::LabelInfo2_MouseMove},
};

const Form1::ButtonRoute Form1::kMouseButtonRoutes[] = {
    {ControlId::LogoInfo1, &Form1::LogoInfo1_MouseDown, &Form1::LogoInfo1_MouseUp},
    {ControlId::LogoInfo2, &Form1::LogoInfo2_MouseDown, &Form1::LogoInfo2_MouseUp},
};

void Form1::runClick(ControlId id) {
    if (const Route* route = routeOf(kClickRoutes, id)) {
        (this->*route->handler)();
    }
}

void Form1::runMouseMove(ControlId id) {
    if (const Route* route = routeOf(kMouseMoveRoutes, id)) {
        (this->*route->handler)();
    }
}

void Form1::runMouseButton(ControlId id, bool pressed) {
    if (const ButtonRoute* route = routeOf(kMouseButtonRoutes, id)) {
        (this->*(pressed ? route->pressed : route->released))();
    }
}

// The two buttons that run the browser repair.
void Form1::btndesblo_Click() {
    repair_.VerificarNavegador(texts::kBrowserWindowClass, runRequest());
}

void Form1::btndeshacer_Click() {
    repair_.undoChanges();
}

}  // namespace tovask::app
