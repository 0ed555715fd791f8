#include "engine/InstallThreadStatus.h"

#include "ui/MessageDialog.h"

#include <chrono>
#include <thread>

TInstallThreadStatus InstallThreadStatus;

void TWaitBackoff::Wait() {
    if (Rounds < 64) {
        ++Rounds;
        std::this_thread::yield();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::uint8_t WaitWhilePaused(TInstallThreadStatus& status) {
    TWaitBackoff backoff;
    std::uint8_t s = status.Read();
    while (s == Paused) {
        backoff.Wait();
        s = status.Read();
    }
    return s;
}

std::uint8_t LeaveRunning(TInstallThreadStatus& status, std::uint8_t to) {
    for (;;) {
        const std::uint8_t s = WaitWhilePaused(status);
        if (s != Running) return s;
        if (status.Move(Running, to)) return to;
    }
}

int RequestThreadMessage(TInstallThreadStatus& status, const std::string& text, std::uint8_t kind,
                         std::uint16_t buttons) {
    // The fields are written only while the state is Running: the wizard reads them only after
    // it has seen MessageRequested, and it has finished with the previous request before it
    // published that request's answer.
    for (;;) {
        if (WaitWhilePaused(status) != Running) return mrAbort;
        status.MsgText = text;
        status.MsgKind = kind;
        status.MsgButtons = buttons;
        if (status.Move(Running, MessageRequested)) break;
    }
    TWaitBackoff backoff;
    std::uint8_t s = status.Read();
    while (s == MessageRequested || s == Paused) {
        backoff.Wait();
        s = status.Read();
    }
    if (s != MessageAnswered) return mrAbort; // stopped while asking: the wizard is closing
    const int answer = status.MsgResult;
    // A stop request may have come in after the answer; it stays, and the worker meets it.
    status.Move(MessageAnswered, Running);
    return answer;
}

bool RequestStop(TInstallThreadStatus& status) {
    std::uint8_t s = status.Read();
    for (;;) {
        if (s != Running && s != Paused && s != MessageRequested && s != MessageAnswered)
            return false;
        if (status.State.compare_exchange_weak(s, Stopped, std::memory_order_acq_rel,
                                               std::memory_order_acquire)) {
            status.StopRequested = true;
            return true;
        }
    }
}
