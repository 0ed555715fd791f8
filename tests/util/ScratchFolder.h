// A fresh folder per test in the prefix's temporary folder, removed with everything in it.
#pragma once

#include <string>
#include <vector>

class TScratchFolder {
  public:
    TScratchFolder();
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder, ending in "\".
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

bool MakeFolder(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Empty text for a missing file; ok tells the two apart.
std::string ReadBytes(const std::string& path, bool* ok = nullptr);
bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
// Names in the folder, "." and ".." left out, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
