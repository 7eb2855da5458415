// Keeps Wine's background processes alive for a whole test run, so that no test waits
// for them to start or to let go of its output.
//
// Every process Wine starts on its own (wineboot, explorer, services and what services
// starts) inherits the output of the program that made it start. So the keeper brings all
// of them up before any test runs, and tells the script when it has, by creating the file
// named on its command line: a test started earlier would hand its output to them, and
// ctest would then wait for that output to close until the test's timeout.
#include "core/file.h"

#include <windows.h>

int main(int argc, char** argv) {
    GetDesktopWindow();
    // Connecting to the service manager waits for services.exe, the last one Wine starts.
    if (SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT))
        CloseServiceHandle(manager);
    if (argc > 1)
        reelbond::UniqueFileHandle(
            CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (;;)
        Sleep(60 * 1000);
}
