#include "wizard/WizardLayout.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/FormHelpers.h"
#include "wizard/ControlIds.h"
#include "wizard/WizardTexts.h"

namespace {

namespace Id = WizardIds;
namespace T = WizardTexts;
using ui::CreateControl;

constexpr DWORD Label = WS_VISIBLE | SS_LEFT;
constexpr DWORD CheckBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr int CheckBoxHeight = 17;

// The page control shows no tabs; its sheets fill it inside its 4-pixel frame.
constexpr int PgCtrlLeft = 120, PgCtrlTop = 41, PgCtrlWidth = 375, PgCtrlHeight = 268;
constexpr int SheetInset = 4;

HWND NaturalLabel(HWND parent, const char* text, int x, int y, int id, HFONT font = nullptr) {
    HWND l = CreateControl(parent, "STATIC", text, Label, x, y, 10, 10, id, 0, font);
    ui::SizeToText(l);
    return l;
}

// A check box at least as wide as its caption needs in the font at hand, within the sheet.
HWND FittedCheckBox(HWND sheet, const char* text, int x, int y, int w, int id) {
    HWND box = CreateControl(sheet, "BUTTON", text, CheckBox, x, y, w, CheckBoxHeight, id);
    ui::SizeToText(box);
    RECT textSize{}, sheetRect{};
    GetWindowRect(box, &textSize);
    GetClientRect(sheet, &sheetRect);
    const int boxAndGap = GetSystemMetrics(SM_CXMENUCHECK) + 8;
    const int width = std::min<int>(std::max<int>(w, textSize.right - textSize.left + boxAndGap),
                                    sheetRect.right - x - 4);
    SetWindowPos(box, nullptr, 0, 0, width, CheckBoxHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return box;
}

HWND WrappedLabel(HWND parent, const char* text, int x, int y, int w, int h, int id) {
    return CreateControl(parent, "STATIC", ui::WithLineBreaks(text), Label, x, y, w, h, id);
}

HBITMAP LoadBitmapResource(const char* name) {
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HWND Image(HWND parent, HBITMAP bitmap, int x, int y, int w, int h, int id) {
    HWND img = CreateControl(parent, "STATIC", "", WS_VISIBLE | SS_BITMAP, x, y, w, h, id);
    if (bitmap) SendMessageA(img, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    SetWindowPos(img, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    return img;
}

void BuildFrame(HWND form, TWizardControls& c) {
    // The title band: white, painted by itself.
    c.TopPanel = ui::CreatePanel(form, 0, 0, FormClientWidth, 46, Id::TopPanel, RGB(255, 255, 255),
                                 EDGE_ETCHED);
    c.TopFont.reset(CreateFontA(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial"));
    c.TopLbl =
        NaturalLabel(c.TopPanel, "", 20, 14, Id::TopLbl, static_cast<HFONT>(c.TopFont.get()));
    c.LogoSmall.reset(LoadBitmapResource("LOGOSMALL"));
    c.LogoSmallImage = Image(c.TopPanel, static_cast<HBITMAP>(c.LogoSmall.get()), 440, 6, 34, 34,
                             Id::LogoSmallImage);

    // The picture column and its separator; the separator stops at the line above the buttons.
    c.Logo.reset(LoadBitmapResource("LOGO"));
    c.LogoImage = Image(form, static_cast<HBITMAP>(c.Logo.get()), 1, 46, 120, 260, Id::LogoImage);
    CreateControl(form, "STATIC", "", WS_VISIBLE | SS_ETCHEDVERT, 121, 46, 2, 306 - 46,
                  Id::LeftSeparator);
    CreateControl(form, "STATIC", "", WS_VISIBLE | SS_ETCHEDHORZ, 1, 306, 491, 2, Id::BottomLine);

    // The sheets come before the buttons so that Tab runs from the page to the buttons.
    for (std::size_t i = 0; i < c.PgCtrl.size(); ++i)
        c.PgCtrl[i].Wnd = ui::CreatePanel(
            form, PgCtrlLeft + SheetInset, PgCtrlTop + SheetInset, PgCtrlWidth - 2 * SheetInset,
            PgCtrlHeight - 2 * SheetInset, Id::FirstPage + static_cast<int>(i), CLR_INVALID, 0);
    for (auto& sheet : c.PgCtrl)
        ShowWindow(sheet.Wnd, SW_HIDE);

    constexpr int ButtonTop = 307 + 12;
    c.BackBtn = CreateControl(form, "BUTTON", T::BackCaption, WS_TABSTOP | BS_PUSHBUTTON, 210,
                              ButtonTop, 85, 22, Id::BackBtn);
    c.NextBtn =
        CreateControl(form, "BUTTON", T::NextCaption, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                      295, ButtonTop, 85, 22, Id::NextBtn);
    c.CancelBtn =
        CreateControl(form, "BUTTON", T::CancelCaption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                      392, ButtonTop, 85, 22, Id::CancelBtn);
}

void BuildPages(TWizardControls& c) {
    HWND p = c.PgCtrl[0].Wnd;
    c.WelcomeLbl = WrappedLabel(p, T::Welcome, 12, 27, 349, 115, Id::WelcomeLbl);

    p = c.PgCtrl[1].Wnd;
    NaturalLabel(p, T::LicenseIntro, 12, 7, Id::LicenseLbl);
    c.LicenseMemo = CreateControl(p, "EDIT", "",
                                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL,
                                  12, 25, 345, 207, Id::LicenseMemo, WS_EX_CLIENTEDGE);
    c.LicenseChkBx = FittedCheckBox(p, T::LicenseAccept, 12, 237, 282, Id::LicenseChkBx);
    SendMessageA(c.LicenseChkBx, BM_SETCHECK, BST_CHECKED, 0);

    p = c.PgCtrl[2].Wnd;
    NaturalLabel(p, T::DestDirIntro, 11, 7, Id::DestDirLbl);
    c.DestDirEdt = CreateControl(p, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 11, 26,
                                 345, 21, Id::DestDirEdt, WS_EX_CLIENTEDGE);
    c.DestDirLstBx = CreateControl(
        p, "LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        11, 48, 345, 174, Id::DestDirLstBx, WS_EX_CLIENTEDGE);
    c.DestDirCmbBx =
        CreateControl(p, "COMBOBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                      11, 225, 345, 200, Id::DestDirCmbBx);

    p = c.PgCtrl[3].Wnd;
    c.SelCompLbl = WrappedLabel(p, T::SelCompIntro, 11, 7, 345, 30, Id::SelCompLbl);
    c.SelCompLstBx = CreateControl(
        p, "LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        11, 43, 345, 148, Id::SelCompLstBx, WS_EX_CLIENTEDGE);
    HWND space = ui::CreatePanel(p, 11, 200, 345, 49, Id::SelCompPanel, CLR_INVALID, EDGE_ETCHED);
    NaturalLabel(space, T::RequiredSpace, 8, 8, Id::SelCompDiskSpaceReqLbl);
    c.SelCompDiskSpaceReqLbl2 = CreateControl(space, "STATIC", "", WS_VISIBLE | SS_RIGHT, 185, 8,
                                              150, 13, Id::SelCompDiskSpaceReqLbl2);
    NaturalLabel(space, T::AvailableSpace, 8, 25, Id::SelCompDiskSpaceAvailLbl);
    c.SelCompDiskSpaceAvailLbl2 = CreateControl(space, "STATIC", "", WS_VISIBLE | SS_RIGHT, 185, 25,
                                                150, 13, Id::SelCompDiskSpaceAvailLbl2);

    p = c.PgCtrl[4].Wnd;
    WrappedLabel(p, T::Ready, 11, 7, 345, 58, Id::StartLbl);
    c.InstallToAllChkBx = FittedCheckBox(p, T::InstallToAll, 11, 209, 220, Id::InstallToAllChkBx);

    p = c.PgCtrl[5].Wnd;
    const HWND installing = NaturalLabel(p, T::Installing, 11, 170, Id::InstallingLbl);
    c.InstallingFont.reset(CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
    // The component's name follows "Installing" with a gap, also where the font runs wider
    // than the one the positions were drawn for.
    RECT installingRect{};
    GetWindowRect(installing, &installingRect);
    MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&installingRect), 2);
    const int componentX = std::max<int>(58, installingRect.right + 4);
    c.InstallingLbl2 = NaturalLabel(p, "", componentX, 170, Id::InstallingLbl2,
                                    static_cast<HFONT>(c.InstallingFont.get()));
    NaturalLabel(p, T::PleaseWait, 290, 170, Id::InstallingWaitLbl);
    c.InstallingProgressBar = CreateControl(p, PROGRESS_CLASSA, "", WS_VISIBLE, 11, 190, 345, 16,
                                            Id::InstallingProgressBar);

    p = c.PgCtrl[6].Wnd;
    WrappedLabel(p, T::AssocIntro, 11, 7, 320, 32, Id::AssocLbl);
    constexpr int assocWidths[4] = {110, 169, 173, 180};
    for (int i = 0; i < 4; ++i)
        c.AssocChkBx[static_cast<std::size_t>(i)] = FittedCheckBox(
            p, T::AssocBoxes[i], 40, 76 + 27 * i, assocWidths[i], Id::AssocChkBx1 + i);

    p = c.PgCtrl[7].Wnd;
    c.FinishLbl = WrappedLabel(p, T::Finish, 11, 7, 345, 150, Id::FinishLbl);
    c.FinishChkBx = FittedCheckBox(p, T::Launch, 40, 190, 180, Id::FinishChkBx);
}

} // namespace

void BuildWizardLayout(HWND form, TWizardControls& c) {
    BuildFrame(form, c);
    BuildPages(c);
}
