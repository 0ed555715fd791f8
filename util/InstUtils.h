// Path, folder, file, temporary-file, shell-folder, drive and size operations that every other
// part of the setup uses. Texts are 8-bit ANSI; nothing here throws to its caller.
#pragma once

#include <cstdint>
#include <string>

// --- paths (platform-neutral rules) ---------------------------------------------------------
// Empty stays empty; a final "/" or "\" becomes "\"; otherwise "\" is appended.
void AppendBackslash(std::string& s);
std::string JoinPath(const std::string& folder, const std::string& name);
char LastChar(const std::string& s);  // '\0' for empty text
void DeleteFirstChar(std::string& s); // empty stays empty
void DeleteLastChar(std::string& s);  // empty stays empty
// "C:" for "C:\x", "\\server\share" for "\\server\share\x", else empty.
std::string DrivePart(const std::string& path);

// --- Win32 ----------------------------------------------------------------------------------
// Equal after both are upper-cased by the user locale (CharUpperBuffA); lengths must match.
bool EqualNoCase(const std::string& a, const std::string& b);
std::string GetCurrentFolder();
void PushCurrentFolder();
void PopCurrentFolder();
bool FolderExists(const std::string& path);
std::string GetTempFolder();
std::string TempFilePrefix();
std::string NewTempFileName();
void DeleteTempFiles();
void ForceFolders(const std::string& path);
void DeleteFolderTree(const std::string& path);
void WriteTextFile(const std::string& fileName, const std::string& text);
double GetFileWriteDate(const std::string& fileName);
std::string GetShellFolder(int csidl);

// Program start and end: safe DLL search, OLE, and the shell-folder lookup.
void StartUpShell();
void ShutDownShell();

// --- drives and sizes -----------------------------------------------------------------------
unsigned GetDriveKind(const std::string& path);
bool IsRemovableDrive(const std::string& path);
std::int32_t GetClusterSize(const std::string& path);
std::int32_t RoundToClusters(const std::string& path, std::int32_t size);
// Platform-neutral: size rounded up to whole clusters (signed 32-bit, truncating division).
std::int32_t RoundUpToCluster(std::int32_t size, std::int32_t clusterSize);
// Platform-neutral: the texts the wizard shows.
std::string SizeText(std::int64_t size);
std::string GroupDigits(std::int32_t number);
std::string LabelText(const std::string& text);
