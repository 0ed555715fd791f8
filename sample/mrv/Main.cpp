// Stand-in for the product's main program "mrv.exe", shipped in the sample payload so that the
// setup can be exercised without the real word processor. It answers the setup's points of
// contact the way the real program does:
//  - while it runs, its top-level window carries the property "1.x Veridune";
//  - every start appends its whole command line (GetCommandLineA, exactly as received) as one
//    line to "mrv-commands.log" beside the program, so that tests can check what the setup
//    started;
//  - "-assoc ..." (register document types) and "-ui" (uninstall) are only recorded, then it
//    ends with exit code 0;
//  - any other start shows the main window until it is closed, after it has stored its version
//    as "LastRunVer" under HKCU\Software\Sarvello Word Processor\Internal.
#include "util/ScopedWin.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

const char* const RunningProperty = "1.x Veridune";
const char* const WindowClass = "SarvelloWordProcessorStandIn";
constexpr DWORD OwnVersion = 20005000;

std::string LogPath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "mrv-commands.log";
}

void RecordCommandLine() {
    // Append-only access: lines of programs started at the same moment never overwrite each
    // other. A log that cannot be opened is not worth failing the start for.
    for (int attempt = 0; attempt < 50; ++attempt) {
        win::UniqueFile log(CreateFileA(LogPath().c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!log) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return;
            Sleep(20);
            continue;
        }
        const std::string line = std::string(GetCommandLineA()) + "\r\n";
        DWORD written = 0;
        WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
}

// The arguments after the program's own (possibly quoted) path.
std::string Arguments() {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

bool IsSwitch(const std::string& args, const char* name) {
    const std::size_t n = std::strlen(name);
    return args.compare(0, n, name) == 0 && (args.size() == n || args[n] == ' ' || args[n] == '\t');
}

void StoreLastRunVersion() {
    win::UniqueRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Sarvello Word Processor\\Internal", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    const DWORD version = OwnVersion;
    RegSetValueExA(key.get(), "LastRunVer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&version),
                   sizeof version);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetPropA(window, RunningProperty, reinterpret_cast<HANDLE>(1));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        DrawTextA(dc, "This program stands in for Sarvello Word Processor.", -1, &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        RemovePropA(window, RunningProperty);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RecordCommandLine();
    const std::string args = Arguments();
    if (IsSwitch(args, "-assoc") || IsSwitch(args, "-ui")) return 0;

    StoreLastRunVersion();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = WindowClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, WindowClass, "Sarvello Word Processor", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
