#include "product/Choices.h"

#include "product/CommandLine.h"
#include "product/Registry.h"
#include "util/InstUtils.h"

void LoadChoices(TWizardChoices& choices, const std::string& commandLine,
                 const TShellFolderLookup& shellFolder) {
    TRegistry reg;
    reg.OpenKey(ProductKeyPath);
    choices.DestDir = reg.ValueExists("MAINDIR") ? reg.ReadString("MAINDIR") : std::string();
    if (choices.DestDir.empty() || !FolderExists(choices.DestDir))
        choices.DestDir = JoinPath(shellFolder(CsidlProgramFiles), "Sarvello");
    // An explicit destination wins and is taken as given; the destination page checks it.
    if (const auto argument = DestDirArgument(commandLine)) choices.DestDir = *argument;

    choices.CompsMask = static_cast<std::uint32_t>(
        reg.ReadInteger("COMPS (1.6.6.2)", static_cast<std::int32_t>(DefaultCompsMask)));
    choices.CheckStates = CheckStatesFromMask(choices.CompsMask);
    choices.InstallToAll = reg.ReadBool("INSTALLTOALL", true);
    choices.Extensions = reg.ValueExists("EXTENSIONS") ? reg.ReadString("EXTENSIONS") : "B";
    choices.Launch = reg.ReadBool("LAUNCH", true);

    reg.OpenKey(InternalKeyPath);
    choices.LastRunVersion = reg.ReadInteger("LastRunVer", MissingLastRunVersion);
}

namespace {

constexpr const char* ProductName = "Sarvello Word Processor";
constexpr const char* ProductVersion = "2.0.5.0";

void WriteUninstallEntry(TRegistry& reg, const std::string& destDir, std::int64_t installedBytes) {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.OpenKey(UninstallKeyPath);
    const std::string program = DestFilePath(destDir, "mrv.exe");
    reg.WriteString("DisplayName", ProductName);
    reg.WriteString("UninstallString", '"' + program + "\" -ui");
    // What the list of installed programs shows besides the name, and what admins expect.
    reg.WriteString("DisplayVersion", ProductVersion);
    reg.WriteString("DisplayIcon", program);
    reg.WriteString("InstallLocation", destDir);
    const std::int64_t kb = installedBytes > 0 ? (installedBytes + 1023) / 1024 : 0;
    reg.WriteInteger("EstimatedSize", static_cast<std::int32_t>(kb));
    reg.WriteInteger("NoModify", 1);
    reg.WriteInteger("NoRepair", 1);
}

} // namespace

void SaveChoices(TWizardChoices& choices, std::int64_t installedBytes) {
    TRegistry reg;
    reg.OpenKey(ProductKeyPath);
    reg.WriteString("MAINDIR", choices.DestDir);
    choices.CompsMask = CompsMaskFromCheckStates(choices.CompsMask, choices.CheckStates);
    reg.WriteInteger("COMPS (1.6.6.2)", static_cast<std::int32_t>(choices.CompsMask));
    reg.WriteBool("INSTALLTOALL", choices.InstallToAll);
    reg.WriteString("EXTENSIONS", choices.Extensions);
    reg.WriteBool("LAUNCH", choices.Launch);
    if (!IsPortable(choices.DestDir)) WriteUninstallEntry(reg, choices.DestDir, installedBytes);
}
