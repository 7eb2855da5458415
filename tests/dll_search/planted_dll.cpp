// Stands in for a DLL that someone dropped beside the program under a system DLL's name. When
// it is loaded it leaves an empty file beside itself, its own name with ".loaded" added, and
// does nothing else.
#include "core/file.h"

#include <string>
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), MAX_PATH));
    reelbond::UniqueFileHandle(CreateFileW((path + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}

// For rundll32, which loads the DLL by its full path and calls this.
extern "C" __declspec(dllexport) void CALLBACK Load(HWND, HINSTANCE, LPSTR, int) {}
