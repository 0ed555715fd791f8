// The install worker under Wine with the wizard's side of the handshake: real threads, real
// files, and the real message dialog answered by a driver thread. This test's main thread plays
// the wizard's user-interface thread and runs the status timer's step.
#include "install_test_support.h"

#include "engine/AttachFiles.h"
#include "engine/InstallHandshake.h"
#include "engine/InstallThread.h"
#include "engine/InstallThreadStatus.h"
#include "ui/MessageDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace installtest;

namespace {

const char* const Root = "worker";
const double Stored = Date(2024, 6, 15, 13, 37, 42);

class TTestWizard : public TInstallWizardSide {
  public:
    void ShowProgress(std::int32_t progress, std::uint8_t component) override {
        LastProgress = progress;
        LastComponent = component;
    }
    int ShowMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons) override {
        return MessageDlg(text, kind, buttons);
    }
    void CopyingEnded() override { ++Ended; }
    void CloseAsCancelled() override { ++Cancelled; }

    std::int32_t LastProgress = -1;
    std::uint8_t LastComponent = NoComponent;
    int Ended = 0, Cancelled = 0;
};

class Worker : public testing::Test {
  protected:
    void SetUp() override {
        FreshInstallLog();
        TargetIsFullPath = false;
        auto& s = InstallThreadStatus;
        s.State = Running; // as the page flow sets it before it starts the worker
        s.Component = NoComponent;
        s.Progress = 0;
        s.MsgResult = 0;
        s.StopRequested = false;
    }
    void TearDown() override {
        Thread.reset();
        InstallLogSuspendCount = 0;
        InstallThreadStatus.State = Idle;
    }
    // The status timer, every few milliseconds instead of every 100, until done says so.
    void RunTimerUntil(const std::function<bool()>& done) {
        while (!done()) {
            StatusTimerStep(InstallThreadStatus, Wizard);
            Sleep(5);
        }
    }
    void Queue(const std::string& pattern, std::uint8_t queue) {
        ASSERT_TRUE(Files->QueueFiles(pattern, Dir.Path, queue, 2)) << pattern;
    }

    TScratch Dir{Root};
    std::unique_ptr<TAttachedFiles> Files = MakeArchive({
        {"mrv.exe", std::string(70000, 'm'), Stored},
        {"License.txt", "licence", Stored},
        {"Templates\\Letter.rtf", "letter", Stored},
        {"Templates\\Faxes\\Fax 1.rtf", "fax", Stored},
        {"Hyphenation.dat", std::string(182700, 'h'), Stored},
        {"a.txt", "a", Stored},
        {"b.txt", "b", Stored},
        {"c.txt", "c", Stored},
        {"d.txt", "d", Stored},
    });
    TTestWizard Wizard;
    std::unique_ptr<TInstallThread> Thread;
};

TEST_F(Worker, WithAllQueuesEmptyItStopsAtOnce) {
    Thread = std::make_unique<TInstallThread>(*Files);
    Thread->WaitFor();
    EXPECT_EQ(Stopped, InstallThreadStatus.Read());
    EXPECT_EQ(NoComponent, InstallThreadStatus.Component.load());
    StatusTimerStep(InstallThreadStatus, Wizard);
    EXPECT_EQ(Idle, InstallThreadStatus.Read());
    EXPECT_EQ(1, Wizard.Ended);
    EXPECT_EQ(-1, Wizard.LastProgress); // nothing was published, so nothing was shown
}

TEST_F(Worker, CopiesEveryQueueAndKeepsSuspendedCopiesOutOfTheLog) {
    Queue("mrv.exe", 0);
    Queue("License.txt", 0);
    SuspendInstallLog();
    Queue("Templates\\", 2);
    ResumeInstallLog();
    Queue("Hyphenation.dat", 5);
    Thread = std::make_unique<TInstallThread>(*Files);
    RunTimerUntil([&] { return Wizard.Ended > 0; });
    EXPECT_EQ(std::string(70000, 'm'), ReadAll(Dir / "mrv.exe"));
    EXPECT_EQ("fax", ReadAll(Dir / "Templates\\Faxes\\Fax 1.rtf"));
    EXPECT_EQ(Stored, GetFileWriteDate(Dir / "Hyphenation.dat"));
    EXPECT_EQ((std::vector<std::string>{"File Copy: " + Dir / "mrv.exe",
                                        "File Copy: " + Dir / "License.txt",
                                        "File Copy: " + Dir / "Hyphenation.dat"}),
              LogLines());
    EXPECT_EQ(0, InstallLogSuspendCount.load());
    EXPECT_EQ(Files->TotalSize(), InstallThreadStatus.Progress.load());
    EXPECT_EQ(5, InstallThreadStatus.Component.load());
    EXPECT_EQ(Idle, InstallThreadStatus.Read());
}

TEST_F(Worker, AFailedCopyIsAnsweredRetryThenIgnoreThenAbort) {
    // A folder where a file is to go: its creation fails every time.
    CreateDirectoryA((Dir / "a.txt").c_str(), nullptr);
    CreateDirectoryA((Dir / "c.txt").c_str(), nullptr);
    Queue("a.txt", 0);
    Queue("b.txt", 0);
    SuspendInstallLog();
    Queue("c.txt", 1);
    ResumeInstallLog();
    Queue("d.txt", 1);
    TDialogDriver user({{mrRetry, nullptr}, {mrIgnore, nullptr}, {mrAbort, nullptr}});
    Thread = std::make_unique<TInstallThread>(*Files);
    RunTimerUntil([&] { return Wizard.Cancelled > 0; });
    Thread->WaitFor();
    ASSERT_TRUE(user.Finish());
    EXPECT_EQ(CannotCreate(Dir / "a.txt"), user.Seen[0].Text);
    EXPECT_EQ(CannotCreate(Dir / "a.txt"), user.Seen[1].Text);
    EXPECT_EQ(CannotCreate(Dir / "c.txt"), user.Seen[2].Text);
    for (const TSeenDialog& seen : user.Seen)
        EXPECT_EQ(Paused, seen.StateWhileShown);
    EXPECT_EQ("b", ReadAll(Dir / "b.txt"));
    EXPECT_FALSE(IsFile(Dir / "d.txt"));
    EXPECT_EQ(std::vector<std::string>{"File Copy: " + Dir / "b.txt"}, LogLines());
    EXPECT_EQ(Failed, InstallThreadStatus.Read());
    // The abandoned copy was a suspended one: nothing after it may be recorded.
    EXPECT_EQ(1, InstallLogSuspendCount.load());
}

TEST_F(Worker, ClosingDuringCopyHoldsTheWorkerAfterItsFileThenGoesOnOrStops) {
    for (const int answer : {mrNo, mrAbort}) {
        SCOPED_TRACE(answer == mrNo ? "No" : "Abort");
        SetUp();
        Wizard = TTestWizard();
        for (std::uint8_t q = 0; q < QueueCount; ++q)
            Files->ClearQueue(q);
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            DeleteFileA((Dir / name).c_str());
            Queue(name, 0);
        }
        // The user closes the wizard just as the first file is being written: the worker starts
        // while the question is up and must stop at its first checkpoint.
        bool secondWrittenWhileHeld = true;
        TDialogDriver user({{answer, [&] {
                                 Thread = std::make_unique<TInstallThread>(*Files);
                                 for (int i = 0; i < 4000 && InstallThreadStatus.Progress < 1; ++i)
                                     Sleep(5);
                                 secondWrittenWhileHeld = IsFile(Dir / "b.txt");
                             }}});
        const bool canClose = InstallCloseQuery(InstallThreadStatus, Wizard, false);
        ASSERT_TRUE(user.Finish());
        EXPECT_EQ(CloseQuestionText, user.Seen[0].Text);
        EXPECT_EQ(Paused, user.Seen[0].StateWhileShown);
        EXPECT_FALSE(secondWrittenWhileHeld);
        EXPECT_EQ(answer == mrAbort, canClose);
        if (answer == mrNo) {
            RunTimerUntil([&] { return Wizard.Ended > 0; });
            EXPECT_EQ("c", ReadAll(Dir / "c.txt"));
            EXPECT_EQ(3u, LogLines().size());
        } else {
            Thread->WaitFor(); // what shutdown does before it saves the log
            EXPECT_EQ(Stopped, InstallThreadStatus.Read());
            EXPECT_EQ("a", ReadAll(Dir / "a.txt"));
            EXPECT_FALSE(IsFile(Dir / "b.txt"));
            EXPECT_EQ(std::vector<std::string>{"File Copy: " + Dir / "a.txt"}, LogLines());
            StatusTimerStep(InstallThreadStatus, Wizard); // a stop is no finished installation
            EXPECT_EQ(0, Wizard.Ended);
        }
        Thread.reset();
    }
}

TEST_F(Worker, ShutdownEndsAWorkerThatWaitsForAnAnswerNobodyGives) {
    CreateDirectoryA((Dir / "a.txt").c_str(), nullptr);
    Queue("a.txt", 0);
    Queue("b.txt", 0);
    Thread = std::make_unique<TInstallThread>(*Files);
    TWaitBackoff backoff;
    while (InstallThreadStatus.Read() != MessageRequested)
        backoff.Wait();
    Thread.reset(); // the wizard has gone: no status timer will answer
    EXPECT_EQ(Stopped, InstallThreadStatus.Read());
    EXPECT_FALSE(IsFile(Dir / "b.txt"));
    EXPECT_TRUE(LogLines().empty());
}

} // namespace
