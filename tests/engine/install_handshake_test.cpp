// The handshake between the install worker and the wizard, with real threads: the worker's side
// of the protocol against the status timer's step and the close query. Built twice on the host:
// with the address sanitizer, and with the thread sanitizer for the stress tests.
#include "engine/InstallHandshake.h"
#include "engine/InstallThreadStatus.h"
#include "ui/MessageDialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The wizard's part as the tests see it: what the status timer and the close query asked of it.
class TRecordingWizard : public TInstallWizardSide {
  public:
    std::function<int(const std::string&, std::uint8_t, std::uint16_t)> Answer =
        [](const std::string&, std::uint8_t, std::uint16_t) { return mrAbort; };
    std::vector<std::pair<std::int32_t, std::uint8_t>> Progress;
    std::vector<std::string> Messages;
    int Ended = 0;
    int Cancelled = 0;

    void ShowProgress(std::int32_t progress, std::uint8_t component) override {
        Progress.emplace_back(progress, component);
    }
    int ShowMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons) override {
        Messages.push_back(text);
        return Answer(text, kind, buttons);
    }
    void CopyingEnded() override { ++Ended; }
    void CloseAsCancelled() override { ++Cancelled; }
};

void Reset(TInstallThreadStatus& status, std::uint8_t state) {
    status.State = state;
    status.Component = NoComponent;
    status.Progress = 0;
    status.MsgText.clear();
    status.MsgKind = 0;
    status.MsgButtons = 0;
    status.MsgResult = 0;
    status.StopRequested = false;
}

// Runs the status timer until the worker thread has ended.
void PumpUntilDone(TInstallThreadStatus& status, TRecordingWizard& wizard,
                   const std::atomic<bool>& done) {
    while (!done) {
        StatusTimerStep(status, wizard);
        std::this_thread::yield();
    }
}

TEST(StatusTimer, TakesTheFirstBranchThatApplies) {
    struct Case {
        std::uint8_t State;
        std::uint8_t Component;
        bool StopRequested;
        std::uint8_t StateAfter;
        std::size_t ProgressShown;
        int Ended, Cancelled;
    };
    const Case cases[] = {
        {Running, NoComponent, false, Running, 0, 0, 0}, // nothing published yet: bar untouched
        {Running, 2, false, Running, 1, 0, 0},
        {Stopped, 2, false, Idle, 0, 1, 0},
        {Stopped, 2, true, Stopped, 0, 0, 0}, // the user quit: not a finished installation
        {Failed, 2, false, Failed, 0, 0, 1},
        {Idle, 2, false, Idle, 0, 0, 0},
        {Paused, 2, false, Paused, 0, 0, 0},
        {MessageAnswered, 2, false, MessageAnswered, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.State));
        TInstallThreadStatus status;
        TRecordingWizard wizard;
        Reset(status, c.State);
        status.Component = c.Component;
        status.Progress = 12345;
        status.StopRequested = c.StopRequested;
        StatusTimerStep(status, wizard);
        EXPECT_EQ(c.StateAfter, status.Read());
        ASSERT_EQ(c.ProgressShown, wizard.Progress.size());
        if (c.ProgressShown) {
            EXPECT_EQ(12345, wizard.Progress[0].first);
            EXPECT_EQ(c.Component, wizard.Progress[0].second);
        }
        EXPECT_EQ(c.Ended, wizard.Ended);
        EXPECT_EQ(c.Cancelled, wizard.Cancelled);
        EXPECT_TRUE(wizard.Messages.empty());
    }
}

TEST(ThreadMessage, TheTimerRelaysTheWorkersQuestionAndItsAnswer) {
    TInstallThreadStatus status;
    Reset(status, Running);
    TRecordingWizard wizard;
    std::uint8_t stateWhileShown = Idle;
    wizard.Answer = [&](const std::string& text, std::uint8_t kind, std::uint16_t buttons) {
        stateWhileShown = status.Read();
        EXPECT_EQ("Cannot create file \"C:\\x\".", text);
        EXPECT_EQ(mtError, kind);
        EXPECT_EQ(0x0070, buttons);
        return static_cast<int>(mrRetry);
    };
    std::atomic<bool> done{false};
    int answer = 0;
    std::thread worker([&] {
        answer = RequestThreadMessage(status, "Cannot create file \"C:\\x\".", mtError,
                                      mbAbort | mbRetry | mbIgnore);
        done = true;
    });
    PumpUntilDone(status, wizard, done);
    worker.join();
    EXPECT_EQ(mrRetry, answer);
    EXPECT_EQ(Paused, stateWhileShown);
    EXPECT_EQ(Running, status.Read());
    EXPECT_EQ(1u, wizard.Messages.size());
}

TEST(ThreadMessage, AStopWhileTheWorkerWaitsForAnAnswerGivesAbort) {
    TInstallThreadStatus status;
    Reset(status, Running);
    int answer = 0;
    std::thread worker([&] { answer = RequestThreadMessage(status, "q", mtError, mbAbort); });
    TWaitBackoff backoff;
    while (status.Read() != MessageRequested)
        backoff.Wait();
    EXPECT_TRUE(RequestStop(status)); // the wizard closes without answering
    worker.join();
    EXPECT_EQ(mrAbort, answer);
    EXPECT_EQ(Stopped, status.Read());
}

TEST(CloseQuery, HoldsACopyingWorkerAndLetsItGoOnNo) {
    TInstallThreadStatus status;
    Reset(status, Running);
    TRecordingWizard wizard;
    std::uint8_t stateWhileAsked = Idle;
    wizard.Answer = [&](const std::string& text, std::uint8_t kind, std::uint16_t buttons) {
        stateWhileAsked = status.Read();
        EXPECT_EQ(CloseQuestionText, text);
        EXPECT_EQ(mtConfirmation, kind);
        EXPECT_EQ(0x0012, buttons);
        return static_cast<int>(mrNo);
    };
    EXPECT_FALSE(InstallCloseQuery(status, wizard, false));
    EXPECT_EQ(Paused, stateWhileAsked);
    EXPECT_EQ(Running, status.Read());
}

TEST(CloseQuery, TheAnswerAndMayCloseDecide) {
    struct Case {
        std::uint8_t State;
        bool MayClose;
        int Answer;
        bool CanClose;
        std::size_t Questions;
        std::uint8_t StateAfter;
    };
    const Case cases[] = {
        {Running, false, mrAbort, true, 1, Stopped},
        {Running, false, mrCancel, false, 1, Running}, // Esc or the close box: stays open
        {Running, true, mrNo, true, 0, Stopped},
        {Idle, false, mrAbort, true, 1, Idle}, // the welcome page: no worker
        {Idle, false, mrNo, false, 1, Idle},
        {Failed, true, mrNo, true, 0, Failed},
        // The worker waits for its own question: quitting must still end it.
        {MessageRequested, false, mrAbort, true, 1, Stopped},
        {MessageRequested, false, mrNo, false, 1, MessageRequested},
        // The status timer is showing the worker's question: its hold is not ours to release.
        {Paused, false, mrNo, false, 1, Paused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.State) << " " << c.MayClose << " " << c.Answer);
        TInstallThreadStatus status;
        Reset(status, c.State);
        TRecordingWizard wizard;
        wizard.Answer = [&](const std::string&, std::uint8_t, std::uint16_t) { return c.Answer; };
        EXPECT_EQ(c.CanClose, InstallCloseQuery(status, wizard, c.MayClose));
        EXPECT_EQ(c.Questions, wizard.Messages.size());
        EXPECT_EQ(c.StateAfter, status.Read());
    }
}

TEST(CloseQuery, AnEscapingErrorStillReleasesTheHold) {
    TInstallThreadStatus status;
    Reset(status, Running);
    TRecordingWizard wizard;
    wizard.Answer = [](const std::string&, std::uint8_t, std::uint16_t) -> int {
        throw std::runtime_error("dialog failed");
    };
    EXPECT_THROW(InstallCloseQuery(status, wizard, false), std::runtime_error);
    EXPECT_EQ(Running, status.Read());
}

TEST(WorkerMoves, TheFinalMoveWaitsOutAHoldInsteadOfOverwritingIt) {
    // The close query holds the worker at the moment it wants to end. A plain store of Stopped
    // would be undone by the release that follows (Paused -> Running) and the wizard would wait
    // for ever; the worker must end after the release, and a stop given meanwhile must stay.
    for (const std::uint8_t release : {Running, Stopped}) {
        TInstallThreadStatus status;
        Reset(status, Paused);
        std::uint8_t left = Idle;
        std::thread worker([&] { left = LeaveRunning(status, Failed); });
        EXPECT_TRUE(status.Move(Paused, release));
        worker.join();
        EXPECT_EQ(release == Running ? Failed : Stopped, left);
        EXPECT_EQ(left, status.Read());
    }
}

// --- stress: every move of both sides, concurrently ---------------------------------------

struct TStressResult {
    int Requested = 0;
    int WrongAnswers = 0;
    int FilesDone = 0;
};

// The worker's protocol as the real worker runs it: a file, sometimes a question, a checkpoint.
void StressWorker(TInstallThreadStatus& status, int files, std::atomic<int>& filesDone,
                  TStressResult& result) {
    for (int i = 0; i < files; ++i) {
        if (i % 3 == 0) {
            ++result.Requested;
            const int answer = RequestThreadMessage(status, std::to_string(i), mtError, 0x70);
            if (answer == mrAbort && status.Read() == Stopped) break; // quit while asking
            if (answer != 1000 + i) ++result.WrongAnswers;
        }
        filesDone.fetch_add(1, std::memory_order_relaxed);
        if (WaitWhilePaused(status) == Stopped) break;
    }
    result.FilesDone = filesDone.load();
    LeaveRunning(status, Stopped);
}

TEST(HandshakeStress, NoMoveIsLostBetweenWorkerTimerAndCloseQuery) {
    constexpr int Files = 300;
    TInstallThreadStatus status;
    Reset(status, Running);
    status.Component = 0;
    std::atomic<int> filesDone{0};
    std::atomic<bool> done{false};
    TStressResult result;
    std::thread worker([&] {
        StressWorker(status, Files, filesDone, result);
        done = true;
    });

    TRecordingWizard wizard;
    int closeQuestions = 0, heldTooLittle = 0;
    wizard.Answer = [&](const std::string& text, std::uint8_t, std::uint16_t) {
        if (text != CloseQuestionText) return 1000 + std::stoi(text);
        ++closeQuestions;
        if (status.Read() != Paused) return static_cast<int>(mrNo); // nothing held this time
        // While the question is up the worker may finish the file in hand, but no other.
        const int before = filesDone.load();
        for (int spin = 0; spin < 200; ++spin)
            std::this_thread::yield();
        if (filesDone.load() > before + 1) ++heldTooLittle;
        return static_cast<int>(mrNo);
    };
    int doneAtLastQuestion = -1;
    while (status.Read() != Idle) {
        StatusTimerStep(status, wizard);
        // A close question only once the worker has got on since the last one: a user asks at
        // a human pace, and questions back to back would starve the worker (it backs off to
        // sleeping while held) instead of testing how the moves meet.
        if (filesDone.load() != doneAtLastQuestion) {
            doneAtLastQuestion = filesDone.load();
            EXPECT_FALSE(InstallCloseQuery(status, wizard, false));
        }
        std::this_thread::yield();
    }
    worker.join();

    EXPECT_TRUE(done);
    EXPECT_EQ(Files, result.FilesDone);
    EXPECT_EQ(0, result.WrongAnswers);
    EXPECT_EQ(result.Requested, static_cast<int>(wizard.Messages.size()) - closeQuestions);
    EXPECT_EQ(0, heldTooLittle);
    EXPECT_GT(closeQuestions, 20) << "the close query hardly met the worker: nothing was tested";
    EXPECT_EQ(1, wizard.Ended);
}

TEST(HandshakeStress, QuittingAtAnyMomentEndsTheWorker) {
    // The close query answered Abort at a different moment of the worker's run each round;
    // whatever the worker was doing (copying, asking, waiting for an answer), it ends with
    // Stopped and never counts a stopped run as finished.
    for (int round = 0; round < 200; ++round) {
        TInstallThreadStatus status;
        Reset(status, Running);
        std::atomic<int> filesDone{0};
        TStressResult result;
        std::thread worker([&] { StressWorker(status, 50, filesDone, result); });
        TRecordingWizard wizard;
        wizard.Answer = [&](const std::string& text, std::uint8_t, std::uint16_t) {
            return text == CloseQuestionText ? static_cast<int>(mrAbort) : 1000 + std::stoi(text);
        };
        bool canClose = false;
        for (int tick = 0; !canClose; ++tick) {
            StatusTimerStep(status, wizard);
            if (status.Read() == Idle) break; // finished before the question came
            if (tick == round % 40) canClose = InstallCloseQuery(status, wizard, false);
        }
        // The wizard has closed: no timer runs any more, and shutdown joins the worker.
        worker.join();
        if (canClose) {
            EXPECT_EQ(Stopped, status.Read());
        }
        EXPECT_EQ(0, result.WrongAnswers);
    }
}

} // namespace
