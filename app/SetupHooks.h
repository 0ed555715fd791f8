// Where the wizard meets the payload archive and the install engine: the archive's life, the
// hooks the wizard runs on its moves, and the shutdown's wait for the worker.
#pragma once

#include <cstdint>

#include "wizard/MainDlg.h"

// Startup step 5 and shutdown step 3: the global AttachedFiles.
void OpenPayload();
void ClosePayload();

// The work of the engine the wizard starts on its moves.
TWizardHooks MakeSetupHooks();

// Returns once no worker runs any more (at once when copying never started).
void JoinInstallWorker();
// The bytes the installation put on disk, for the uninstall entry.
std::int64_t InstalledBytes();
