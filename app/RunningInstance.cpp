#include "app/RunningInstance.h"

#include <windows.h>

namespace {

BOOL CALLBACK FindMarkedWindow(HWND wnd, LPARAM param) {
    if (GetPropA(wnd, "1.x Veridune") == nullptr) return TRUE;
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
}

} // namespace

bool IsMainProgramRunning() {
    bool found = false;
    EnumWindows(FindMarkedWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}
