#include "ui/FormHelpers.h"

namespace ui {

std::string WithLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

HFONT DefaultFont() {
    // Made once and kept for the program's life: every control of the form uses it.
    static const HFONT font = CreateFontA(
        -11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HWND CreateControl(HWND parent, const char* cls, const std::string& text, DWORD style, int x, int y,
                   int w, int h, int id, DWORD exStyle, HFONT font) {
    HWND wnd = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    if (wnd)
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : DefaultFont()), FALSE);
    return wnd;
}

std::string GetText(HWND wnd) {
    const int len = GetWindowTextLengthA(wnd);
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    const int got = GetWindowTextA(wnd, s.data(), len + 1);
    s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return s;
}

void SizeToText(HWND label) {
    const std::string text = GetText(label);
    HDC dc = GetDC(label);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, text.empty() ? 0 : r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(label, nullptr, TRUE);
}

namespace {

struct TPanelLook {
    COLORREF Colour;
    UINT Edge;
};

LRESULT CALLBACK PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* look = reinterpret_cast<TPanelLook*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            wnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        break;
    case WM_NCDESTROY:
        delete look;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        break;
    case WM_ERASEBKGND: {
        // Painted here, not by the parent, so the colour holds under visual styles too.
        RECT r;
        GetClientRect(wnd, &r);
        const HDC dc = reinterpret_cast<HDC>(wp);
        if (look && look->Colour != CLR_INVALID) {
            const HBRUSH brush = CreateSolidBrush(look->Colour);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        } else {
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        }
        if (look && look->Edge) DrawEdge(dc, &r, look->Edge, BF_RECT);
        return 1;
    }
    case WM_CLOSE: // a child's request to close (a multi-line edit's Esc) means the form
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case DM_GETDEFID:
        return SendMessageA(GetAncestor(wnd, GA_ROOT), msg, wp, lp);
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

} // namespace

void RegisterPanelClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), PanelClassName, &wc)) return;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = PanelClassName;
    RegisterClassA(&wc);
}

HWND CreatePanel(HWND parent, int x, int y, int w, int h, int id, COLORREF colour, UINT edge) {
    RegisterPanelClass();
    return CreateWindowExA(WS_EX_CONTROLPARENT, PanelClassName, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), new TPanelLook{colour, edge});
}

} // namespace ui
