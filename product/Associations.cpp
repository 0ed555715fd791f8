#include "product/Associations.h"

#include "util/InstUtils.h"

namespace {

// Quoted, so a destination with blanks cannot be taken for a program plus arguments.
std::string QuotedProgramPath(const std::string& destDir) {
    return '"' + JoinPath(destDir, "mrv.exe") + '"';
}

} // namespace

std::array<bool, AssocBoxCount> AssocChecksFromExtensions(const std::string& extensions) {
    std::array<bool, AssocBoxCount> checked{};
    for (int i = 0; i < AssocBoxCount; ++i)
        checked[i] = extensions.find(AssocLetters[i]) != std::string::npos;
    return checked;
}

std::string ExtensionsFromAssocChecks(const std::array<bool, AssocBoxCount>& checked) {
    std::string letters;
    for (int i = 0; i < AssocBoxCount; ++i)
        if (checked[i]) letters += AssocLetters[i];
    return letters;
}

std::string AssociationCommandLine(const std::string& destDir,
                                   const std::array<bool, AssocBoxCount>& checked) {
    std::string line = QuotedProgramPath(destDir) + " -assoc mevo";
    for (int i = 0; i < AssocBoxCount; ++i)
        if (checked[i]) line += AssocSuffixes[i];
    return line;
}

std::string LaunchCommandLine(const std::string& destDir) {
    return QuotedProgramPath(destDir);
}
