// Where the product's files go. The destination folder holds the program itself; the data
// folders lie under the machine-wide application data folder, or, in portable mode (a
// destination on a removable or USB drive), collapse into the destination.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Shell folders (CSIDL numbers) the product uses.
inline constexpr int CsidlPersonal = 0x05;
inline constexpr int CsidlPrograms = 0x02;
inline constexpr int CsidlDesktopDirectory = 0x10;
inline constexpr int CsidlCommonPrograms = 0x17;
inline constexpr int CsidlCommonDesktopDirectory = 0x19;
inline constexpr int CsidlCommonAppData = 0x23;
inline constexpr int CsidlProgramFiles = 0x26;

// The shell-folder lookup: a folder without a final backslash, empty when unresolved.
using TShellFolderLookup = std::function<std::string(int csidl)>;
// The system's lookup (GetShellFolder).
const TShellFolderLookup& SystemShellFolders();

// Folder kinds.
inline constexpr std::uint8_t SharedDataFolder = 0;
inline constexpr std::uint8_t HiddenDataFolder = 1;
inline constexpr std::uint8_t PublicDataFolder = 2;
inline constexpr std::uint8_t SpellcheckFolder = 4;

// Asked afresh on every call: the destination may change until copying starts.
bool IsPortable(const std::string& destDir);
// destDir with a backslash, then name; nothing is created.
std::string DestFilePath(const std::string& destDir, const std::string& name);
// The folder of the kind, ending in a backslash, created with every missing parent (each
// level recorded in the install log). Empty for an unknown kind.
std::string GetDataFolder(const std::string& destDir, std::uint8_t kind,
                          const TShellFolderLookup& shellFolder = SystemShellFolders());
