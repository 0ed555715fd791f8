// "Update.log" in the shared data folder: every file installations put into the public data
// folder, listed once under the stamp of the installation that last delivered it.
#pragma once

#include <string>
#include <vector>

#include "product/FolderLayout.h"
#include "product/WizardChoices.h"

// The user locale's comparison ignoring case (CompareStringA), as strcmp.
int CompareTextNoCase(const std::string& a, const std::string& b);

// Sorts publicFiles in place and rewrites "Update.log" with them under choices.InstallStamp.
// An empty list touches nothing. A file that cannot be read or written throws EAbort.
void WriteUpdateLog(const TWizardChoices& choices, std::vector<std::string>& publicFiles,
                    const TShellFolderLookup& shellFolder = SystemShellFolders());
