// Program start and end of the shell: a safe DLL search, OLE, and the shell-folder lookup.
#include "util/InstUtils.h"

#include <windows.h>

#include <ole2.h>

#include <mutex>

namespace {

using SHGetFolderPathAProc = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

constexpr DWORD LoadLibrarySearchSystem32 = 0x800; // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD ShGfpTypeCurrent = 0;              // SHGFP_TYPE_CURRENT

std::once_flag ShellLookupOnce;
SHGetFolderPathAProc ShGetFolderPath = nullptr;
bool OleStarted = false;

template <typename Proc> Proc LookUp(HMODULE module, const char* name) {
    // GetProcAddress hands back a generic function pointer; the cast goes through void*.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool SystemSearchAvailable() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel && LookUp<SetDefaultDllDirectoriesProc>(kernel, "SetDefaultDllDirectories");
}

// A setup is started from a downloads folder, where a planted DLL of a system name may wait;
// so the library comes from the system folder only, never from the setup's own folder.
HMODULE LoadSystemLibrary(const char* name) {
    if (SystemSearchAvailable()) return LoadLibraryExA(name, nullptr, LoadLibrarySearchSystem32);
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path(system, length);
    AppendBackslash(path);
    path += name;
    // Its own dependencies are then looked for beside it first, also in the system folder.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Resolved once; the libraries stay loaded for the whole run.
void ResolveShellLookup() {
    std::call_once(ShellLookupOnce, [] {
        for (const char* library : {"shell32.dll", "shfolder.dll"}) {
            const HMODULE module = LoadSystemLibrary(library);
            if (!module) continue;
            ShGetFolderPath = LookUp<SHGetFolderPathAProc>(module, "SHGetFolderPathA");
            if (ShGetFolderPath) return;
        }
    });
}

} // namespace

void StartUpShell() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel)
        if (auto setDefault =
                LookUp<SetDefaultDllDirectoriesProc>(kernel, "SetDefaultDllDirectories"))
            setDefault(LoadLibrarySearchSystem32);
    // Once per run: ShutDownShell balances exactly one initialization.
    if (!OleStarted) OleStarted = SUCCEEDED(OleInitialize(nullptr));
    ResolveShellLookup();
}

void ShutDownShell() {
    if (OleStarted) OleUninitialize();
    OleStarted = false;
}

std::string GetShellFolder(int csidl) {
    ResolveShellLookup(); // also for callers that run without the program's start-up
    if (!ShGetFolderPath) return {};
    char buffer[MAX_PATH + 1] = {};
    if (ShGetFolderPath(nullptr, csidl, nullptr, ShGfpTypeCurrent, buffer) != S_OK) return {};
    buffer[MAX_PATH] = '\0';
    return buffer;
}
