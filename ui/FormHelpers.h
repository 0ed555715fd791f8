// Small helpers for building windows out of standard controls: one font for the form, child
// controls placed in pixels, labels sized to their text, and a panel window class.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// A label's CR breaks the line the way the system's message box does; static controls only
// break on CR LF, so each lone CR gets its LF.
std::string WithLineBreaks(const std::string& text);

// The font of the form's controls: 8 pt MS Sans Serif, the font the layout's sizes were made for.
HFONT DefaultFont();

// A child control at a pixel position, with the default font unless font is given.
HWND CreateControl(HWND parent, const char* cls, const std::string& text, DWORD style, int x, int y,
                   int w, int h, int id, DWORD exStyle = 0, HFONT font = nullptr);

// Resizes a single-line label to the extent of its text in its own font.
void SizeToText(HWND label);

std::string GetText(HWND wnd);

// The panel class: a plain container with a background colour and an optional bevel, which
// hands commands and control colours of its children to the top-level window.
inline constexpr const char* PanelClassName = "SarvelloPanel";
void RegisterPanelClass();
// colour CLR_INVALID: the button face; edge 0: no bevel, else a DrawEdge edge (EDGE_ETCHED...).
HWND CreatePanel(HWND parent, int x, int y, int w, int h, int id, COLORREF colour, UINT edge);

} // namespace ui
