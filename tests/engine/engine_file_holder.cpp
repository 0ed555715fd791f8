// Holds a file open with no sharing, as another program would, until told to let go:
//   engine_file_holder PATH READY-EVENT RELEASE-EVENT
// Signals READY-EVENT once the file is held, then waits for RELEASE-EVENT.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (!ready || !release) return 4;
    SetEvent(ready);
    WaitForSingleObject(release, INFINITE);
    CloseHandle(file);
    CloseHandle(ready);
    CloseHandle(release);
    return 0;
}
