#include "ui/application.h"
#include "win/error_barrier.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A failure at start-up, such as a refused window class, ends in the top-level error box.
    return reelbond::Guarded(reelbond::RunApplication, 1);
}
