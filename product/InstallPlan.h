// The complete, ordered list of copies for one installation, and what has to happen before the
// first copy: legacy files removed, the sound-scheme settings and the install stamp written.
#pragma once

#include <functional>

#include "engine/AttachFiles.h"
#include "product/FolderLayout.h"
#include "product/WizardChoices.h"

// The current local date-time as days since 30 December 1899.
double LocalNow();

// The settings file the sound scheme needs (82 bytes, no line end after the last line).
inline constexpr const char* SoundSettingsText =
    "[\\Software\\Sarvello Word Processor\\Sounds\\General Settings]\r\n"
    "SoundScheme=Basic.wmq";
// Below this the main program lacks the clip library, so it is copied even when not chosen.
inline constexpr std::int32_t FirstVersionWithClipLibrary = 20004000;

// Fills the six queues of files from choices.SelectedComponents; outside portable mode sets
// choices.InstallStamp from now().
void BuildInstallPlan(TWizardChoices& choices, TAttachedFiles& files,
                      const TShellFolderLookup& shellFolder = SystemShellFolders(),
                      const std::function<double()>& now = LocalNow);
