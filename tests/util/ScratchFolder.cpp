#include "tests/util/ScratchFolder.h"

#include "util/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string RealTempFolder() {
    char buffer[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, buffer);
    return std::string(buffer, n < MAX_PATH ? n : 0);
}

// Read-only entries would otherwise survive the clean-up.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    {
        win::UniqueFind find(FindFirstFileA((folder + "*").c_str(), &entry));
        if (find) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path + "\\");
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find.get(), &entry));
        }
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TScratchFolder::TScratchFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "sarvello-util-" + std::to_string(GetCurrentProcessId());
    if (info) name += std::string("-") + info->test_suite_name() + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    path_ = RealTempFolder() + name + "\\";
    RemoveTree(path_);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
}

TScratchFolder::~TScratchFolder() {
    RemoveTree(path_);
    EXPECT_FALSE(IsFolder(path_)) << "left behind: " << path_;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(bytes.size(), written);
}

std::string ReadBytes(const std::string& path, bool* ok) {
    if (ok) *ok = false;
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return {};
    bytes.resize(bytes.empty() ? 0 : got);
    if (ok) *ok = true;
    return bytes;
}

bool IsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    win::UniqueFind find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (!find) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}
