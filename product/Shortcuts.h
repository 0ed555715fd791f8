// What ties the installed product into the desktop: the document-type registration (done by
// the main program itself, started with the chosen types), shortcuts in the Programs menu and
// on the desktop, and the launch at the end.
#pragma once

#include <string>

#include "product/FolderLayout.h"
#include "product/WizardChoices.h"

inline constexpr const char* ShortcutFileName = "Sarvello Word Processor.lnk";
inline constexpr const char* ShortcutDescription =
    "Compact, fast-loading, but still powerful and efficient word processor.";

// Saves a shell link; its folder is created first. Records the link in the install log only
// when it was saved. False when the link could not be made.
bool CreateShortcut(const std::string& path, const std::string& target,
                    const std::string& workingFolder, const std::string& description);

// Outside portable mode: Extensions rebuilt from the boxes, the association command started,
// and a shortcut in the Programs menu and on the desktop of the chosen scope, the other
// scope's one deleted.
void AssociateAndCreateShortcuts(TWizardChoices& choices,
                                 const TShellFolderLookup& shellFolder = SystemShellFolders());

// Starts the installed main program when the launch box is ticked; portable mode included.
void LaunchMainProgram(const TWizardChoices& choices);
