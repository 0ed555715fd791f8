// The wizard's two sides of the handshake with the install worker: the status timer's step and
// the close query's hold and release of the worker. The wizard supplies what it does with its
// windows through TInstallWizardSide; everything runs on the user-interface thread.
#pragma once

#include "engine/InstallThreadStatus.h"

#include <cstdint>
#include <string>

class TInstallWizardSide {
  public:
    virtual ~TInstallWizardSide() = default;
    // The progress bar's position, and the label naming the component being copied (made safe
    // with LabelText, and assigned only when it differs, so that it does not flicker).
    virtual void ShowProgress(std::int32_t progress, std::uint8_t component) = 0;
    // A modal message dialog; returns the answer code.
    virtual int ShowMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons) = 0;
    // Copying has ended normally: show the associations page (the finish page when portable).
    virtual void CopyingEnded() = 0;
    // The worker gave up: close the wizard as cancelled, without a further question.
    virtual void CloseAsCancelled() = 0;
};

// The question asked when the wizard is to be closed before the setup is complete.
extern const char* const CloseQuestionText;

// One tick of the status timer.
void StatusTimerStep(TInstallThreadStatus& status, TInstallWizardSide& wizard);

// The close query: holds a copying worker at its next checkpoint while it asks whether to quit,
// then lets it go on, or asks it to stop when the wizard closes. Returns CanClose; the caller
// stores it as its MayClose.
bool InstallCloseQuery(TInstallThreadStatus& status, TInstallWizardSide& wizard, bool mayClose);
