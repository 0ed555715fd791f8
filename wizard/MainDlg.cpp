#include "wizard/MainDlg.h"

#include <commctrl.h>

#include "app/RunningInstance.h"
#include "product/Associations.h"
#include "product/Choices.h"
#include "product/FolderLayout.h"
#include "product/Shortcuts.h"
#include "ui/ErrorReport.h"
#include "ui/FormHelpers.h"
#include "ui/MessageDialog.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/TextLines.h"
#include "wizard/ControlIds.h"
#include "wizard/ResConst.h"
#include "wizard/WizardTexts.h"

namespace {

namespace Id = WizardIds;
namespace T = WizardTexts;

constexpr UINT_PTR StatusTimerId = 1;
constexpr UINT StatusTimerPeriod = 100;
constexpr UINT_PTR DriveTimerId = 2;
constexpr UINT DriveTimerPeriod = 1000;

constexpr DWORD FormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE | WS_EX_APPWINDOW;

void RegisterFormClass(WNDPROC proc) {
    WNDCLASSA wc{};
    const HINSTANCE inst = GetModuleHandleA(nullptr);
    if (GetClassInfoA(inst, Id::FormClassName, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = DLGWINDOWEXTRA; // the dialog manager keeps its state there
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = Id::FormClassName;
    RegisterClassA(&wc);
}

// The platform's format routine run with the empty text: "%s" vanishes.
std::string FormatWithEmpty(const char* pattern) {
    std::string s = pattern;
    for (std::size_t at; (at = s.find("%s")) != std::string::npos;)
        s.erase(at, 2);
    return s;
}

bool IsTicked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetTicked(HWND box, bool ticked) {
    SendMessageA(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Ends a suspension of the install log whatever way the scope is left.
struct TInstallLogSuspension {
    TInstallLogSuspension() { SuspendInstallLog(); }
    ~TInstallLogSuspension() { ResumeInstallLog(); }
    TInstallLogSuspension(const TInstallLogSuspension&) = delete;
    TInstallLogSuspension& operator=(const TInstallLogSuspension&) = delete;
};

// A read-only text box has no use for Enter and Esc, but a multi-line edit keeps both keys for
// itself: handed to the form, they press the default button and Cancel as everywhere else.
void RouteDialogKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return;
    char cls[16] = {};
    GetClassNameA(msg.hwnd, cls, sizeof cls);
    const LONG style = GetWindowLongA(msg.hwnd, GWL_STYLE);
    if (lstrcmpiA(cls, "Edit") == 0 && (style & ES_MULTILINE) && (style & ES_READONLY))
        msg.hwnd = GetAncestor(msg.hwnd, GA_ROOT);
}

} // namespace

TMainDlgForm::TMainDlgForm(TWizardHooks hooks) : Hooks(std::move(hooks)) {
    RegisterFormClass(WndProc);
    ui::RegisterPanelClass();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    // Centred on the screen's work area, with a client area of the layout's size.
    RECT frame{0, 0, FormClientWidth, FormClientHeight};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CreateWindowExA(FormExStyle, Id::FormClassName, ResConst::SetupTitle, FormStyle,
                    work.left + (work.right - work.left - w) / 2,
                    work.top + (work.bottom - work.top - h) / 2, w, h, nullptr, nullptr,
                    GetModuleHandleA(nullptr), this);
    if (!Wnd) throw std::runtime_error("the wizard window cannot be created");

    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (icon) {
        SendMessageA(Wnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(Wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    BuildWizardLayout(Wnd, Controls);
    SendMessageA(Wnd, DM_SETDEFID, Id::NextBtn, 0);

    SetWindowTextA(Controls.WelcomeLbl, ui::WithLineBreaks(FormatWithEmpty(T::Welcome)).c_str());
    SetWindowTextA(Controls.FinishLbl, ui::WithLineBreaks(FormatWithEmpty(T::Finish)).c_str());

    for (std::uint8_t tag = 1; tag < Controls.PgCtrl.size(); ++tag)
        Controls.PgCtrl[tag].Tag = tag;

    LoadChoices(Choices, GetCommandLineA());
    FillComponentRows();
    SetTicked(Controls.InstallToAllChkBx, Choices.InstallToAll);
    SetTicked(Controls.FinishChkBx, Choices.Launch);
    SetWindowTextA(Controls.DestDirEdt, Choices.DestDir.c_str());

    SetTimer(Wnd, StatusTimerId, StatusTimerPeriod, nullptr);
    SetTimer(Wnd, DriveTimerId, DriveTimerPeriod, nullptr);

    GoToPage(255, 0);
    Constructed = true;
}

TMainDlgForm::~TMainDlgForm() {
    RowComponents.clear();
    if (Wnd) {
        KillTimer(Wnd, StatusTimerId);
        KillTimer(Wnd, DriveTimerId);
        DestroyWindow(Wnd);
    }
}

void TMainDlgForm::FillComponentRows() {
    RowComponents.clear();
    SendMessageA(Controls.SelCompLstBx, LB_RESETCONTENT, 0, 0);
    for (std::uint8_t i = 0; i < ResConst::ComponentCount; ++i) {
        SendMessageA(Controls.SelCompLstBx, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(ResConst::ComponentNames[i]));
        RowComponents.push_back(i);
    }
    SendMessageA(Controls.SelCompLstBx, LB_SETCURSEL, 1, 0);
    // The main program is always installed.
    Choices.CheckStates[0] = Grayed;
}

int TMainDlgForm::ShowModal() {
    ShowWindow(Wnd, SW_SHOW);
    SetForegroundWindow(Wnd);
    UpdateWindow(Wnd);
    ModalResult = ModalResultNone;
    MSG msg;
    for (;;) {
        if (ModalResult != ModalResultNone) {
            // An error inside the close query keeps the wizard open, as a refusal would.
            bool canClose = false;
            ui::RunHandler([&] { FormCloseQuery(canClose); });
            if (canClose) break;
            ModalResult = ModalResultNone;
        }
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) { // someone asked the program to end: pass it on after closing
            PostQuitMessage(static_cast<int>(msg.wParam));
            ModalResult = ModalResultCancel;
            break;
        }
        if (got < 0) break;
        RouteDialogKeys(msg);
        if (!IsDialogMessageA(Wnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    ShowWindow(Wnd, SW_HIDE);
    return ModalResult;
}

std::uint8_t TMainDlgForm::ActivePageTag() const {
    return Controls.PgCtrl[ActivePage].Tag;
}

HWND TMainDlgForm::FindPageByTag(std::uint8_t tag) const {
    for (const auto& sheet : Controls.PgCtrl)
        if (sheet.Tag == tag) return sheet.Wnd;
    return nullptr;
}

void TMainDlgForm::BNClick(HWND button) {
    const std::uint8_t t = ActivePageTag();
    GoToPage(t, static_cast<std::uint8_t>(button == Controls.BackBtn ? t - 1 : t + 1));
}

void TMainDlgForm::CancelBtnClick() {
    ModalResult = ModalResultCancel;
}

void TMainDlgForm::FormCloseQuery(bool& canClose) {
    if (Hooks.CloseQuery)
        canClose = Hooks.CloseQuery(*this, MayClose);
    else
        canClose =
            MayClose || MessageDlg(T::QuitQuestion, mtConfirmation, mbNo | mbAbort) == mrAbort;
    MayClose = canClose;
}

void TMainDlgForm::ReadChoicesFromControls() {
    Choices.InstallToAll = IsTicked(Controls.InstallToAllChkBx);
    Choices.Launch = IsTicked(Controls.FinishChkBx);
    for (std::size_t i = 0; i < Controls.AssocChkBx.size(); ++i)
        Choices.AssocChecked[i] = IsTicked(Controls.AssocChkBx[i]);
}

void TMainDlgForm::LoadLicense() {
    if (!Hooks.ExtractFile) return; // no payload to read it from
    EnableWindow(Controls.NextBtn, FALSE);
    EnableWindow(Controls.CancelBtn, FALSE);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const std::string temp = NewTempFileName();
    bool extracted;
    {
        // The temporary copy is no part of the installation.
        TInstallLogSuspension suspension;
        extracted = Hooks.ExtractFile("License.txt", temp);
    }
    if (!extracted) {
        MayClose = true;
        ModalResult = ModalResultCancel;
        return;
    }
    try {
        std::string text;
        if (!ReadTextFile(temp, text)) throw EAbort();
        text = JoinLinesCrLf(SplitLines(text));
        SetWindowTextA(Controls.LicenseMemo, text.c_str());
    } catch (...) {
        // An unreadable copy leaves the memo empty; the next entry from the welcome page
        // tries again.
    }
    DeleteFileA(temp.c_str());
}

bool TMainDlgForm::EnterPage(std::uint8_t fromPage, std::uint8_t& toPage, HWND& focus) {
    switch (toPage) {
    case 0:
        return true;
    case 1:
        if (fromPage == 0 && GetWindowTextLengthA(Controls.LicenseMemo) == 0) {
            if (IsMainProgramRunning()) {
                MessageDlg(T::RunningInstance, mtInformation, mbOK);
                return false;
            }
            LoadLicense();
        }
        focus = Controls.LicenseMemo;
        return true;
    case 2:
        if (fromPage == 1 && !IsTicked(Controls.LicenseChkBx)) {
            if (MessageDlg(T::LicenseRefusal, mtInformation, mbYes | mbNo) == mrYes) {
                MayClose = true;
                ModalResult = ModalResultCancel;
            }
            return false;
        }
        focus = Controls.DestDirEdt;
        return true;
    case 3:
        if (fromPage == 2) {
            if (Hooks.NormalizeDestDir) Hooks.NormalizeDestDir(*this);
            // The only place the destination typed or picked on page 2 is taken over.
            Choices.DestDir = ui::GetText(Controls.DestDirEdt);
        }
        if (Hooks.ComputeComponentSizes) Hooks.ComputeComponentSizes(*this);
        focus = Controls.SelCompLstBx;
        return true;
    case 4:
        ShowWindow(Controls.InstallToAllChkBx, IsPortable(Choices.DestDir) ? SW_HIDE : SW_SHOW);
        focus = Controls.NextBtn;
        return true;
    case 5:
        if (IsMainProgramRunning()) {
            MessageDlg(T::RunningInstance, mtInformation, mbOK);
            return false;
        }
        return true;
    case 6: {
        const LRESULT max = SendMessageA(Controls.InstallingProgressBar, PBM_GETRANGE, FALSE, 0);
        SendMessageA(Controls.InstallingProgressBar, PBM_SETPOS, static_cast<WPARAM>(max), 0);
        const auto ticked = AssocChecksFromExtensions(Choices.Extensions);
        for (std::size_t i = 0; i < Controls.AssocChkBx.size(); ++i)
            SetTicked(Controls.AssocChkBx[i], ticked[i]);
        focus = Controls.AssocChkBx[0];
        return true;
    }
    case 7:
        ReadChoicesFromControls();
        AssociateAndCreateShortcuts(Choices);
        return true;
    case ResConst::LeaveWizard:
        ReadChoicesFromControls();
        if (!IsPortable(Choices.DestDir) && Hooks.WriteUpdateLog) Hooks.WriteUpdateLog(*this);
        LaunchMainProgram(Choices);
        MayClose = true;
        ModalResult = ModalResultOk;
        return false;
    default:
        // No page has this index (the move Back from the first page); nothing changes.
        return false;
    }
}

void TMainDlgForm::GoToPage(std::uint8_t fromPage, std::uint8_t toPage) {
    if (toPage == 6 && IsPortable(Choices.DestDir)) toPage = 7;
    HWND focus = nullptr;
    if (!EnterPage(fromPage, toPage, focus)) return;

    const auto& c = Controls;
    ShowWindow(c.BackBtn, toPage != 0 ? SW_SHOW : SW_HIDE);
    EnableWindow(c.BackBtn, toPage < 5);
    SetWindowTextA(c.BackBtn, T::BackCaption);
    if (toPage != 3) EnableWindow(c.NextBtn, toPage != 5); // page 3: the disk space decides
    SetWindowTextA(c.NextBtn, toPage == 7 ? T::FinishCaption : T::NextCaption);
    EnableWindow(c.CancelBtn, toPage != 7);
    SetWindowTextA(c.CancelBtn, T::CancelCaption);
    SetWindowTextA(c.TopLbl, ResConst::PageTitles[toPage]);
    ui::SizeToText(c.TopLbl);
    if (HWND page = FindPageByTag(toPage)) {
        for (std::size_t i = 0; i < c.PgCtrl.size(); ++i) {
            if (c.PgCtrl[i].Wnd != page) continue;
            if (i != ActivePage) ShowWindow(c.PgCtrl[ActivePage].Wnd, SW_HIDE);
            ActivePage = i;
            ShowWindow(page, SW_SHOW);
            break;
        }
    }
    if (!focus) {
        // A page without a focus control of its own must not leave the keyboard on a control
        // that is now hidden or disabled (Enter would go nowhere): the first one that can
        // take it does.
        HWND current = GetFocus();
        if (!current || !IsWindowVisible(current) || !IsWindowEnabled(current))
            focus = GetNextDlgTabItem(Wnd, nullptr, FALSE);
    }
    if (focus) SendMessageA(Wnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    if (focus == c.LicenseMemo) {
        // The dialog manager selects a focused edit's whole text; the licence is read from the
        // top instead.
        SendMessageA(c.LicenseMemo, EM_SETSEL, 0, 0);
        SendMessageA(c.LicenseMemo, EM_SCROLLCARET, 0, 0);
    }

    if (toPage == 5 && Hooks.StartCopying) Hooks.StartCopying(*this);
}

bool TMainDlgForm::HandleCommand(int id, int code) {
    const auto& c = Controls;
    if (code != BN_CLICKED) return false;
    if (id == Id::BackBtn || id == Id::NextBtn) {
        // Enter reaches Next through the dialog manager even while it is disabled or hidden.
        HWND button = id == Id::BackBtn ? c.BackBtn : c.NextBtn;
        if (IsWindowEnabled(button) && IsWindowVisible(button)) BNClick(button);
        return true;
    }
    if (id == Id::CancelBtn) { // the button or Esc
        if (IsWindowEnabled(c.CancelBtn)) CancelBtnClick();
        return true;
    }
    return false;
}

LRESULT TMainDlgForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        bool handled = false;
        ui::RunHandler([&] { handled = HandleCommand(LOWORD(wp), HIWORD(wp)); });
        if (handled) return 0;
        break;
    }
    case WM_CLOSE: // the close box, Alt+F4: the close query decides in the modal loop
        ModalResult = ModalResultCancel;
        return 0;
    case WM_TIMER:
        if (wp == StatusTimerId) {
            if (Hooks.StatusTimer) ui::RunHandler([&] { Hooks.StatusTimer(*this); });
        } else if (Hooks.DriveTimer) {
            ui::RunHandler([&] { Hooks.DriveTimer(*this); });
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        const HWND control = reinterpret_cast<HWND>(lp);
        if (control == Controls.TopLbl || control == Controls.LogoSmallImage) {
            const HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, RGB(0, 0, 128));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        break;
    }
    }
    return DefDlgProcA(Wnd, msg, wp, lp);
}

LRESULT CALLBACK TMainDlgForm::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* created =
            static_cast<TMainDlgForm*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->Wnd = wnd;
    }
    auto* form = reinterpret_cast<TMainDlgForm*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY && form) {
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        form->Wnd = nullptr;
    }
    if (!form) return DefDlgProcA(wnd, msg, wp, lp);
    return form->HandleMessage(msg, wp, lp);
}
