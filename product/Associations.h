// Document types of the associations page and the command lines the setup starts the
// installed main program with.
#pragma once

#include <array>
#include <string>

#include "product/WizardChoices.h"

// Letters, check-box order: "A" RTF, "B" COD, "C" DOC, "D" DOCX.
inline constexpr std::array<char, AssocBoxCount> AssocLetters{'A', 'B', 'C', 'D'};
inline constexpr std::array<const char*, AssocBoxCount> AssocSuffixes{"_rtf", "_cod", "_doc",
                                                                      "_docx"};

// A box is ticked when its capital letter occurs anywhere in the text; lower-case letters and
// every other character count for nothing.
std::array<bool, AssocBoxCount> AssocChecksFromExtensions(const std::string& extensions);
// The letters of the ticked boxes in the order A, B, C, D.
std::string ExtensionsFromAssocChecks(const std::array<bool, AssocBoxCount>& checked);

// "<destDir>\mrv.exe" quoted, then " -assoc mevo" and the suffixes of the ticked types.
std::string AssociationCommandLine(const std::string& destDir,
                                   const std::array<bool, AssocBoxCount>& checked);
// "<destDir>\mrv.exe" quoted, no arguments.
std::string LaunchCommandLine(const std::string& destDir);
