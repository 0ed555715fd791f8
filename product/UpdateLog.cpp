#include "product/UpdateLog.h"

#include <windows.h>

#include "product/InstallStamp.h"
#include "product/UpdateLogMerge.h"
#include "util/Errors.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"
#include "util/TextLines.h"

int CompareTextNoCase(const std::string& a, const std::string& b) {
    const int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(),
                                 static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    return r == 0 ? a.compare(b) : r - CSTR_EQUAL;
}

namespace {

// nullopt when there is no file; EAbort when there is one that cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    const DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    std::string text;
    if (!ReadTextFile(path, text)) throw EAbort();
    return SplitLines(text);
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    const std::string text = JoinLinesCrLf(lines);
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw EAbort();
    DWORD written = 0;
    // A full disk can report success for a short write; only the count tells.
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        throw EAbort();
}

} // namespace

void WriteUpdateLog(const TWizardChoices& choices, std::vector<std::string>& publicFiles,
                    const TShellFolderLookup& shellFolder) {
    if (publicFiles.empty()) return;
    SortLines(publicFiles, CompareTextNoCase);
    const std::string folder = GetDataFolder(choices.DestDir, SharedDataFolder, shellFolder);
    // No shared folder resolves: a bare name would land in whatever the current folder is.
    if (folder.empty()) return;
    const std::string path = folder + "Update.log";
    WriteLines(path, MergeUpdateLog(ReadLines(path), publicFiles, StampLine(choices.InstallStamp),
                                    CompareTextNoCase));
}
