// A robot that drives the setup program from a second process the way a user would: it starts
// setup.exe, finds its windows, presses buttons and keys, reads texts and states, and answers
// its dialogs. Every wait is bounded; a window that never comes fails the test, never hangs it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace robot {

// The Windows path of the setup under test (from --setup=; a Unix path is reached via Z:).
std::string SetupPath();
void SetSetupPath(const std::string& path);

// Polls until pred holds or the time runs out; the result says which.
template <typename Pred> bool WaitUntil(Pred pred, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0;; waited += 10) {
        if (pred()) return true;
        if (waited >= timeoutMs) return false;
        Sleep(10);
    }
}

std::string Text(HWND wnd);
// A descendant of parent with the control id, searched at every depth.
HWND FindById(HWND parent, int id);
// The visible top-level window of the process with the class name, or null.
HWND FindTopLevel(DWORD processId, const char* className);
// The thread's focus window, or null.
HWND FocusOf(HWND anyWindowOfTheThread);

// Presses a button without waiting for what it opens.
void Click(HWND button);
// A key pressed on the focused control of the window's thread (as the keyboard would deliver).
void PressKey(HWND anyWindowOfTheThread, WPARAM key);
// Alt+letter, for accelerators.
void PressAlt(HWND anyWindowOfTheThread, char letter);

// A started setup process; killed at destruction if it still runs.
class TProcess {
  public:
    // extraEnv: "NAME=value" entries added to the robot's environment.
    TProcess(const std::string& exe, const std::vector<std::string>& extraEnv = {});
    ~TProcess();
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;
    DWORD Id() const { return Info.dwProcessId; }
    bool Started() const { return Info.hProcess != nullptr; }
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 15000);

  private:
    PROCESS_INFORMATION Info{};
};

// A message box or message dialog of the process: its texts and buttons.
struct TDialog {
    HWND Wnd = nullptr;
    std::string Title, Text;
    std::vector<std::string> Buttons; // captions, left to right
    HWND Button(int id) const { return GetDlgItem(Wnd, id); }
};
// Waits for the process's visible #32770 window.
TDialog WaitForDialog(DWORD processId);

} // namespace robot
