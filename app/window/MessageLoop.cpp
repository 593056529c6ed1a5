#include "app/window/MessageLoop.h"

namespace tovask::app {

void deliverMessage(Form1& form, MSG& message) {
    form.notePointer(message);
    if (form.translateKeyboard(message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runMessageLoop(Form1& form) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        deliverMessage(form, message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace tovask::app
