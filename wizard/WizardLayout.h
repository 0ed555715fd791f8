// The wizard window's controls: the frame (title band, picture column, button row) and the
// eight tab sheets with their controls, placed in pixels at 96 dots per inch.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "util/ScopedWin.h"

struct TTabSheet {
    HWND Wnd = nullptr;
    std::uint8_t Tag = 0;
};

struct TWizardControls {
    HWND TopPanel = nullptr, TopLbl = nullptr, LogoSmallImage = nullptr, LogoImage = nullptr;
    HWND BackBtn = nullptr, NextBtn = nullptr, CancelBtn = nullptr;
    // PgCtrl's tab sheets in their order: welcome, licence, destination, components, ready,
    // installing, associations, finish.
    std::array<TTabSheet, 8> PgCtrl{};
    HWND WelcomeLbl = nullptr;
    HWND LicenseMemo = nullptr, LicenseChkBx = nullptr;
    HWND DestDirEdt = nullptr, DestDirLstBx = nullptr, DestDirCmbBx = nullptr;
    HWND SelCompLbl = nullptr, SelCompLstBx = nullptr;
    HWND SelCompDiskSpaceReqLbl2 = nullptr, SelCompDiskSpaceAvailLbl2 = nullptr;
    HWND InstallToAllChkBx = nullptr;
    HWND InstallingLbl2 = nullptr, InstallingProgressBar = nullptr;
    std::array<HWND, 4> AssocChkBx{};
    HWND FinishLbl = nullptr, FinishChkBx = nullptr;

    win::UniqueGdiObject TopFont, InstallingFont, Logo, LogoSmall;
};

inline constexpr int FormClientWidth = 492;
inline constexpr int FormClientHeight = 351;

// Creates every control of the form; pages all hidden.
void BuildWizardLayout(HWND form, TWizardControls& c);
