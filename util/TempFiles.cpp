// Temporary files of the setup: named in the user's temporary folder, removed at program end.
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <cstring>

namespace {

// The window title of the setup; its letters name the temporary files.
constexpr const char SetupTitleText[] = "Sarvello Word Processor - Setup";

constexpr int CsidlPersonal = 5; // the documents folder, when the temporary folder is missing

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool FileExists(const std::string& name) {
    WIN32_FIND_DATAA entry;
    win::UniqueFind find(FindFirstFileA(name.c_str(), &entry));
    // Only a file takes a name; a folder of the same name is not counted.
    return find && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string GetTempFolder() {
    std::string folder;
    const DWORD needed = GetTempPathA(0, nullptr);
    if (needed != 0) {
        folder.assign(needed, '\0');
        const DWORD got = GetTempPathA(needed, folder.data());
        folder.resize(got < needed ? got : 0);
        folder.resize(std::strlen(folder.c_str())); // the text ends at its first zero
    }
    if (!FolderExists(folder)) folder = GetShellFolder(CsidlPersonal);
    AppendBackslash(folder);
    return folder;
}

std::string TempFilePrefix() {
    std::string prefix = "~";
    for (const char* c = SetupTitleText; *c; ++c)
        if (IsAsciiLetter(*c)) prefix += *c;
    return prefix;
}

std::string NewTempFileName() {
    for (unsigned long n = 0;; ++n) {
        const std::string name = GetTempFolder() + TempFilePrefix() + std::to_string(n) + ".tmp";
        if (!FileExists(name)) return name;
    }
}

void DeleteTempFiles() {
    const std::string folder = GetTempFolder();
    const std::string prefix = TempFilePrefix();
    WIN32_FIND_DATAA entry;
    win::UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!find) return;
    do {
        const std::string name = entry.cFileName;
        if (name.compare(0, prefix.size(), prefix) != 0) continue; // case matters here
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            DeleteFolderTree(folder + name);
        else
            DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(find.get(), &entry));
}
