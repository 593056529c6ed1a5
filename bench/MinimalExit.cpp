// The floor of the unattended benchmark: a window program built like the
// others, with the program's manifest, that ends as soon as it starts.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
