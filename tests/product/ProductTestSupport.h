// Shared pieces of the product's Wine tests: a private tree of folders per test, a shell-folder
// lookup that points the machine-wide folders into it, and file helpers.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "product/FolderLayout.h"

namespace product_test {

// A fresh folder tree for one test on drive letter (C: fixed, R: removable), removed again at
// the end; the name carries the test's name so that nothing is shared between tests.
class TTestTree {
  public:
    explicit TTestTree(char drive = 'C');
    ~TTestTree();
    TTestTree(const TTestTree&) = delete;
    TTestTree& operator=(const TTestTree&) = delete;
    const std::string& Root() const { return root_; } // no final backslash

  private:
    std::string root_;
};

// Shell folders of a test: the listed CSIDLs map to the given folders (empty text: the shell
// cannot resolve it); any other CSIDL is asked of the system.
TShellFolderLookup MappedShellFolders(std::map<int, std::string> folders);
// The usual machine: every folder the product uses, inside root, each named by its number.
std::map<int, std::string> TestShellFolderMap(const std::string& root);

bool FileExists(const std::string& path);
bool FolderExistsOnDisk(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The install log from now on: empty, recording.
void StartEmptyInstallLog();
std::vector<std::string> InstallLogLines();
// Wine's Z: drive sees the Unix files of the build.
std::string WindowsPathOfUnixFile(const std::string& unixPath);

} // namespace product_test

namespace product_test {

// The stand-in main program of the build, copied into folder as "mrv.exe".
void InstallStandIn(const std::string& folder);
// The lines the stand-in recorded beside itself in folder, once at least count of them are
// there (bounded wait; fewer when they never came).
std::vector<std::string> WaitForStandInLines(const std::string& folder, std::size_t count);
// Closes every stand-in started from folder and waits for them to end.
void EndStandIns(const std::string& folder);
// Removes the product's registry keys (current user and the uninstall entry).
void DeleteProductKeys();

} // namespace product_test
