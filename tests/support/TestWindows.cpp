#include "tests/support/TestWindows.h"

#include <cstring>

namespace testsupport {

namespace {

struct TFindTop {
    DWORD Pid;
    const char* Class;
    HWND Found;
};

BOOL CALLBACK FindTopProc(HWND wnd, LPARAM param) {
    auto* f = reinterpret_cast<TFindTop*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid != f->Pid || !IsWindowVisible(wnd) || std::strcmp(cls, f->Class) != 0) return TRUE;
    f->Found = wnd;
    return FALSE;
}

} // namespace

HWND FindVisibleTopLevel(DWORD processId, const char* className) {
    TFindTop f{processId, className, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

} // namespace testsupport
