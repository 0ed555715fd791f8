// The record that the install worker and the wizard share, and the worker's side of its state
// machine. No lock: the state is one atomic byte, and every move is a compare-and-exchange from
// the state the mover read, so that two moves meeting never lose one of them. Platform-neutral,
// so that the host build can run it under ThreadSanitizer.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

enum : std::uint8_t {
    Idle = 0,             // no copying: before installation, and after the wizard saw its end
    Running = 1,          // the worker is copying
    Paused = 2,           // the wizard is asking the user something; no further file meanwhile
    Stopped = 3,          // the user chose to quit (wizard), or the worker has ended (worker)
    Failed = 4,           // the worker gave up: the user abandoned a file
    MessageRequested = 5, // the worker waits for a message box; the message fields are filled
    MessageAnswered = 6,  // the wizard has shown it; MsgResult holds the answer
};

inline constexpr std::uint8_t NoComponent = 255;

struct TInstallThreadStatus {
    std::atomic<std::uint8_t> State{Idle};
    // Published by the worker for the progress bar: the queue being drained and the bytes of the
    // entries written so far (the unit of TotalSize).
    std::atomic<std::uint8_t> Component{NoComponent};
    std::atomic<std::int32_t> Progress{0};
    // Written by the worker before it publishes MessageRequested.
    std::string MsgText;
    std::uint8_t MsgKind = 0;
    std::uint16_t MsgButtons = 0;
    // Written by the wizard before it publishes MessageAnswered.
    std::int32_t MsgResult = 0;
    // Set by the wizard when it asked the worker to stop, so that the end of a stopped worker is
    // never taken for a finished installation. Touched by the user-interface thread only.
    bool StopRequested = false;

    std::uint8_t Read() const { return State.load(std::memory_order_acquire); }
    // One move: from `from` to `to`, only when the state is still `from`.
    bool Move(std::uint8_t from, std::uint8_t to) {
        return State.compare_exchange_strong(from, to, std::memory_order_acq_rel,
                                             std::memory_order_acquire);
    }
};

extern TInstallThreadStatus InstallThreadStatus;

// Gives the processor away while a wait goes on: a few plain yields first (a pause is usually
// over at once when nobody is asked anything), then short sleeps.
class TWaitBackoff {
  public:
    void Wait();

  private:
    unsigned Rounds = 0;
};

// --- the worker's side --------------------------------------------------------------------

// Waits while the wizard holds the worker (Paused) and returns the state that ended the wait.
std::uint8_t WaitWhilePaused(TInstallThreadStatus& status);

// The worker's final moves: from Running to `to` (Stopped or Failed), waiting out a pause first.
// When the wizard asked for a stop meanwhile, the state stays Stopped. Returns the state left.
std::uint8_t LeaveRunning(TInstallThreadStatus& status, std::uint8_t to);

// The worker's request for a message box, answered by the wizard's status timer. When the
// wizard has asked the worker to stop, nobody will answer any more and the request gives Abort.
int RequestThreadMessage(TInstallThreadStatus& status, const std::string& text, std::uint8_t kind,
                         std::uint16_t buttons);

// --- the wizard's side --------------------------------------------------------------------

// Asks a live worker to stop (from Running, Paused, MessageRequested or MessageAnswered).
// True when this call made the move.
bool RequestStop(TInstallThreadStatus& status);
