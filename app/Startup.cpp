#include "app/Startup.h"

#include <windows.h>

#include <memory>

#include "app/SetupHooks.h"
#include "engine/AttachFiles.h"
#include "product/Choices.h"
#include "product/FolderLayout.h"
#include "ui/ErrorReport.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "wizard/MainDlg.h"
#include "wizard/ResConst.h"

namespace {

// Platform start-up and end: OLE and the shell-folder lookup live for the whole run, also on
// the refusal path (they create neither registry keys nor files).
struct TShellLifetime {
    TShellLifetime() { StartUpShell(); }
    ~TShellLifetime() { ShutDownShell(); }
    TShellLifetime(const TShellLifetime&) = delete;
    TShellLifetime& operator=(const TShellLifetime&) = delete;
};

// The wizard: one reference, released by shutdown before the payload archive.
std::unique_ptr<TMainDlgForm> MainDlgForm;

void SaveResults(TMainDlgForm& form) {
    // Neither the choices nor the log may be saved while the worker can still add to the log.
    JoinInstallWorker();
    form.ReadChoicesFromControls();
    SaveChoices(form.Choices, InstalledBytes());
    if (!IsPortable(form.Choices.DestDir)) SaveInstallLog();
}

int RunStartedSetup() {
    // Startup steps 3 to 7; the wizard window carries the application's icon and title.
    OpenPayload();
    MainDlgForm = std::make_unique<TMainDlgForm>(MakeSetupHooks());
    MainDlgForm->ShowModal();

    // Shutdown: whether anything is saved depends on InstallStarted alone, not on how the
    // wizard ended.
    if (InstallStarted) SaveResults(*MainDlgForm);
    MainDlgForm.reset();
    ClosePayload();
    return 0;
}

} // namespace

static_assert(sizeof(OSVERSIONINFOA) == 148);

bool IsWindows2000OrLater() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4;
}

int RunSetup() {
    TShellLifetime shell;
    if (!IsWindows2000OrLater()) {
        MessageBoxA(nullptr, "This program requires Windows 2000 or later.", nullptr,
                    MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    try {
        return RunStartedSetup();
    } catch (const EPayloadDamaged& e) {
        MessageBoxA(nullptr, e.what(), ResConst::SetupTitle, MB_OK | MB_ICONERROR);
    } catch (const std::exception& e) {
        ui::ShowErrorReport(e);
    } catch (...) {
        ui::ShowUnknownErrorReport();
    }
    // Whatever escaped, the wizard goes before the archive.
    MainDlgForm.reset();
    ClosePayload();
    return 1;
}
