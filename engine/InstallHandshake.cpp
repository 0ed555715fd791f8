#include "engine/InstallHandshake.h"

#include "ui/MessageDialog.h"

const char* const CloseQuestionText = "Setup is not complete. If you quit this setup program now,\r"
                                      "Sarvello will not be correctly installed.\r\r"
                                      "You may relaunch the setup program at a later time\r"
                                      "to complete the installation of Sarvello.\r\r"
                                      "To continue installing, click No.\r"
                                      "To quit this setup program, click Abort.";

void StatusTimerStep(TInstallThreadStatus& status, TInstallWizardSide& wizard) {
    const std::uint8_t s = status.Read();
    if (s == Running) {
        const std::uint8_t component = status.Component.load(std::memory_order_relaxed);
        if (component != NoComponent) {
            wizard.ShowProgress(status.Progress.load(std::memory_order_relaxed), component);
            return;
        }
    }
    if (status.Move(MessageRequested, Paused)) {
        // Copies: the dialog runs a message loop in which anything may happen.
        const std::string text = status.MsgText;
        const std::uint8_t kind = status.MsgKind;
        const std::uint16_t buttons = status.MsgButtons;
        int answer = mrAbort; // a question that cannot be asked ends the installation
        try {
            answer = wizard.ShowMessage(text, kind, buttons);
        } catch (...) {
            status.MsgResult = answer;
            status.Move(Paused, MessageAnswered);
            throw;
        }
        status.MsgResult = answer;
        // Fails only when the user quit meanwhile; the worker then meets Stopped instead.
        status.Move(Paused, MessageAnswered);
        return;
    }
    if (s == Stopped) {
        if (!status.StopRequested && status.Move(Stopped, Idle)) wizard.CopyingEnded();
        return;
    }
    if (s == Failed) wizard.CloseAsCancelled();
}

bool InstallCloseQuery(TInstallThreadStatus& status, TInstallWizardSide& wizard, bool mayClose) {
    // Only a hold taken here is released here: a Paused set by the status timer belongs to the
    // message it is showing.
    const bool held = status.Move(Running, Paused);
    bool canClose = mayClose;
    try {
        if (!canClose)
            canClose =
                wizard.ShowMessage(CloseQuestionText, mtConfirmation, mbNo | mbAbort) == mrAbort;
    } catch (...) {
        if (held) status.Move(Paused, Running);
        throw;
    }
    if (canClose) {
        // Whatever the worker is doing, it must end: nobody answers its questions once the
        // wizard has gone, and shutdown waits for it.
        RequestStop(status);
    } else if (held) {
        status.Move(Paused, Running);
    }
    return canClose;
}
