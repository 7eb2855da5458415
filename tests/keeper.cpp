// Keeps Wine's background processes alive for a whole test run, so that no test waits
// for them to start or to let go of its output.
#include <windows.h>

int main() {
    GetDesktopWindow();
    for (;;)
        Sleep(60 * 1000);
}
