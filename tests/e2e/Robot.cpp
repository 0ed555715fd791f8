#include "tests/e2e/Robot.h"

#include "tests/support/TestWindows.h"

#include <algorithm>
#include <cstring>

namespace robot {

namespace {
std::string TheSetupPath;
}

std::string SetupPath() {
    return TheSetupPath;
}

void SetSetupPath(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p[0] == '/') {
        std::replace(p.begin(), p.end(), '/', '\\');
        p = "Z:" + p;
    }
    TheSetupPath = p;
}

std::string Text(HWND wnd) {
    char buf[4096] = {};
    if (wnd)
        SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

namespace {
struct TFindId {
    int Id;
    HWND Found;
};
BOOL CALLBACK FindIdProc(HWND wnd, LPARAM param) {
    auto* f = reinterpret_cast<TFindId*>(param);
    if (GetDlgCtrlID(wnd) != f->Id) return TRUE;
    f->Found = wnd;
    return FALSE;
}
} // namespace

HWND FindById(HWND parent, int id) {
    TFindId f{id, nullptr};
    EnumChildWindows(parent, FindIdProc, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

HWND FindTopLevel(DWORD processId, const char* className) {
    return testsupport::FindVisibleTopLevel(processId, className);
}

HWND FocusOf(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &info) ? info.hwndFocus
                                                                           : nullptr;
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PressKey(HWND wnd, WPARAM key) {
    HWND target = FocusOf(wnd);
    if (!target) target = wnd;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void PressAlt(HWND wnd, char letter) {
    HWND target = FocusOf(wnd);
    if (!target) target = wnd;
    // The context bit (29) marks the Alt key as held.
    PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29);
}

TProcess::TProcess(const std::string& exe, const std::vector<std::string>& extraEnv) {
    // The robot's environment plus the extra entries, as one block.
    std::string env;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* p = block; *p; p += std::strlen(p) + 1) {
            const std::string entry = p;
            bool replaced = false;
            for (const auto& e : extraEnv) {
                const auto eq = e.find('=');
                if (entry.size() > eq &&
                    lstrcmpiA(entry.substr(0, eq + 1).c_str(), e.substr(0, eq + 1).c_str()) == 0)
                    replaced = true;
            }
            if (!replaced) env += entry + '\0';
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& e : extraEnv)
        env += e + '\0';
    env += '\0';

    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, env.data(), nullptr,
                        &si, &Info))
        Info = {};
}

TProcess::~TProcess() {
    if (!Info.hProcess) return;
    if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(Info.hProcess, 99);
        WaitForSingleObject(Info.hProcess, 5000);
    }
    CloseHandle(Info.hThread);
    CloseHandle(Info.hProcess);
}

DWORD TProcess::WaitForExit(DWORD timeoutMs) {
    if (!Info.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(Info.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(Info.hProcess, &code);
    return code;
}

TDialog WaitForDialog(DWORD processId) {
    TDialog d;
    if (!WaitUntil([&] { return (d.Wnd = FindTopLevel(processId, "#32770")) != nullptr; }))
        return d;
    // The dialog is visible once its controls exist; give the layout a moment to finish.
    WaitUntil([&] { return GetDlgItem(d.Wnd, 0xFFFF) != nullptr; }, 2000);
    d.Title = Text(d.Wnd);
    d.Text = Text(GetDlgItem(d.Wnd, 0xFFFF));
    std::vector<std::pair<LONG, std::string>> buttons;
    for (HWND c = GetWindow(d.Wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") != 0 || !IsWindowVisible(c)) continue;
        RECT r;
        GetWindowRect(c, &r);
        buttons.emplace_back(r.left, Text(c));
    }
    std::sort(buttons.begin(), buttons.end());
    for (auto& b : buttons)
        d.Buttons.push_back(b.second);
    return d;
}

} // namespace robot
