// startup_bench run SETUP ROUNDS   the time from starting the setup to its wizard window being
//                                  shown, against a bare Win32 window program started the same
//                                  way (this program in "window" mode), alternating, medians
// startup_bench window             that bare window program
#include "tests/support/TestWindows.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* BareClass = "StartupBenchBareWindow";

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Seconds from CreateProcess to the process's visible window of the class; negative on failure.
double TimeToWindow(const std::string& commandLine, const char* cls) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    const double start = Now();
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    double shown = -1;
    while (Now() - start < 30) {
        if (testsupport::FindVisibleTopLevel(pi.dwProcessId, cls)) {
            shown = Now() - start;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return shown;
}

void DeleteTree(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (DWORD len = sizeof name;
         RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         len = sizeof name)
        DeleteTree(key, name);
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

int Run(const std::string& setup, int rounds) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string bare = std::string("\"") + self + "\" window";
    const std::string wizard = "\"" + setup + "\"";
    std::vector<double> setupTimes, bareTimes;
    // One warm-up of each, then alternating rounds so that both see the same machine state.
    TimeToWindow(bare, BareClass);
    TimeToWindow(wizard, "TMainDlgForm");
    for (int i = 0; i < rounds; ++i) {
        const double b = TimeToWindow(bare, BareClass);
        const double s = TimeToWindow(wizard, "TMainDlgForm");
        if (b < 0 || s < 0) {
            std::fprintf(stderr, "startup_bench: a window did not show\n");
            return 1;
        }
        bareTimes.push_back(b);
        setupTimes.push_back(s);
    }
    // The wizard's construction opened the product's registry keys; leave the prefix as found.
    DeleteTree(HKEY_CURRENT_USER, "Software\\Sarvello Word Processor");
    const double s = Median(setupTimes), b = Median(bareTimes);
    std::printf("start to window shown (median of %d):\n", rounds);
    std::printf("  setup.exe, wizard shown:        %7.1f ms\n", s * 1e3);
    std::printf("  bare Win32 window program:      %7.1f ms\n", b * 1e3);
    std::printf("  ratio setup/bare: %.2f\n", s / b);
    return 0;
}

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(wnd, msg, wp, lp);
}

int Window() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = BareClass;
    RegisterClassA(&wc);
    CreateWindowExA(0, BareClass, "bare window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                    CW_USEDEFAULT, 492, 351, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "window") == 0) return Window();
    if (argc == 4 && std::strcmp(argv[1], "run") == 0) return Run(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: startup_bench run SETUP ROUNDS | startup_bench window\n");
    return 2;
}
