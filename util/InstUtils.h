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
// True only for an existing folder written as the platform reports a current folder (absolute,
// "\" separators, no "." or ".." parts), case aside. Leaves the current folder alone, so any
// thread may ask.
bool FolderExists(const std::string& path);
// The user's temporary folder (the documents folder when that is missing), ending in "\".
std::string GetTempFolder();
std::string TempFilePrefix();
// The first "<temp>~SarvelloWordProcessorSetup<n>.tmp" no file has; the file is not created.
std::string NewTempFileName();
// Removes every entry of the temporary folder whose name begins with the prefix (case counts).
void DeleteTempFiles();
// Creates the folder and its missing parents, outermost first, recording "Made Dir: " + the
// level's path for each level that CreateDirectoryA really created.
void ForceFolders(const std::string& path);
void DeleteFolderTree(const std::string& path);
// The file's whole content becomes text (created or truncated); failures are ignored.
void WriteTextFile(const std::string& fileName, const std::string& text);
// The whole content of a file; false when it cannot be opened or read in full (up to 2 GiB).
bool ReadTextFile(const std::string& fileName, std::string& text);
// Last write in local time at the 2-second precision of a DOS date; "now" for a missing file.
double GetFileWriteDate(const std::string& fileName);
// Without a final backslash; empty when the shell has no such folder.
std::string GetShellFolder(int csidl);

// Program start and end: safe DLL search, OLE, and the shell-folder lookup.
void StartUpShell();
void ShutDownShell();

// --- drives and sizes -----------------------------------------------------------------------
// GetDriveTypeA of the path's drive root; DRIVE_NO_ROOT_DIR (1) for a path without a drive part.
unsigned GetDriveKind(const std::string& path);
// Removable type, or a fixed drive whose storage device reports USB, IEEE 1394 or removable media.
// Asks the system afresh every time (a drive query and a device query, about 2 ms under Wine).
bool IsRemovableDrive(const std::string& path);
// Bytes per cluster of the path's volume; 4096 when the drive is missing or not ready.
std::int32_t GetClusterSize(const std::string& path);
std::int32_t RoundToClusters(const std::string& path, std::int32_t size);
// Platform-neutral: size rounded up to whole clusters (signed 32-bit, truncating division).
std::int32_t RoundUpToCluster(std::int32_t size, std::int32_t clusterSize);
// Platform-neutral: the texts the wizard shows.
std::string SizeText(std::int64_t size);
std::string GroupDigits(std::int32_t number);
std::string LabelText(const std::string& text);
