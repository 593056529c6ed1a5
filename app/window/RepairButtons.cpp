#include "app/window/Form1.h"
#include "repair/texts/ProgramTexts.h"

// The two buttons that run the browser repair.
namespace tovask::app {

void Form1::btndesblo_Click() {
    repair_.VerificarNavegador(texts::kBrowserWindowClass);
}

void Form1::btndeshacer_Click() {
    repair_.DeshacerCambios();
}

}  // namespace tovask::app
