// The install worker: drains the six install queues on its own thread while the wizard stays
// responsive, and talks to the wizard only through the shared status record.
#pragma once

#include "engine/AttachFiles.h"
#include "engine/InstallThreadStatus.h"
#include "util/ScopedWin.h"

class TInstallThread {
  public:
    // Starts copying at once; the worker reports through InstallThreadStatus, whose state the
    // caller has set to Running (or to Paused, holding the worker at its first checkpoint). The
    // queues and the payload must not change until the worker has ended.
    explicit TInstallThread(TAttachedFiles& files);
    // Asks a worker that still runs to stop and waits for it: neither the payload nor the install
    // log may go away under it.
    ~TInstallThread();
    TInstallThread(const TInstallThread&) = delete;
    TInstallThread& operator=(const TInstallThread&) = delete;

    // Waits until the worker has ended.
    void WaitFor();
    // StopAndWait: the shutdown's join. The worker finishes the file it is writing.
    void StopAndWait();
    bool Finished() const;

    // The worker's body, on the calling thread.
    static void Execute(TAttachedFiles& files);

  private:
    TAttachedFiles& Files;
    win::UniqueHandle Thread;
};
