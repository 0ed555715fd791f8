// Drive types and cluster sizes against the prefix's test drives: R: floppy (removable),
// O: CD, N: network, F: and S: fixed (S: a 2 MiB tmpfs when the harness could mount one).
#include "tests/support/TestDrives.h"
#include "tests/util/ScratchFolder.h"
#include "util/InstUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using testsupport::MissingDriveLetter;

TEST(Drives, KindAndRemovableTest) {
    const std::string missing = std::string{MissingDriveLetter(), ':'} + "\\Folder";
    const struct {
        std::string path;
        unsigned kind;
        bool removable;
    } cases[] = {
        {"R:\\Sarvello Word Processor", DRIVE_REMOVABLE, true},
        {"r:", DRIVE_REMOVABLE, true},
        {"O:\\Sarvello", DRIVE_CDROM, false},
        {"N:\\Sarvello", DRIVE_REMOTE, false},
        {"F:\\Sarvello", DRIVE_FIXED, false},
        {"C:\\Program Files\\Sarvello Word Processor", DRIVE_FIXED, false},
        {missing, DRIVE_NO_ROOT_DIR, false},
        {"Sarvello", DRIVE_NO_ROOT_DIR, false}, // no drive part: never the current drive
        {"", DRIVE_NO_ROOT_DIR, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.kind, GetDriveKind(c.path)) << c.path;
        EXPECT_EQ(c.removable, IsRemovableDrive(c.path)) << c.path;
    }
}

TEST(Drives, ClusterSizeIsTheSameForEveryPathOfADrive) {
    TScratchFolder dir;
    const std::int32_t existing = GetClusterSize(dir.Path());
    EXPECT_GT(existing, 0);
    EXPECT_EQ(0, existing % 512);
    EXPECT_EQ(existing, GetClusterSize(dir / "Not\\Yet\\There"));
    EXPECT_EQ(existing, GetClusterSize(dir.Path().substr(0, 2)));
}

TEST(Drives, SmallDriveHasFourKilobyteClusters) {
    if (GetFileAttributesA("S:\\.sarvello-small") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "S: is no tmpfs here";
    EXPECT_EQ(4096, GetClusterSize("S:\\Sarvello"));
    EXPECT_EQ(8192, RoundToClusters("S:\\Sarvello", 4097));
}

TEST(Drives, MissingDriveRoundsToFourKilobyteClusters) {
    const std::string missing = std::string{MissingDriveLetter(), ':'} + "\\Sarvello";
    EXPECT_EQ(4096, GetClusterSize(missing));
    EXPECT_EQ(4096, GetClusterSize("no drive part"));
    const struct {
        std::int32_t size, rounded;
    } cases[] = {{0, 0}, {1, 4096}, {4095, 4096}, {4096, 4096}, {4097, 8192}, {1048577, 1052672}};
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, RoundToClusters(missing, c.size)) << c.size;
}

} // namespace
