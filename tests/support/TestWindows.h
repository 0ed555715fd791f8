// Windows of another process, as a second program finds them.
#pragma once

#include <windows.h>

namespace testsupport {

// The process's visible top-level window of that class; null while it shows none.
HWND FindVisibleTopLevel(DWORD processId, const char* className);

} // namespace testsupport
