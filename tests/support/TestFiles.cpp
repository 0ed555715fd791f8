#include "tests/support/TestFiles.h"

#include "util/ScopedWin.h"

#include <windows.h>

#include <algorithm>

namespace testsupport {

std::string WinePath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

void ListTree(const std::string& folder, std::vector<std::string>& out) {
    WIN32_FIND_DATAA entry;
    win::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        out.push_back(folder + "\\" + name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(folder + "\\" + name, out);
    } while (FindNextFileA(find.get(), &entry));
}

} // namespace testsupport
