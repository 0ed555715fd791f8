#include "engine/ThreadMessage.h"

#include "engine/InstallThreadStatus.h"
#include "ui/MessageDialog.h"

#include <windows.h>

#include <atomic>

namespace {
// Static initialization runs on the thread that starts the program, before any other exists.
std::atomic<DWORD> MainThread{GetCurrentThreadId()};
} // namespace

void SetMainThreadId(unsigned long threadId) {
    MainThread.store(threadId);
}
unsigned long MainThreadId() {
    return MainThread.load();
}

int ShowThreadMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons) {
    if (GetCurrentThreadId() == MainThread.load()) return MessageDlg(text, kind, buttons);
    return RequestThreadMessage(InstallThreadStatus, text, kind, buttons);
}
