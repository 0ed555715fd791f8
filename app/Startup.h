// The program's entry and exit: the refusal of old Windows, the application's icon and title,
// the payload archive and the wizard, and the saving and releasing after the wizard has closed.
#pragma once

// True on Windows 2000 and every later NT-based Windows (GetVersionExA: NT, major above 4).
bool IsWindows2000OrLater();

// Runs the whole setup; returns the exit code (0 on every orderly path, 1 when an error
// escaped startup or shutdown).
int RunSetup();
