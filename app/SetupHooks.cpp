#include "app/SetupHooks.h"

#include "engine/AttachFiles.h"

void OpenPayload() {
    AttachedFiles = new TAttachedFiles();
}

void ClosePayload() {
    // Also deletes the setup's leftover temporary files.
    delete AttachedFiles;
    AttachedFiles = nullptr;
}

TWizardHooks MakeSetupHooks() {
    TWizardHooks hooks;
    return hooks;
}

void JoinInstallWorker() {}

std::int64_t InstalledBytes() {
    return 0;
}
