// The setup wizard: the form, its eight pages and the moves between them. The form conducts;
// the work a move starts (payload, copying, registry, shortcuts) is done by the parts that own
// it, reached through TWizardHooks where it lives above the wizard.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "product/WizardChoices.h"
#include "wizard/WizardLayout.h"

class TMainDlgForm;

// Work that belongs to the payload archive, the install engine and the destination and
// components pages. The wizard runs each hook at its moment; an empty hook is skipped, and the
// move goes through without that work.
struct TWizardHooks {
    // Entering the licence page the first time: writes the payload entry name to the file
    // target; false when the user abandoned it.
    std::function<bool(const std::string& name, const std::string& target)> ExtractFile;
    // Leaving the destination page: tidies the destination edit's text in place.
    std::function<void(TMainDlgForm&)> NormalizeDestDir;
    // Entering the components page: the rows' sizes and the disk-space labels and Next.
    std::function<void(TMainDlgForm&)> ComputeComponentSizes;
    // The installing page has been shown: prepare the log, build the plan, start the worker.
    std::function<void(TMainDlgForm&)> StartCopying;
    // Leaving the finish page outside portable mode: rewrite the update list.
    std::function<void(TMainDlgForm&)> WriteUpdateLog;
    // Window timers: 1 every 100 ms (the worker's status), 2 every 1000 ms (drives).
    std::function<void(TMainDlgForm&)> StatusTimer;
    std::function<void(TMainDlgForm&)> DriveTimer;
    // The close query while copying may run: asks the close question itself (holding a
    // running worker meanwhile) and returns CanClose. Empty: the wizard asks it.
    std::function<bool(TMainDlgForm&, bool mayClose)> CloseQuery;
};

inline constexpr int ModalResultNone = 0;
inline constexpr int ModalResultOk = 1;
inline constexpr int ModalResultCancel = 2;

class TMainDlgForm {
  public:
    // Builds the window (hidden), reads the saved choices, starts the two timers and shows the
    // welcome page.
    explicit TMainDlgForm(TWizardHooks hooks = {});
    ~TMainDlgForm();
    TMainDlgForm(const TMainDlgForm&) = delete;
    TMainDlgForm& operator=(const TMainDlgForm&) = delete;

    // Shows the form and runs the program's message loop until a modal result is set and the
    // close query agrees; returns the modal result.
    int ShowModal();

    void GoToPage(std::uint8_t fromPage, std::uint8_t toPage);
    void BNClick(HWND button);
    void CancelBtnClick();
    // The first tab sheet whose tag equals the index; null when none does.
    HWND FindPageByTag(std::uint8_t tag) const;
    void FormCloseQuery(bool& canClose);

    // The tag of the page shown.
    std::uint8_t ActivePageTag() const;
    // The check boxes' states copied into Choices (before the choices are used or saved).
    void ReadChoicesFromControls();
    HWND Handle() const { return Wnd; }

    bool MayClose = false;
    bool Constructed = false;
    int ModalResult = ModalResultNone;
    // Item i: the component shown in row i of SelCompLstBx.
    std::vector<std::uint8_t> RowComponents;
    // DestDir, CompsMask, Extensions, LastRunVersion, InstallStamp, SelectedComponents and the
    // states of the check boxes.
    TWizardChoices Choices;
    TWizardControls Controls;

  private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleCommand(int id, int code);
    bool EnterPage(std::uint8_t fromPage, std::uint8_t& toPage, HWND& focus);
    void LoadLicense();
    void FillComponentRows();

    HWND Wnd = nullptr;
    TWizardHooks Hooks;
    std::size_t ActivePage = 0;
};
