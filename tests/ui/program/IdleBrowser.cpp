// Stands in for a browser that is running: a process of the browser's file
// name that waits until the test ends it.
#include <windows.h>

int main() {
    Sleep(120000);
    return 0;
}
