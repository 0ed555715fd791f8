// The user's choices kept between runs under the current user's product key, and the entry in
// Windows' list of installed programs.
#pragma once

#include <cstdint>
#include <string>

#include "product/FolderLayout.h"
#include "product/WizardChoices.h"

inline constexpr const char* ProductKeyPath = "Software\\Sarvello Word Processor\\Install";
// From the root: the main program keeps its own values there.
inline constexpr const char* InternalKeyPath = "\\Software\\Sarvello Word Processor\\Internal";
inline constexpr const char* UninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sarvello Word Processor";

// Fills DestDir, CompsMask, CheckStates, InstallToAll, Extensions, Launch and LastRunVersion
// from the registry and the command line (program name first); creates the product and
// internal keys when missing.
void LoadChoices(TWizardChoices& choices, const std::string& commandLine,
                 const TShellFolderLookup& shellFolder = SystemShellFolders());

// Writes the choices back (CompsMask takes bits 0..5 from the check states) and, outside
// portable mode, the uninstall entry; installedBytes gives its estimated size.
void SaveChoices(TWizardChoices& choices, std::int64_t installedBytes);
