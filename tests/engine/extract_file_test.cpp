// Writing payload entries to disk under Wine: real files, folders, dates and install log lines,
// and the failures a user meets (a file held by another program, a read-only file, a full disk)
// answered in the real message dialog by a driver thread.
#include "install_test_support.h"

#include "engine/AttachFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace installtest;

namespace {

const char* const Root = "extract";

class ExtractFile : public testing::Test {
  protected:
    void SetUp() override { FreshInstallLog(); }
    void TearDown() override { InstallLogSuspendCount = 0; }
    TScratch Dir{Root};
};

TEST_F(ExtractFile, WritesTheEntryWithItsDateAndOneLogLine) {
    const double stored = Date(2024, 6, 15, 13, 37, 42);
    auto files = MakeArchive({{"empty.txt", "", stored},
                              {"Templates\\Faxes\\Fax 1.rtf", "{\\rtf fax}", stored},
                              {"odd.dat", std::string(5000, 'x'), Date(2001, 2, 3, 4, 5, 7)}});
    struct Case {
        const char* Name;
        std::string Data;
        double DateOnDisk; // odd seconds go down to the even second below
    };
    const Case cases[] = {
        {"empty.txt", "", stored},
        {"Templates\\Faxes\\Fax 1.rtf", "{\\rtf fax}", stored},
        {"odd.dat", std::string(5000, 'x'), Date(2001, 2, 3, 4, 5, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string target = Dir / (std::string(c.Name) + ".out");
        const std::string folder = target.substr(0, target.find_last_of('\\') + 1);
        ForceFolders(folder);
        InstallLog->clear();
        // Twice: the second write replaces the file and finds its line already there.
        for (int round = 0; round < 2; ++round)
            ASSERT_TRUE(files->ExtractFile(Entry(*files, c.Name), "", target));
        EXPECT_EQ(c.Data, ReadAll(target));
        EXPECT_EQ(c.DateOnDisk, GetFileWriteDate(target));
        EXPECT_EQ(std::vector<std::string>{"File Copy: " + target}, LogLines());
    }
}

TEST_F(ExtractFile, LooksTheNameUpFromTheLastEntryIgnoringCase) {
    auto files = MakeArchive({{"License.txt", "first", Date(2024, 1, 1, 0, 0, 0)},
                              {"LICENSE.TXT", "last", Date(2024, 1, 1, 0, 0, 0)}});
    ASSERT_TRUE(files->ExtractFile(nullptr, "license.txt", Dir / "l.txt"));
    EXPECT_EQ("last", ReadAll(Dir / "l.txt"));
}

TEST_F(ExtractFile, CreatesMissingFoldersWithOneLineEachAndARetryAddsNone) {
    // A name that no file may carry makes every attempt fail after its folders exist.
    auto files = MakeArchive({{"a.txt", "a", Date(2024, 1, 1, 0, 0, 0)}});
    const std::string bad = Dir / "A\\B\\bad?.txt";
    TDialogDriver user({{mrRetry, nullptr}, {mrIgnore, nullptr}});
    EXPECT_TRUE(files->ExtractFile(Entry(*files, "a.txt"), "", bad));
    ASSERT_TRUE(user.Finish());
    EXPECT_EQ(CannotCreate(bad), user.Seen[0].Text);
    EXPECT_EQ((std::vector<std::string>{"Made Dir: " + Dir.Path + "A\\",
                                        "Made Dir: " + Dir.Path + "A\\B\\"}),
              LogLines());

    const std::string good = Dir / "C\\D\\a.txt";
    InstallLog->clear();
    ASSERT_TRUE(files->ExtractFile(Entry(*files, "a.txt"), "", good));
    EXPECT_EQ((std::vector<std::string>{"Made Dir: " + Dir.Path + "C\\",
                                        "Made Dir: " + Dir.Path + "C\\D\\", "File Copy: " + good}),
              LogLines());
}

TEST_F(ExtractFile, AYearADosDateCannotHoldLeavesTheTimeOfWriting) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (const double stored : {Date(1975, 5, 5, 10, 0, 0), Date(2150, 5, 5, 10, 0, 0)}) {
        auto files = MakeArchive({{"old.txt", "old", stored}});
        const std::string target = Dir / "old.txt";
        ASSERT_TRUE(files->ExtractFile(Entry(*files, "old.txt"), "", target));
        // The current date, not the stored one (a test run across New Year's Eve aside).
        EXPECT_GE(DecodeDateTime(GetFileWriteDate(target)).Year, now.wYear);
        EXPECT_LE(DecodeDateTime(GetFileWriteDate(target)).Year, now.wYear + 1);
    }
}

TEST_F(ExtractFile, WithTheLogSuspendedNothingIsRecorded) {
    auto files = MakeArchive({{"a.txt", "a", Date(2024, 1, 1, 0, 0, 0)}});
    SuspendInstallLog();
    ASSERT_TRUE(files->ExtractFile(nullptr, "a.txt", Dir / "X\\Y\\a.txt"));
    ResumeInstallLog();
    EXPECT_EQ("a", ReadAll(Dir / "X\\Y\\a.txt"));
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(ExtractFile, ANameThePayloadDoesNotHoldIsAFailedAttempt) {
    auto files = MakeArchive({{"a.txt", "a", Date(2024, 1, 1, 0, 0, 0)}});
    const std::string target = Dir / "N\\missing.txt";
    {
        TDialogDriver user({{mrRetry, nullptr}, {mrAbort, nullptr}});
        EXPECT_FALSE(files->ExtractFile(nullptr, "missing.txt", target));
        ASSERT_TRUE(user.Finish());
        EXPECT_EQ(CannotCreate(target), user.Seen[1].Text);
        // On the user-interface thread the dialog is shown directly: the record stays as it was.
        EXPECT_EQ(Idle, user.Seen[0].StateWhileShown);
    }
    {
        TDialogDriver user({{mrIgnore, nullptr}});
        EXPECT_TRUE(files->ExtractFile(nullptr, "missing.txt", target));
        ASSERT_TRUE(user.Finish());
    }
    EXPECT_FALSE(IsFile(target));
    EXPECT_TRUE(LogLines().empty());
}

// --- a file that another program holds open ------------------------------------------------

// A second process holding the file with no sharing, as Wine enforces between processes.
class THeldFile {
  public:
    explicit THeldFile(const std::string& path) {
        const std::string tag =
            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        const std::string readyName = "sarvello-held-ready-" + tag;
        const std::string releaseName = "sarvello-held-release-" + tag;
        Ready.reset(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
        ReleaseEvent.reset(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
        std::string cmd = "\"";
        cmd.append(ModuleFolder()).append("engine_file_holder.exe\" \"").append(path);
        cmd.append("\" ").append(readyName).append(" ").append(releaseName);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return;
        Process.reset(pi.hProcess);
        CloseHandle(pi.hThread);
        const HANDLE waits[] = {Ready.get(), Process.get()};
        Held = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
    }
    ~THeldFile() { Release(); }
    void Release() {
        if (!Process) return;
        SetEvent(ReleaseEvent.get());
        WaitForSingleObject(Process.get(), 20000);
        Process.reset();
    }
    bool Held = false;

  private:
    win::UniqueHandle Ready, ReleaseEvent, Process;
};

TEST_F(ExtractFile, AFileHeldByAnotherProgramIsAskedAbout) {
    auto files = MakeArchive({{"doc.txt", "new", Date(2024, 1, 1, 0, 0, 0)}});
    struct Case {
        const char* Name;
        int Answer;
        bool Result;
        const char* Content;
        bool Logged;
    };
    const Case cases[] = {
        {"retry", mrRetry, true, "new", true}, // the holder lets go before Retry
        {"ignore", mrIgnore, true, "old", false},
        {"abort", mrAbort, false, "old", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        InstallLog->clear();
        const std::string target = Dir / (std::string(c.Name) + ".txt");
        WriteAll(target, "old");
        THeldFile holder(target);
        ASSERT_TRUE(holder.Held);
        std::vector<TDialogDriver::Step> steps = {{c.Answer, nullptr}};
        if (c.Answer == mrRetry) steps[0].Before = [&] { holder.Release(); };
        TDialogDriver user(steps);
        EXPECT_EQ(c.Result, files->ExtractFile(Entry(*files, "doc.txt"), "", target));
        ASSERT_TRUE(user.Finish());
        EXPECT_EQ(CannotCreate(target), user.Seen[0].Text);
        holder.Release();
        EXPECT_EQ(c.Content, ReadAll(target));
        EXPECT_EQ(c.Logged ? std::vector<std::string>{"File Copy: " + target}
                           : std::vector<std::string>{},
                  LogLines());
    }
}

// --- a read-only file ------------------------------------------------------------------------

// Wine keeps the read-only attribute as the Unix mode, which does not stop root, and the tests
// run as root. The file is therefore also made immutable on the Unix side (chattr +i), which
// stops every user; Wine starts Unix programs given by their Unix path. Skips where that is not
// possible.
class TReadOnlyFile {
  public:
    explicit TReadOnlyFile(const std::string& path) : Path(path) {
        SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY);
        Unix = UnixName(path);
        if (Unix.empty() || !RunUnix("/usr/bin/chattr +i \"" + Unix + "\"")) return;
        ReadOnly = WaitUntilWritable(false);
    }
    ~TReadOnlyFile() {
        if (!Unix.empty() && RunUnix("/usr/bin/chattr -i \"" + Unix + "\""))
            WaitUntilWritable(true);
        SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    bool ReadOnly = false;

  private:
    static std::string UnixName(const std::string& path) {
        using Fn = char*(CDECL*)(LPCWSTR);
        const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        if (!fn) return {};
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char* unix = fn(wide);
        if (!unix) return {};
        std::string result = unix;
        HeapFree(GetProcessHeap(), 0, unix);
        return result;
    }
    static bool RunUnix(std::string cmd) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }
    // A Unix child is not waitable from here; its effect is. Bounded: a hang guard, not a timing
    // expectation.
    bool WaitUntilWritable(bool writable) const {
        for (int i = 0; i < 2000; ++i) {
            win::UniqueFile f(CreateFileA(Path.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
            if (static_cast<bool>(f) == writable) return true;
            Sleep(5);
        }
        return false;
    }
    std::string Path, Unix;
};

TEST_F(ExtractFile, AReadOnlyFileIsAskedAboutAndKeptOnAbort) {
    auto files = MakeArchive({{"doc.txt", "new", Date(2024, 1, 1, 0, 0, 0)}});
    const std::string target = Dir / "ro.txt";
    WriteAll(target, "old");
    TReadOnlyFile readOnly(target);
    if (!readOnly.ReadOnly) GTEST_SKIP() << "no way to make a file read-only for this user";
    TDialogDriver user({{mrRetry, nullptr}, {mrAbort, nullptr}});
    EXPECT_FALSE(files->ExtractFile(Entry(*files, "doc.txt"), "", target));
    ASSERT_TRUE(user.Finish());
    EXPECT_EQ(CannotCreate(target), user.Seen[1].Text);
    EXPECT_EQ("old", ReadAll(target));
    EXPECT_TRUE(LogLines().empty());
}

// --- a full disk -----------------------------------------------------------------------------

// Drive S: is a 2 MiB volume when the test harness could mount one. A full volume accepts part
// of a write and reports success, so only the count of bytes written shows the failure.
class ExtractFileFullDisk : public ExtractFile {
  protected:
    void SetUp() override {
        ExtractFile::SetUp();
        if (!IsFile("S:\\.sarvello-small")) GTEST_SKIP() << "no small volume behind S:";
        DeleteFolderTree(Folder);
        CreateDirectoryA(Folder.c_str(), nullptr);
    }
    void TearDown() override {
        DeleteFolderTree(Folder);
        ExtractFile::TearDown();
    }
    const std::string Folder = "S:\\extract-full\\";
};

TEST_F(ExtractFileFullDisk, AShortWriteIsAFailedAttemptAndRetryWorksOnceThereIsRoom) {
    const std::string data(1024 * 1024, 'p');
    auto files = MakeArchive({{"big.dat", data, Date(2024, 1, 1, 0, 0, 0)}});
    const std::string filler = Folder + "filler.bin";
    WriteAll(filler, std::string(1536 * 1024, 'f')); // leaves less room than the entry needs
    const std::string target = Folder + "big.dat";
    bool partialLeftBehind = true;
    TDialogDriver user({{mrRetry, [&] {
                             partialLeftBehind = IsFile(target);
                             DeleteFileA(filler.c_str()); // the user makes room
                         }}});
    EXPECT_TRUE(files->ExtractFile(Entry(*files, "big.dat"), "", target));
    ASSERT_TRUE(user.Finish());
    EXPECT_EQ(CannotCreate(target), user.Seen[0].Text);
    EXPECT_FALSE(partialLeftBehind);
    EXPECT_TRUE(ReadAll(target) == data);
    EXPECT_EQ(std::vector<std::string>{"File Copy: " + target}, LogLines());
}

TEST_F(ExtractFileFullDisk, AnEntryLargerThanTheVolumeIsNeverReportedWritten) {
    auto files =
        MakeArchive({{"huge.dat", std::string(3 * 1024 * 1024, 'h'), Date(2024, 1, 1, 0, 0, 0)}});
    const std::string target = Folder + "huge.dat";
    TDialogDriver user({{mrRetry, nullptr}, {mrAbort, nullptr}});
    EXPECT_FALSE(files->ExtractFile(Entry(*files, "huge.dat"), "", target));
    ASSERT_TRUE(user.Finish());
    EXPECT_FALSE(IsFile(target));
    EXPECT_TRUE(LogLines().empty());
}

} // namespace
