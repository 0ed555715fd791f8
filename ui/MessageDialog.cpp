#include "ui/MessageDialog.h"

#include "ui/FormHelpers.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct TButtonDef {
    std::uint16_t Bit;
    const char* Caption;
    int Answer;
};

// Left to right in bit order.
constexpr TButtonDef ButtonDefs[] = {
    {mbYes, "&Yes", mrYes},          {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},  {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},
};

const char* const KindTitles[] = {"Warning", "Error", "Information", "Confirm"};
const LPCSTR KindIcons[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};

constexpr int IconId = 0xFFFE;

// Enter: OK, else Yes, else Retry; with none of them there is no default button, so that a
// stray Enter never answers a question such as "quit?" by accident.
int DefaultAnswer(std::uint16_t buttons) {
    if (buttons & mbOK) return mrOk;
    if (buttons & mbYes) return mrYes;
    if (buttons & mbRetry) return mrRetry;
    return 0;
}

// Esc: Cancel, else No, else OK; otherwise Esc does nothing.
int EscapeAnswer(std::uint16_t buttons) {
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    if (buttons & mbOK) return mrOk;
    return 0;
}

struct TDialogState {
    const std::string* Text;
    std::uint8_t Kind;
    std::uint16_t Buttons;
    HWND Owner;
};

bool HasButton(HWND dlg, int id) {
    for (const auto& b : ButtonDefs)
        if (b.Answer == id) return GetDlgItem(dlg, id) != nullptr;
    return false;
}

void Layout(HWND dlg, const TDialogState& st) {
    const HINSTANCE inst = GetModuleHandleA(nullptr);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    const std::string shown = ui::WithLineBreaks(*st.Text);

    HDC dc = GetDC(dlg);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE avg{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &avg);
    const int charW = (avg.cx / 26 + 1) / 2;
    const int charH = tm.tmHeight;

    // Margins and button sizes follow the usual dialog units, so they grow with the font.
    const int hMargin = MulDiv(8, charW, 4);
    const int vMargin = MulDiv(8, charH, 8);
    const int hSpacing = MulDiv(10, charW, 4);
    const int vSpacing = MulDiv(10, charH, 8);
    const int buttonGap = MulDiv(4, charW, 4);
    const int buttonH = MulDiv(14, charH, 8);
    int buttonW = MulDiv(50, charW, 4);
    int buttonCount = 0;
    for (const auto& b : ButtonDefs) {
        if (!(st.Buttons & b.Bit)) continue;
        ++buttonCount;
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, b.Caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        buttonW = std::max<int>(buttonW, r.right + 2 * charW);
    }

    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, shown.c_str(), -1, &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(dlg, dc);

    const int iconW = GetSystemMetrics(SM_CXICON);
    const int iconH = GetSystemMetrics(SM_CYICON);
    const int textW = textRect.right;
    const int textH = textRect.bottom;
    const int buttonsW = buttonCount * buttonW + std::max(0, buttonCount - 1) * buttonGap;
    const int clientW = std::max(iconW + hSpacing + textW, buttonsW) + 2 * hMargin;
    const int bodyH = std::max(iconH, textH);
    const int clientH = vMargin + bodyH + vSpacing + buttonH + vMargin;

    HWND icon =
        CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, hMargin, vMargin,
                        iconW, iconH, dlg, reinterpret_cast<HMENU>(IconId), inst, nullptr);
    SendMessageA(icon, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, KindIcons[st.Kind])), 0);

    HWND text = CreateWindowExA(
        0, "STATIC", shown.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
        hMargin + iconW + hSpacing, vMargin, textW, textH, dlg,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(MessageTextId)), inst, nullptr);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    const int defaultAnswer = DefaultAnswer(st.Buttons);
    int x = (clientW - buttonsW) / 2;
    const int y = vMargin + bodyH + vSpacing;
    HWND focus = nullptr;
    for (const auto& b : ButtonDefs) {
        if (!(st.Buttons & b.Bit)) continue;
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                            (b.Answer == defaultAnswer ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND btn = CreateWindowExA(0, "BUTTON", b.Caption, style, x, y, buttonW, buttonH, dlg,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.Answer)), inst,
                                   nullptr);
        SendMessageA(btn, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!focus || b.Answer == defaultAnswer) focus = btn;
        x += buttonW + buttonGap;
    }
    if (defaultAnswer) SendMessageA(dlg, DM_SETDEFID, defaultAnswer, 0);

    RECT frame{0, 0, clientW, clientH};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)));
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    RECT area{};
    if (st.Owner && IsWindowVisible(st.Owner) && !IsIconic(st.Owner))
        GetWindowRect(st.Owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int left = area.left + (area.right - area.left - w) / 2;
    int top = area.top + (area.bottom - area.top - h) / 2;
    // Keep the whole box on the screen even when the owner sits at its edge.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    left = std::max<int>(work.left, std::min<int>(left, work.right - w));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - h));
    SetWindowPos(dlg, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    // Without a default the first button takes the focus but not the default role: Enter then
    // presses the button the user sees focused (see DialogProc), never one chosen for them.
    if (defaultAnswer)
        SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    else if (focus)
        SetFocus(focus);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<TDialogState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        st = reinterpret_cast<TDialogState*>(lp);
        SetWindowTextA(dlg, KindTitles[st->Kind]);
        Layout(dlg, *st);
        return FALSE; // the focus is set
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const bool fromButton = lp != 0 && HIWORD(wp) == BN_CLICKED;
        if (fromButton) {
            if (HasButton(dlg, id)) EndDialog(dlg, id);
            return TRUE;
        }
        // The dialog manager's own commands: IDCANCEL for Esc, IDOK for Enter without a
        // default button.
        if (id == IDCANCEL) {
            const int answer = EscapeAnswer(st->Buttons);
            if (answer) EndDialog(dlg, answer);
        } else if (id == IDOK) {
            HWND focus = GetFocus();
            const int focusId = focus && IsChild(dlg, focus) ? GetDlgCtrlID(focus) : 0;
            if (HasButton(dlg, focusId)) EndDialog(dlg, focusId);
        }
        return TRUE;
    }
    case WM_CLOSE: // the title bar's close box or Alt+F4
        EndDialog(dlg, mrCancel);
        return TRUE;
    }
    return FALSE;
}

// An empty dialog template; the controls are made at run time once the text is measured.
std::vector<WORD> BuildTemplate() {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* dt = reinterpret_cast<DLGTEMPLATE*>(t.data());
    dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dt->cdit = 0;
    dt->cx = 100;
    dt->cy = 50;
    t.push_back(0); // no menu
    t.push_back(0); // the standard dialog class
    t.push_back(0); // no caption yet
    t.push_back(8); // point size
    for (const char* f = "MS Shell Dlg"; *f; ++f)
        t.push_back(static_cast<WORD>(*f));
    t.push_back(0);
    return t;
}

BOOL CALLBACK FindThreadWindow(HWND wnd, LPARAM param) {
    if (!IsWindowVisible(wnd) || !IsWindowEnabled(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = wnd;
    return FALSE;
}

// The thread's active window; when the program is in the background it has none, and then the
// thread's own visible window still owns the dialog, so that the dialog stays modal to it.
HWND DialogOwner() {
    HWND owner = GetActiveWindow();
    if (!owner)
        EnumThreadWindows(GetCurrentThreadId(), FindThreadWindow, reinterpret_cast<LPARAM>(&owner));
    return owner;
}

} // namespace

int MessageDlg(const std::string& text, std::uint8_t kind, std::uint16_t buttons) {
    TDialogState st{&text, static_cast<std::uint8_t>(kind < 4 ? kind : std::uint8_t{mtInformation}),
                    buttons, DialogOwner()};
    const std::vector<WORD> tmpl = BuildTemplate();
    const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr),
                                              reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()),
                                              st.Owner, DialogProc, reinterpret_cast<LPARAM>(&st));
    return r > 0 ? static_cast<int>(r) : static_cast<int>(mrCancel);
}
