#include "product/Shortcuts.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "product/Associations.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

namespace {

struct TShortcutPlace {
    int AllUsers;
    int CurrentUser;
};
// Programs menu first, then the desktop.
constexpr TShortcutPlace ShortcutPlaces[] = {
    {CsidlCommonPrograms, CsidlPrograms},
    {CsidlCommonDesktopDirectory, CsidlDesktopDirectory},
};

std::wstring Utf16FromAnsi(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), n);
    return std::wstring(buffer.data());
}

std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void Start(const std::string& commandLine) {
    WinExec(commandLine.c_str(), SW_SHOW);
}

} // namespace

bool CreateShortcut(const std::string& path, const std::string& target,
                    const std::string& workingFolder, const std::string& description) {
    win::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    link->SetDescription(description.c_str());
    win::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    const std::string folder = FolderPart(path);
    if (!folder.empty()) ForceFolders(folder);
    const std::wstring widePath = Utf16FromAnsi(path);
    if (widePath.empty() || FAILED(file->Save(widePath.c_str(), TRUE))) return false;
    // The log lists what exists: a link that could not be saved is not recorded.
    AddToInstallLog("File Copy: " + path);
    return true;
}

void AssociateAndCreateShortcuts(TWizardChoices& choices, const TShellFolderLookup& shellFolder) {
    if (IsPortable(choices.DestDir)) return;
    choices.Extensions = ExtensionsFromAssocChecks(choices.AssocChecked);
    Start(AssociationCommandLine(choices.DestDir, choices.AssocChecked));

    const std::string target = DestFilePath(choices.DestDir, "mrv.exe");
    for (const TShortcutPlace& place : ShortcutPlaces) {
        std::string chosen = shellFolder(choices.InstallToAll ? place.AllUsers : place.CurrentUser);
        const std::string other =
            shellFolder(choices.InstallToAll ? place.CurrentUser : place.AllUsers);
        if (chosen.empty()) chosen = other;
        // A link of the same name in the other scope would show the product twice.
        if (!other.empty()) DeleteFileA(JoinPath(other, ShortcutFileName).c_str());
        // Neither scope resolves: a bare file name would land in the current folder.
        if (chosen.empty()) continue;
        CreateShortcut(JoinPath(chosen, ShortcutFileName), target, choices.DestDir,
                       ShortcutDescription);
    }
}

void LaunchMainProgram(const TWizardChoices& choices) {
    if (choices.Launch) Start(LaunchCommandLine(choices.DestDir));
}
