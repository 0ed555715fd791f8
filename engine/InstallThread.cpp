#include "engine/InstallThread.h"

#include "util/InstallLog.h"

#include <windows.h>

#include <process.h>

#include <stdexcept>

namespace {

unsigned __stdcall ThreadMain(void* files) {
    try {
        TInstallThread::Execute(*static_cast<TAttachedFiles*>(files));
    } catch (...) {
        // Out of memory in the middle of a copy: the installation ends as abandoned, and the
        // wizard closes, instead of the whole program ending here.
        LeaveRunning(InstallThreadStatus, Failed);
    }
    return 0;
}

} // namespace

TInstallThread::TInstallThread(TAttachedFiles& files) : Files(files) {
    InstallThreadStatus.Component.store(NoComponent);
    InstallThreadStatus.Progress.store(0);
    // _beginthreadex, not CreateThread: the worker uses the C runtime.
    const std::uintptr_t h = _beginthreadex(nullptr, 0, ThreadMain, &Files, 0, nullptr);
    if (!h) throw std::runtime_error("the install worker could not be started");
    Thread.reset(reinterpret_cast<HANDLE>(h));
}

TInstallThread::~TInstallThread() {
    StopAndWait();
}

void TInstallThread::WaitFor() {
    if (Thread) WaitForSingleObject(Thread.get(), INFINITE);
}

void TInstallThread::StopAndWait() {
    if (!Finished()) RequestStop(InstallThreadStatus);
    WaitFor();
}

bool TInstallThread::Finished() const {
    return !Thread || WaitForSingleObject(Thread.get(), 0) == WAIT_OBJECT_0;
}

void TInstallThread::Execute(TAttachedFiles& files) {
    TInstallThreadStatus& status = InstallThreadStatus;
    std::uint32_t progress = 0; // in the wizard's 32-bit range, wrapping as TotalSize does
    for (std::uint8_t q = 0; q < QueueCount; ++q) {
        if (!files.Queues[q].empty()) status.Component.store(q, std::memory_order_relaxed);
        for (const auto& item : files.Queues[q]) {
            if (!item->LogEnabled) SuspendInstallLog();
            if (!files.ExtractFile(item->AttachedFile, std::string(), item->TargetPath)) {
                // The log stays suspended: nothing after an abandoned file is recorded.
                LeaveRunning(status, Failed);
                return;
            }
            if (!item->LogEnabled) ResumeInstallLog();
            progress += static_cast<std::uint32_t>(item->AttachedFile->Size);
            status.Progress.store(static_cast<std::int32_t>(progress), std::memory_order_relaxed);
            if (WaitWhilePaused(status) == Stopped) break;
        }
        if (WaitWhilePaused(status) == Stopped) break;
    }
    LeaveRunning(status, Stopped);
}
