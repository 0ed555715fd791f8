// Drive letters of the test prefix.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace testsupport {

// A letter no drive of the prefix uses.
inline char MissingDriveLetter() {
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        const char root[] = {letter, ':', '\\', 0};
        if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) return letter;
    }
    ADD_FAILURE() << "no free drive letter";
    return 'Q';
}

} // namespace testsupport
