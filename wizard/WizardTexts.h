// Texts the wizard shows besides the page titles: static texts of the pages and its messages.
#pragma once

namespace WizardTexts {

inline constexpr const char* BackCaption = "< &Back";
inline constexpr const char* NextCaption = "&Next >";
inline constexpr const char* FinishCaption = "&Finish";
inline constexpr const char* CancelCaption = "Cancel";

inline constexpr const char* Welcome =
    "This program will install Sarvello Word Processor (version 2.0.5.0%s) on your "
    "computer.\r\r\r\r\rClick Next to continue. Click Cancel to quit Setup.";
inline constexpr const char* LicenseIntro = "Please read the following License Agreement:";
inline constexpr const char* LicenseAccept =
    "I &accept all the terms of the above License Agreement";
inline constexpr const char* DestDirIntro =
    "Specify the &folder where you want to install Sarvello Word Processor:";
inline constexpr const char* SelCompIntro =
    "Uncheck boxes for the &components that you do not wish to install or upgrade (the "
    "required disk space is displayed on the right):";
inline constexpr const char* RequiredSpace = "Required disk space:";
inline constexpr const char* AvailableSpace = "Available disk space:";
inline constexpr const char* Ready =
    "You are now ready to install Sarvello Word Processor.\r\rClick Next to begin "
    "installation. Click Back if you want to review or change installation settings.";
inline constexpr const char* InstallToAll = "Install for &anyone who uses this computer";
inline constexpr const char* Installing = "Installing";
inline constexpr const char* PleaseWait = "Please wait...";
inline constexpr const char* AssocIntro =
    "Please check the document types that you want to associate with Sarvello Word "
    "Processor:";
inline constexpr const char* AssocBoxes[4] = {"RTF Documents", "Encrypted COD Documents",
                                              "MS Word DOC Documents", "MS Word DOCX Documents"};
inline constexpr const char* Finish =
    "Sarvello Word Processor 2.0.5.0%s has been successfully installed on your "
    "system.\r\rClick Finish to exit this Setup.";
inline constexpr const char* Launch = "&Launch Sarvello Word Processor";

inline constexpr const char* RunningInstance =
    "A copy of Sarvello Word Processor is already running on your system.\rPlease close any "
    "running instance(s) of Sarvello Word Processor, then click OK in this dialog.";
inline constexpr const char* LicenseRefusal =
    "To install this program, you need to agree to all the terms\rof the Sarvello Word "
    "Processor License Agreement.\rDo you really want to cancel the Sarvello install?";
inline constexpr const char* QuitQuestion =
    "Setup is not complete. If you quit this setup program now,\rSarvello will not be correctly "
    "installed.\r\rYou may relaunch the setup program at a later time\rto complete the "
    "installation of Sarvello.\r\rTo continue installing, click No.\rTo quit this setup "
    "program, click Abort.";

} // namespace WizardTexts
