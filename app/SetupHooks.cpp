#include "app/SetupHooks.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "engine/AttachFiles.h"
#include "engine/InstallHandshake.h"
#include "engine/InstallThread.h"
#include "product/FolderLayout.h"
#include "product/InstallPlan.h"
#include "product/UpdateLog.h"
#include "ui/FormHelpers.h"
#include "ui/MessageDialog.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "wizard/ResConst.h"

namespace {

// The worker of this run; it exists from the start of copying until shutdown has joined it.
std::unique_ptr<TInstallThread> InstallThread;

// What the engine's side of the handshake does with the wizard's windows.
class TFormWizardSide : public TInstallWizardSide {
  public:
    explicit TFormWizardSide(TMainDlgForm& form) : Form(form) {}

    void ShowProgress(std::int32_t progress, std::uint8_t component) override {
        const auto& c = Form.Controls;
        SendMessageA(c.InstallingProgressBar, PBM_SETPOS, static_cast<WPARAM>(progress), 0);
        if (component >= ResConst::ComponentCount) return;
        const std::string caption = LabelText(ResConst::ComponentNames[component]);
        if (ui::GetText(c.InstallingLbl2) == caption) return;
        SetWindowTextA(c.InstallingLbl2, caption.c_str());
        ui::SizeToText(c.InstallingLbl2);
    }
    int ShowMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons) override {
        return MessageDlg(text, kind, buttons);
    }
    void CopyingEnded() override { Form.GoToPage(5, 6); }
    void CloseAsCancelled() override {
        Form.MayClose = true;
        Form.ModalResult = ModalResultCancel;
    }

  private:
    TMainDlgForm& Form;
};

bool ExtractPayloadFile(const std::string& name, const std::string& target) {
    return AttachedFiles->ExtractFile(nullptr, name, target);
}

void ComputeComponentSizes(TMainDlgForm& form) {
    const auto& c = form.Controls;
    for (std::size_t row = 0; row < form.RowComponents.size(); ++row) {
        const std::int32_t size = AttachedFiles->ComponentSize(
            ResConst::ComponentPatterns[form.RowComponents[row]], form.Choices.DestDir);
        SendMessageA(c.SelCompLstBx, LB_SETITEMDATA, row, static_cast<LPARAM>(size));
    }
}

void StartCopying(TMainDlgForm& form) {
    auto& choices = form.Choices;
    const bool portable = IsPortable(choices.DestDir);
    PrepareInstallLog(portable ? std::string() : DestFilePath(choices.DestDir, "Install.log"));
    InstallStarted = true;
    form.ReadChoicesFromControls();
    choices.SelectedComponents = SelectedComponentsFromCheckStates(choices.CheckStates);
    BuildInstallPlan(choices, *AttachedFiles);
    SendMessageA(form.Controls.InstallingProgressBar, PBM_SETRANGE32, 0,
                 AttachedFiles->TotalSize());
    InstallThreadStatus.State.store(Running);
    InstallThread = std::make_unique<TInstallThread>(*AttachedFiles);
}

void StatusTimer(TMainDlgForm& form) {
    TFormWizardSide side(form);
    StatusTimerStep(InstallThreadStatus, side);
}

bool CloseQuery(TMainDlgForm& form, bool mayClose) {
    TFormWizardSide side(form);
    return InstallCloseQuery(InstallThreadStatus, side, mayClose);
}

void WriteUpdateLogOfRun(TMainDlgForm& form) {
    WriteUpdateLog(form.Choices, AttachedFiles->PublicFiles);
}

} // namespace

void OpenPayload() {
    AttachedFiles = new TAttachedFiles();
}

void ClosePayload() {
    // Never under a running worker: it reads the payload.
    JoinInstallWorker();
    // Also deletes the setup's leftover temporary files.
    delete AttachedFiles;
    AttachedFiles = nullptr;
}

TWizardHooks MakeSetupHooks() {
    TWizardHooks hooks;
    hooks.ExtractFile = ExtractPayloadFile;
    hooks.ComputeComponentSizes = ComputeComponentSizes;
    hooks.StartCopying = StartCopying;
    hooks.StatusTimer = StatusTimer;
    hooks.CloseQuery = CloseQuery;
    hooks.WriteUpdateLog = WriteUpdateLogOfRun;
    return hooks;
}

void JoinInstallWorker() {
    // A worker of an abandoned installation finishes the file it is writing and stops.
    if (InstallThread) InstallThread->StopAndWait();
    InstallThread.reset();
}

std::int64_t InstalledBytes() {
    return AttachedFiles ? AttachedFiles->TotalSize() : 0;
}
