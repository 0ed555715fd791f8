#pragma once

// True when a top-level window carries the property that a running copy of the installed
// main program sets on its windows.
bool IsMainProgramRunning();
