// Folder kinds in an ordinary and a portable install, and what their creation records.
#include <gtest/gtest.h>

#include "ProductTestSupport.h"
#include "product/FolderLayout.h"
#include "util/InstallLog.h"

using namespace product_test;

namespace {

std::vector<std::string> MadeDirs(std::initializer_list<std::string> folders) {
    std::vector<std::string> lines;
    for (const std::string& f : folders)
        lines.push_back("Made Dir: " + f);
    return lines;
}

TEST(FolderLayout, OrdinaryKindsLieUnderCommonAppDataWhateverTheDestinationEnding) {
    TTestTree tree;
    const auto map = TestShellFolderMap(tree.Root());
    const auto shell = MappedShellFolders(map);
    const std::string base = map.at(CsidlCommonAppData) + "\\Sarvello\\";
    StartEmptyInstallLog();
    for (const std::string dest : {"C:\\Program Files\\Sarvello", "C:\\Program Files\\Sarvello\\",
                                   "C:\\Program Files\\Sarvello/"}) {
        EXPECT_FALSE(IsPortable(dest));
        EXPECT_EQ(base, GetDataFolder(dest, SharedDataFolder, shell)) << dest;
        EXPECT_EQ(base + "Hidden\\", GetDataFolder(dest, HiddenDataFolder, shell)) << dest;
        EXPECT_EQ(base + "Public\\", GetDataFolder(dest, PublicDataFolder, shell)) << dest;
        EXPECT_EQ(base + "Public\\Spellcheck\\", GetDataFolder(dest, SpellcheckFolder, shell))
            << dest;
        EXPECT_EQ("C:\\Program Files\\Sarvello\\x.txt", DestFilePath(dest, "x.txt")) << dest;
    }
    for (const char* sub : {"", "Hidden", "Public", "Public\\Spellcheck"})
        EXPECT_TRUE(FolderExistsOnDisk(base + sub)) << sub;
    EXPECT_EQ("", GetDataFolder("C:\\Program Files\\Sarvello", 3, shell));
}

TEST(FolderLayout, PortableKindsCollapseIntoTheDestination) {
    TTestTree tree('R');
    StartEmptyInstallLog();
    // The machine's folders must not be asked for, let alone created.
    const auto shell = MappedShellFolders({{CsidlCommonAppData, "C:\\must-not-be-used"}});
    const std::string dest = tree.Root() + "\\Apps\\Sarvello";
    for (const std::string& given : {dest, dest + "\\", dest + "/"}) {
        EXPECT_TRUE(IsPortable(given)) << given;
        for (const std::uint8_t kind : {SharedDataFolder, HiddenDataFolder, PublicDataFolder})
            EXPECT_EQ(dest + "\\", GetDataFolder(given, kind, shell)) << given << int(kind);
        EXPECT_EQ(dest + "\\Spellcheck\\", GetDataFolder(given, SpellcheckFolder, shell)) << given;
    }
    EXPECT_TRUE(FolderExistsOnDisk(dest + "\\Spellcheck"));
    EXPECT_FALSE(FolderExistsOnDisk("C:\\must-not-be-used"));
    // Nothing is cached: the same text on a fixed drive is ordinary again.
    std::string onFixedDrive = dest;
    onFixedDrive[0] = 'C';
    EXPECT_FALSE(IsPortable(onFixedDrive));
}

TEST(FolderLayout, EachNewLevelIsRecordedOnceOuterFirst) {
    TTestTree tree;
    const auto map = TestShellFolderMap(tree.Root());
    const auto shell = MappedShellFolders(map);
    const std::string base = map.at(CsidlCommonAppData) + "\\Sarvello\\";
    const std::string dest = tree.Root() + "\\Dest";

    StartEmptyInstallLog();
    GetDataFolder(dest, HiddenDataFolder, shell);
    EXPECT_EQ(MadeDirs({base, base + "Hidden\\"}), InstallLogLines());
    GetDataFolder(dest, HiddenDataFolder, shell);
    EXPECT_EQ(MadeDirs({base, base + "Hidden\\"}), InstallLogLines());

    GetDataFolder(dest, SpellcheckFolder, shell);
    EXPECT_EQ(MadeDirs({base, base + "Hidden\\", base + "Public\\", base + "Public\\Spellcheck\\"}),
              InstallLogLines());

    // While the log is suspended folders are made but not recorded.
    const std::string otherBase = tree.Root() + "\\other";
    CreateDirectoryA(otherBase.c_str(), nullptr);
    const auto other = MappedShellFolders({{CsidlCommonAppData, otherBase}});
    SuspendInstallLog();
    GetDataFolder(dest, PublicDataFolder, other);
    ResumeInstallLog();
    EXPECT_TRUE(FolderExistsOnDisk(otherBase + "\\Sarvello\\Public"));
    EXPECT_EQ(4u, InstallLogLines().size());
}

TEST(FolderLayout, DocumentsFolderStandsInForAMissingCommonAppData) {
    TTestTree tree;
    const std::string documents = tree.Root() + "\\Documents";
    CreateDirectoryA(documents.c_str(), nullptr);
    StartEmptyInstallLog();
    const auto shell = MappedShellFolders({{CsidlCommonAppData, ""}, {CsidlPersonal, documents}});
    EXPECT_EQ(documents + "\\Sarvello\\Public\\",
              GetDataFolder(tree.Root() + "\\Dest", PublicDataFolder, shell));
    EXPECT_TRUE(FolderExistsOnDisk(documents + "\\Sarvello\\Public"));

    // Neither resolves: nothing is handed out, so nothing lands in the current folder.
    const auto none = MappedShellFolders({{CsidlCommonAppData, ""}, {CsidlPersonal, ""}});
    for (const std::uint8_t kind : {SharedDataFolder, HiddenDataFolder, SpellcheckFolder})
        EXPECT_EQ("", GetDataFolder(tree.Root() + "\\Dest", kind, none)) << int(kind);
    EXPECT_FALSE(FolderExistsOnDisk("Sarvello"));
}

} // namespace
