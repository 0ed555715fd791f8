// Control ids of the wizard window. Stable: the end-to-end robot finds controls by them.
#pragma once

namespace WizardIds {

inline constexpr const char* FormClassName = "TMainDlgForm";

// The button row. Next and Cancel carry the ids the dialog manager gives Enter and Esc.
inline constexpr int NextBtn = 1;
inline constexpr int CancelBtn = 2;
inline constexpr int BackBtn = 1001;

// The frame.
inline constexpr int TopPanel = 1010;
inline constexpr int TopLbl = 1011;
inline constexpr int LogoSmallImage = 1012;
inline constexpr int LogoImage = 1013;
inline constexpr int LeftSeparator = 1014;
inline constexpr int BottomLine = 1015;

// The tab sheet of page index i has the id FirstPage + i.
inline constexpr int FirstPage = 1100;

inline constexpr int WelcomeLbl = 1200;
inline constexpr int LicenseLbl = 1210;
inline constexpr int LicenseMemo = 1211;
inline constexpr int LicenseChkBx = 1212;
inline constexpr int DestDirLbl = 1220;
inline constexpr int DestDirEdt = 1221;
inline constexpr int DestDirLstBx = 1222;
inline constexpr int DestDirCmbBx = 1223;
inline constexpr int SelCompLbl = 1230;
inline constexpr int SelCompLstBx = 1231;
inline constexpr int SelCompPanel = 1232;
inline constexpr int SelCompDiskSpaceReqLbl = 1233;
inline constexpr int SelCompDiskSpaceReqLbl2 = 1234;
inline constexpr int SelCompDiskSpaceAvailLbl = 1235;
inline constexpr int SelCompDiskSpaceAvailLbl2 = 1236;
inline constexpr int StartLbl = 1240;
inline constexpr int InstallToAllChkBx = 1241;
inline constexpr int InstallingLbl = 1250;
inline constexpr int InstallingLbl2 = 1251;
inline constexpr int InstallingWaitLbl = 1252;
inline constexpr int InstallingProgressBar = 1253;
inline constexpr int AssocLbl = 1260;
inline constexpr int AssocChkBx1 = 1261; // ..AssocChkBx4 = 1264
inline constexpr int FinishLbl = 1270;
inline constexpr int FinishChkBx = 1271;

} // namespace WizardIds
