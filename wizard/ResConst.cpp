#include "wizard/ResConst.h"

namespace ResConst {

const std::array<const char*, 9> PageTitles = {
    "Welcome to the Sarvello Word Processor Setup",
    "License Agreement",
    "Choose Destination Folder",
    "Select Components",
    "Ready to Install",
    "Installing",
    "Associate With Document Types",
    "Installation Complete",
    "",
};

const std::array<const char*, ComponentCount> ComponentNames = {
    "Sarvello Word Processor", "English spellchecker", "Hyphenation module",
    "Document templates",      "Clip library",         "Basic sound scheme",
};

const std::array<const char*, ComponentCount> ComponentPatterns = {
    "mrv.exe\rLicense.txt",
    "English (American).dvk\rEnglish (British).dvk\renglish.zlx\rus.zlx\ruk.zlx\r"
    "userdicen.tlx\rEnglish (American).cache",
    "Hyphenation.dat",
    "Templates\\",
    "Clip Library\\",
    "Basic.wmq",
};

} // namespace ResConst
