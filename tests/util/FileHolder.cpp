// Holds a file open with no sharing, the way another program can lock "Install.log":
//   util_file_holder FILE READY-EVENT RELEASE-EVENT
// signals READY-EVENT once the file is held and lets go when RELEASE-EVENT is set (or after a
// minute, so that a failed test never leaves it behind).
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    int code = 4;
    if (ready && release && SetEvent(ready))
        code = WaitForSingleObject(release, 60000) == WAIT_OBJECT_0 ? 0 : 5;
    if (ready) CloseHandle(ready);
    if (release) CloseHandle(release);
    CloseHandle(file);
    return code;
}
