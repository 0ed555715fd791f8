// The setup program's entry point.
#include <windows.h>

#include "app/Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunSetup();
}
