#include "product/FolderLayout.h"

#include "util/InstUtils.h"

const TShellFolderLookup& SystemShellFolders() {
    static const TShellFolderLookup lookup = [](int csidl) { return GetShellFolder(csidl); };
    return lookup;
}

bool IsPortable(const std::string& destDir) {
    return IsRemovableDrive(destDir);
}

std::string DestFilePath(const std::string& destDir, const std::string& name) {
    return JoinPath(destDir, name);
}

namespace {

std::string Created(std::string folder) {
    if (!folder.empty()) {
        AppendBackslash(folder);
        ForceFolders(folder);
    }
    return folder;
}

std::string OrdinaryDataFolder(std::uint8_t kind, const TShellFolderLookup& shellFolder) {
    switch (kind) {
    case SharedDataFolder: {
        std::string base = shellFolder(CsidlCommonAppData);
        if (base.empty()) base = shellFolder(CsidlPersonal);
        // Neither resolves: a folder relative to whatever the current folder happens to be
        // would scatter the product; hand out nothing and let the writes fail where they are.
        if (base.empty()) return {};
        return Created(JoinPath(base, "Sarvello"));
    }
    case HiddenDataFolder:
    case PublicDataFolder: {
        // The inner request runs in full, so the shared folder is created (and logged) first.
        const std::string shared = OrdinaryDataFolder(SharedDataFolder, shellFolder);
        if (shared.empty()) return {};
        return Created(shared + (kind == HiddenDataFolder ? "Hidden" : "Public"));
    }
    case SpellcheckFolder: {
        const std::string publicFolder = OrdinaryDataFolder(PublicDataFolder, shellFolder);
        if (publicFolder.empty()) return {};
        return Created(publicFolder + "Spellcheck\\");
    }
    default:
        return {};
    }
}

} // namespace

std::string GetDataFolder(const std::string& destDir, std::uint8_t kind,
                          const TShellFolderLookup& shellFolder) {
    if (IsPortable(destDir)) {
        std::string folder = destDir;
        AppendBackslash(folder);
        if (kind == SpellcheckFolder) folder += "Spellcheck\\";
        return Created(folder);
    }
    return OrdinaryDataFolder(kind, shellFolder);
}
