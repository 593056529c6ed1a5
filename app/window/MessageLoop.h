#pragma once

#include <windows.h>

#include "app/window/Form1.h"

namespace tovask::app {

// Hands one message of the thread to the window: the keyboard navigation
// between its controls first, then the usual dispatch.
void deliverMessage(Form1& form, MSG& message);

// Runs until the window has asked the program to end; returns its exit code.
int runMessageLoop(Form1& form);

}  // namespace tovask::app
