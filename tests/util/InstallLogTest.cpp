// The install log: its recording rule, suspending, and "Install.log" loaded and saved on the
// real file system, including a file that cannot be replaced.
#include "util/InstallLog.h"
#include "tests/util/ScratchFolder.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class InstallLogTest : public testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        InstallLog.reset();
        InstallLogPath.clear();
        InstallStarted = false;
        InstallLogSuspendCount = 0;
    }
    TScratchFolder dir;
};

TEST_F(InstallLogTest, NothingIsRecordedBeforeTheLogIsPrepared) {
    SuspendInstallLog(); // the licence page extracts with the log suspended
    AddToInstallLog("File Copy: C:\\x");
    ResumeInstallLog();
    AddToInstallLog("File Copy: C:\\y");
    EXPECT_EQ(nullptr, InstallLog);
    EXPECT_FALSE(InstallStarted);
}

TEST_F(InstallLogTest, LinesDifferingOnlyInCaseAreRecordedOnce) {
    PrepareInstallLog("");
    EXPECT_TRUE(InstallStarted);
    AddToInstallLog("File Copy: C:\\Program Files\\Sarvello\\mrv.exe");
    AddToInstallLog("file copy: c:\\PROGRAM FILES\\sarvello\\MRV.EXE");
    AddToInstallLog("File Copy: C:\\Program Files\\Sarvello\\mrv.exe");
    AddToInstallLog("File Copy: C:\\Program Files\\Sarvello\\mrv.ex");
    AddToInstallLog("");
    AddToInstallLog("");
    const Lines expected = {"File Copy: C:\\Program Files\\Sarvello\\mrv.exe",
                            "File Copy: C:\\Program Files\\Sarvello\\mrv.ex", ""};
    EXPECT_EQ(expected, *InstallLog);
}

TEST_F(InstallLogTest, DuplicatesAreWhatTheLocaleComparisonCallsEqual) {
    // Lines are looked up by an index, not compared one by one; whatever the index does, a line
    // is a duplicate exactly when CompareStringA finds it equal to a recorded one.
    const struct {
        const char* recorded;
        const char* added;
    } pairs[] = {
        {"File Copy: C:\\X\\a.txt", "file copy: c:\\x\\A.TXT"},
        {"co-op", "coop"},
        {"it's", "its"},
        {"\xE9t\xE9", "\xC9T\xC9"}, // accented letters in the ANSI code page
        {"\xE9", "e"},
        {"\xDF", "ss"},
        {"\xE6", "ae"},
        {"a\x01b", "ab"},
        {"a b", "a  b"},
        {"x", "x "},
        {"Made Dir: C:\\A\\", "Made Dir: C:\\A"},
    };
    for (const auto& p : pairs) {
        PrepareInstallLog("");
        AddToInstallLog(p.recorded);
        AddToInstallLog(p.added);
        const bool equal = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT,
                                          p.recorded, -1, p.added, -1) == CSTR_EQUAL;
        EXPECT_EQ(equal ? 1u : 2u, InstallLog->size()) << p.recorded << " / " << p.added;
    }
}

TEST_F(InstallLogTest, LinesAppendedOrReplacedByOthersStillCount) {
    PrepareInstallLog("");
    AddToInstallLog("File Copy: C:\\A\\one");
    InstallLog->push_back("File Copy: C:\\A\\two"); // appended without the recording rule
    AddToInstallLog("FILE COPY: C:\\A\\TWO");
    EXPECT_EQ(2u, InstallLog->size());

    // A new list of the same length in place of the old one.
    InstallLog = std::make_unique<Lines>(Lines{"File Copy: C:\\B\\x", "File Copy: C:\\B\\y"});
    AddToInstallLog("file copy: c:\\b\\Y");
    AddToInstallLog("File Copy: C:\\A\\one");
    EXPECT_EQ((Lines{"File Copy: C:\\B\\x", "File Copy: C:\\B\\y", "File Copy: C:\\A\\one"}),
              *InstallLog);
}

TEST_F(InstallLogTest, SuspendsNest) {
    PrepareInstallLog("");
    SuspendInstallLog();
    SuspendInstallLog();
    AddToInstallLog("one");
    ResumeInstallLog();
    AddToInstallLog("two");
    EXPECT_TRUE(InstallLog->empty()) << "one resume is not enough after two suspends";
    ResumeInstallLog();
    AddToInstallLog("three");
    EXPECT_EQ(Lines{"three"}, *InstallLog);
}

TEST_F(InstallLogTest, LoadKeepsEveryLineOfAnEarlierLog) {
    const std::string path = dir / "Install.log";
    // Mixed line ends, an empty line, a last line without its end, and lines that would count
    // as duplicates had they been recorded: the earlier file is taken as it is.
    WriteBytes(path, "Made Dir: C:\\A\\\r\nFile Copy: C:\\A\\x\nfile copy: c:\\a\\X\r\r\nlast");
    PrepareInstallLog(path);
    EXPECT_EQ(path, InstallLogPath);
    EXPECT_TRUE(InstallStarted);
    const Lines loaded = {"Made Dir: C:\\A\\", "File Copy: C:\\A\\x", "file copy: c:\\a\\X", "",
                          "last"};
    ASSERT_NE(nullptr, InstallLog);
    EXPECT_EQ(loaded, *InstallLog);

    AddToInstallLog("FILE COPY: C:\\A\\X"); // already there
    AddToInstallLog("File Copy: C:\\A\\y");
    EXPECT_EQ(loaded.size() + 1, InstallLog->size());
}

TEST_F(InstallLogTest, PrepareStartsEmptyWithoutAReadableFile) {
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"no file", dir / "Install.log"},
        {"a folder of that name", dir / "Folder.log"},
        {"portable mode", ""},
    };
    ASSERT_TRUE(MakeFolder(dir / "Folder.log"));
    for (const auto& c : cases) {
        InstallLog.reset();
        PrepareInstallLog(c.path);
        ASSERT_NE(nullptr, InstallLog) << c.what;
        EXPECT_TRUE(InstallLog->empty()) << c.what;
        EXPECT_EQ(c.path, InstallLogPath) << c.what;
    }
}

TEST_F(InstallLogTest, SaveEndsEveryLineWithCrLf) {
    const std::string path = dir / "Install.log";
    WriteBytes(path, "old\nolder\r");
    PrepareInstallLog(path);
    AddToInstallLog("Made Dir: " + dir.Path());
    AddToInstallLog("");
    AddToInstallLog("File Copy: " + dir / "mrv.exe");
    SaveInstallLog();
    EXPECT_EQ("old\r\nolder\r\nMade Dir: " + dir.Path() + "\r\n\r\nFile Copy: " + dir / "mrv.exe" +
                  "\r\n",
              ReadBytes(path));
    EXPECT_EQ(Lines{"Install.log"}, FolderEntries(dir.Path())) << "nothing else left behind";

    // A second installation keeps the earlier lines and adds only new ones.
    InstallLog.reset();
    PrepareInstallLog(path);
    AddToInstallLog("file copy: " + dir / "MRV.EXE");
    AddToInstallLog("File Copy: " + dir / "License.txt");
    SaveInstallLog();
    EXPECT_EQ("old\r\nolder\r\nMade Dir: " + dir.Path() + "\r\n\r\nFile Copy: " + dir / "mrv.exe" +
                  "\r\nFile Copy: " + dir / "License.txt" + "\r\n",
              ReadBytes(path));
}

TEST_F(InstallLogTest, SaveWritesNothingUnlessAnOrdinaryInstallStarted) {
    InstallLogPath = dir / "Install.log";
    SaveInstallLog(); // installation never started
    EXPECT_FALSE(IsFile(dir / "Install.log"));

    PrepareInstallLog(""); // portable: no path
    AddToInstallLog("File Copy: R:\\x");
    SaveInstallLog();
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());

    PrepareInstallLog(dir / "Gone\\Install.log"); // the folder was never made
    AddToInstallLog("File Copy: x");
    SaveInstallLog();
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST_F(InstallLogTest, ReadOnlyLogKeepsItsOldContent) {
    const std::string path = dir / "Install.log";
    WriteBytes(path, "Made Dir: C:\\Old\\\r\n");
    PrepareInstallLog(path);
    AddToInstallLog("File Copy: C:\\Old\\new.txt");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

    SaveInstallLog();

    EXPECT_EQ("Made Dir: C:\\Old\\\r\n", ReadBytes(path));
    EXPECT_EQ(Lines{"Install.log"}, FolderEntries(dir.Path()));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Another program holds "Install.log" open without sharing it: a real second process.
TEST_F(InstallLogTest, LockedLogKeepsItsOldContent) {
    const std::string path = dir / "Install.log";
    WriteBytes(path, "Made Dir: C:\\Old\\\r\nFile Copy: C:\\Old\\a\r\n");
    PrepareInstallLog(path);
    AddToInstallLog("File Copy: C:\\Old\\b");

    const std::string tag = std::to_string(GetCurrentProcessId());
    const std::string readyName = "SarvelloUtilTestReady" + tag;
    const std::string releaseName = "SarvelloUtilTestRelease" + tag;
    win::UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    win::UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    ASSERT_TRUE(ready && release);

    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, MAX_PATH));
    std::string holder = self;
    holder = holder.substr(0, holder.find_last_of('\\') + 1) + "util_file_holder.exe";
    std::string command = "\"" + holder + "\" \"" + path + "\" " + readyName + " " + releaseName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(holder.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << GetLastError();
    win::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    const HANDLE started[] = {ready.get(), processHandle.get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, started, FALSE, 60000))
        << "the holder ended before it held the file";

    SaveInstallLog(); // raises nothing, changes nothing

    SetEvent(release.get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(processHandle.get(), 60000));
    DWORD code = 1;
    GetExitCodeProcess(processHandle.get(), &code);
    EXPECT_EQ(0u, code);
    EXPECT_EQ("Made Dir: C:\\Old\\\r\nFile Copy: C:\\Old\\a\r\n", ReadBytes(path));
    EXPECT_EQ(Lines{"Install.log"}, FolderEntries(dir.Path()));

    SaveInstallLog(); // free again: now it is written
    EXPECT_EQ("Made Dir: C:\\Old\\\r\nFile Copy: C:\\Old\\a\r\nFile Copy: C:\\Old\\b\r\n",
              ReadBytes(path));
}

} // namespace
