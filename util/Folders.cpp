// The current folder, the folder-existence test, and creating and deleting folder trees.
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <mutex>
#include <vector>

namespace {

// The saved-folder stack; guarded so that two threads pushing at once cannot corrupt it.
std::mutex SavedFoldersLock;
std::vector<std::string> SavedFolders;

std::string FullPathName(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::string full(needed, '\0');
    const DWORD got = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (got == 0 || got >= needed) return {};
    full.resize(got);
    return full;
}

} // namespace

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    std::string ua = a, ub = b;
    if (!ua.empty()) {
        CharUpperBuffA(ua.data(), static_cast<DWORD>(ua.size()));
        CharUpperBuffA(ub.data(), static_cast<DWORD>(ub.size()));
    }
    return ua == ub;
}

std::string GetCurrentFolder() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    std::string folder;
    if (needed != 0) {
        folder.assign(needed, '\0');
        const DWORD got = GetCurrentDirectoryA(needed, folder.data());
        folder.resize(got < needed ? got : 0);
    }
    AppendBackslash(folder);
    return folder;
}

void PushCurrentFolder() {
    std::string folder = GetCurrentFolder();
    const std::lock_guard<std::mutex> lock(SavedFoldersLock);
    SavedFolders.push_back(std::move(folder));
}

void PopCurrentFolder() {
    std::string folder;
    {
        const std::lock_guard<std::mutex> lock(SavedFoldersLock);
        if (SavedFolders.empty()) return;
        folder = std::move(SavedFolders.back());
        SavedFolders.pop_back();
    }
    SetCurrentDirectoryA(folder.c_str());
}

// Answers what switching the current folder to the path and reading it back would answer,
// without switching: the worker creates folders while the wizard's drive timer lists them, and
// a switched current folder would be seen by the other thread. SetCurrentDirectoryA stores the
// full path name of its argument once that names a directory, so the same full path name and
// the same directory test give the same results: false for relative paths and for any form the
// platform rewrites (".", "..", doubled or forward separators), true for a ready drive root.
bool FolderExists(const std::string& path) {
    std::string t = path;
    AppendBackslash(t);
    if (t.empty()) return false;
    std::string full = FullPathName(t);
    AppendBackslash(full);
    if (!EqualNoCase(full, t)) return false;
    const DWORD attributes = GetFileAttributesA(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceFolders(const std::string& path) {
    if (FolderExists(path)) return;
    std::string s = path;
    if (LastChar(s) == '\\') DeleteLastChar(s);
    const std::size_t cut = s.find_last_of("\\:");
    s = cut == std::string::npos ? std::string() : s.substr(0, cut + 1);
    if (s.size() < path.size()) ForceFolders(s);
    // The log is the record of what the setup made; a level that could not be made (no such
    // drive, no rights) or that was there in another spelling is not written down.
    if (CreateDirectoryA(path.c_str(), nullptr)) AddToInstallLog("Made Dir: " + path);
}

void DeleteFolderTree(const std::string& path) {
    std::string p = path;
    AppendBackslash(p);
    WIN32_FIND_DATAA entry;
    {
        win::UniqueFind find(FindFirstFileA((p + "*.*").c_str(), &entry));
        if (find) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..") continue;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    DeleteFolderTree(p + name);
                else
                    DeleteFileA((p + name).c_str());
            } while (FindNextFileA(find.get(), &entry));
        }
    }
    RemoveDirectoryA(p.c_str());
}
