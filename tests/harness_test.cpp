// The Wine prefix that ./dev prepares: tests elsewhere rely on these drives and settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

UINT DriveType(char letter) {
    const char root[] = {letter, ':', '\\', 0};
    return GetDriveTypeA(root);
}

TEST(Harness, TestDrivesHaveTheirTypes) {
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOVABLE), DriveType('R'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), DriveType('O'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_REMOTE), DriveType('N'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), DriveType('F'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), DriveType('C'));
}

TEST(Harness, UserFoldersAreInsideThePrefix) {
    // A fresh prefix links Desktop and Documents into the Unix home; the harness replaces the
    // links by real folders so that tests never write outside the build tree.
    char profile[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH));
    const std::string desktop = std::string(profile) + "\\Desktop";
    const DWORD attrs = GetFileAttributesA(desktop.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attrs);
    EXPECT_FALSE(attrs & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace
