// The folder-existence test, folder creation with its log lines, and tree deletion, on the
// prefix's real file system.
#include "tests/support/TestDrives.h"
#include "tests/util/ScratchFolder.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

using testsupport::MissingDriveLetter;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class FoldersTest : public testing::Test {
  protected:
    void SetUp() override {
        InstallLog.reset();
        InstallLogSuspendCount = 0;
    }
    void TearDown() override { InstallLog.reset(); }
    TScratchFolder dir;
};

TEST(EqualNoCase, ComparesByTheUserLocaleUpperCase) {
    EXPECT_TRUE(EqualNoCase("c:\\program files", "C:\\Program Files"));
    EXPECT_TRUE(EqualNoCase("", ""));
    EXPECT_FALSE(EqualNoCase("C:\\A", "C:\\A\\"));
    EXPECT_FALSE(EqualNoCase("C:\\A", "C:\\B"));
    // Same length, different bytes after a zero: counted texts, not C strings.
    EXPECT_FALSE(EqualNoCase(std::string("a\0b", 3), std::string("a\0c", 3)));
}

TEST_F(FoldersTest, FolderExistsAnswersOnlyForTheFormThePlatformReports) {
    const std::string root = dir.Path(); // ends in "\"
    ASSERT_TRUE(MakeFolder(root + "Sub"));
    WriteBytes(root + "file.txt", "x");
    const std::string bare = root.substr(0, root.size() - 1);
    const char missing = MissingDriveLetter();
    const char systemDrive = root[0];

    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {"", false},
        {bare, true},
        {root, true},
        {root + "Sub", true},
        {root + "Sub\\", true},
        {root + "Sub/", true}, // the final separator is normalised first
        {Lower(root + "SUB"), true},
        {root + "Missing", false},
        {root + "file.txt", false},
        {root + ".\\Sub", false},
        {root + "Sub\\..\\Sub", false},
        {root + "\\Sub", false},
        {bare + "/Sub", false},
        {"Sub", false},
        {std::string{systemDrive, ':'}, true},
        {std::string{systemDrive, ':', '\\'}, true},
        {std::string{missing, ':'}, false},
        {std::string{missing, ':', '\\', 'A'}, false},
    };

    const std::string before = GetCurrentFolder();
    for (const auto& c : cases)
        EXPECT_EQ(c.exists, FolderExists(c.path)) << "'" << c.path << "'";
    EXPECT_EQ(before, GetCurrentFolder());

    // A relative name of an existing subfolder is false even from the folder above it.
    ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));
    EXPECT_FALSE(FolderExists("Sub"));
    EXPECT_TRUE(EqualNoCase(root, GetCurrentFolder()));
    ASSERT_TRUE(SetCurrentDirectoryA(before.c_str()));
}

TEST_F(FoldersTest, FolderExistsFromTwoThreadsAtOnce) {
    // The worker creates folders while the wizard's drive timer lists others; neither may see
    // the other's answer or leave the process in another current folder.
    ASSERT_TRUE(MakeFolder(dir / "One"));
    ASSERT_TRUE(MakeFolder(dir / "Two"));
    const std::string before = GetCurrentFolder();
    std::atomic<int> wrong{0};
    auto ask = [&](const std::string& present, const std::string& absent) {
        for (int i = 0; i < 300; ++i) {
            if (!FolderExists(present)) ++wrong;
            if (FolderExists(absent)) ++wrong;
        }
    };
    std::thread worker(ask, dir / "One", dir / "One\\Missing");
    ask(dir / "Two", dir / "Two\\Missing");
    worker.join();
    EXPECT_EQ(0, wrong.load());
    EXPECT_EQ(before, GetCurrentFolder());
}

TEST_F(FoldersTest, CurrentFolderStackRestoresInReverseOrder) {
    const std::string before = GetCurrentFolder();
    EXPECT_EQ('\\', LastChar(before));
    PushCurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    PushCurrentFolder();
    ASSERT_TRUE(MakeFolder(dir / "Inner"));
    ASSERT_TRUE(SetCurrentDirectoryA((dir / "Inner").c_str()));
    PopCurrentFolder();
    EXPECT_TRUE(EqualNoCase(dir.Path(), GetCurrentFolder()));
    PopCurrentFolder();
    EXPECT_EQ(before, GetCurrentFolder());
    PopCurrentFolder(); // an empty stack leaves the current folder alone
    EXPECT_EQ(before, GetCurrentFolder());
}

TEST_F(FoldersTest, ForceFoldersLogsEachNewLevelOutermostFirst) {
    PrepareInstallLog("");
    ASSERT_TRUE(MakeFolder(dir / "A"));

    ForceFolders(dir / "A\\B\\C");
    EXPECT_TRUE(IsFolder(dir / "A\\B\\C"));
    const std::vector<std::string> made = {"Made Dir: " + dir / "A\\B\\",
                                           "Made Dir: " + dir / "A\\B\\C"};
    EXPECT_EQ(made, *InstallLog);

    ForceFolders(dir / "A\\B\\C"); // nothing new to make, nothing to log
    ForceFolders(dir / "A\\B\\C\\");
    EXPECT_EQ(made, *InstallLog);

    // A path given with its final backslash is logged in that form.
    ForceFolders(dir / "A\\D\\");
    EXPECT_TRUE(IsFolder(dir / "A\\D"));
    ASSERT_EQ(3u, InstallLog->size());
    EXPECT_EQ("Made Dir: " + dir / "A\\D\\", InstallLog->back());
}

TEST_F(FoldersTest, ForceFoldersRecordsNothingItCouldNotMake) {
    PrepareInstallLog("");
    const char missing = MissingDriveLetter();
    const std::string path = std::string{missing, ':', '\\'} + "A\\B";
    ForceFolders(path);
    EXPECT_TRUE(InstallLog->empty());
    const char root[] = {missing, ':', '\\', 0};
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA(root));

    // A level below a file cannot be made either.
    WriteBytes(dir / "file", "x");
    ForceFolders(dir / "file\\Sub");
    EXPECT_TRUE(InstallLog->empty());
    EXPECT_TRUE(IsFile(dir / "file"));
}

TEST_F(FoldersTest, ForceFoldersWhileTheLogIsSuspendedOrAbsent) {
    ForceFolders(dir / "NoLog\\X"); // before the log exists
    EXPECT_TRUE(IsFolder(dir / "NoLog\\X"));
    EXPECT_EQ(nullptr, InstallLog);

    PrepareInstallLog("");
    SuspendInstallLog();
    ForceFolders(dir / "Quiet\\Y");
    ResumeInstallLog();
    EXPECT_TRUE(IsFolder(dir / "Quiet\\Y"));
    EXPECT_TRUE(InstallLog->empty());
}

TEST_F(FoldersTest, DeleteFolderTreeRemovesEverythingBelow) {
    ASSERT_TRUE(MakeFolder(dir / "T"));
    ASSERT_TRUE(MakeFolder(dir / "T\\Sub"));
    ASSERT_TRUE(MakeFolder(dir / "T\\Sub\\Deeper"));
    WriteBytes(dir / "T\\a.txt", "a");
    WriteBytes(dir / "T\\Sub\\b", "b");
    WriteBytes(dir / "T\\Sub\\Deeper\\c.dat", "c");
    ASSERT_TRUE(SetFileAttributesA((dir / "T\\Sub\\b").c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteBytes(dir / "Keep.txt", "k");

    DeleteFolderTree(dir / "T");
    EXPECT_FALSE(IsFolder(dir / "T"));
    EXPECT_EQ(std::vector<std::string>{"Keep.txt"}, FolderEntries(dir.Path()));

    DeleteFolderTree(dir / "Missing"); // nothing to do, nothing raised
}

} // namespace
