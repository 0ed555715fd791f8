// Shortcuts read back as real shell links, the association and launch command lines as the
// stand-in main program receives them, and portable mode leaving the desktop alone.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "ProductTestSupport.h"
#include "product/Associations.h"
#include "product/Shortcuts.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

using namespace product_test;

namespace {

struct TLink {
    bool Loaded = false;
    std::string Target, WorkingFolder, Description;
};

TLink ReadLink(const std::string& path) {
    TLink link;
    win::ComPtr<IShellLinkA> shell;
    win::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shell.put_void())) ||
        FAILED(shell->QueryInterface(IID_IPersistFile, file.put_void())))
        return link;
    std::wstring wide(path.begin(), path.end());
    if (FAILED(file->Load(wide.c_str(), STGM_READ))) return link;
    char text[MAX_PATH * 2] = {};
    shell->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    link.Target = text;
    text[0] = 0;
    shell->GetWorkingDirectory(text, sizeof text);
    link.WorkingFolder = text;
    text[0] = 0;
    shell->GetDescription(text, sizeof text);
    link.Description = text;
    link.Loaded = true;
    return link;
}

class ShortcutsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        map_ = TestShellFolderMap(tree_.Root());
        dest_ = tree_.Root() + "\\Program Files\\Sarvello";
        CreateDirectoryA((tree_.Root() + "\\Program Files").c_str(), nullptr);
        CreateDirectoryA(dest_.c_str(), nullptr);
        InstallStandIn(dest_);
        StartEmptyInstallLog();
        choices_.DestDir = dest_;
    }
    void TearDown() override {
        EndStandIns(dest_);
        DeleteProductKeys(); // a launched stand-in records its version there
    }
    std::string Link(int csidl) const { return map_.at(csidl) + "\\" + ShortcutFileName; }

    TTestTree tree_;
    std::map<int, std::string> map_;
    std::string dest_;
    TWizardChoices choices_;
};

TEST_F(ShortcutsTest, LinksGoToTheChosenScopeAndTheOtherScopesOnesAreDeleted) {
    const auto shell = MappedShellFolders(map_);
    struct Case {
        bool InstallToAll;
        int Programs, Desktop, OtherPrograms, OtherDesktop;
    };
    const Case cases[] = {
        {true, CsidlCommonPrograms, CsidlCommonDesktopDirectory, CsidlPrograms,
         CsidlDesktopDirectory},
        {false, CsidlPrograms, CsidlDesktopDirectory, CsidlCommonPrograms,
         CsidlCommonDesktopDirectory},
    };
    for (const Case& c : cases) {
        // A link of the same name already in the other scope.
        WriteFileBytes(Link(c.OtherPrograms), "old");
        WriteFileBytes(Link(c.OtherDesktop), "old");
        choices_.InstallToAll = c.InstallToAll;
        AssociateAndCreateShortcuts(choices_, shell);
        for (const int csidl : {c.Programs, c.Desktop}) {
            const TLink link = ReadLink(Link(csidl));
            ASSERT_TRUE(link.Loaded) << csidl;
            EXPECT_EQ(dest_ + "\\mrv.exe", link.Target);
            EXPECT_EQ(dest_, link.WorkingFolder);
            EXPECT_EQ(ShortcutDescription, link.Description);
        }
        EXPECT_FALSE(FileExists(Link(c.OtherPrograms))) << c.InstallToAll;
        EXPECT_FALSE(FileExists(Link(c.OtherDesktop))) << c.InstallToAll;
    }
    // Every link made is recorded, in the order made.
    const std::vector<std::string> expected = {
        "File Copy: " + Link(CsidlCommonPrograms),
        "File Copy: " + Link(CsidlCommonDesktopDirectory),
        "File Copy: " + Link(CsidlPrograms),
        "File Copy: " + Link(CsidlDesktopDirectory),
    };
    EXPECT_EQ(expected, InstallLogLines());
}

TEST_F(ShortcutsTest, TwoInstallsRecordEachLinkOnce) {
    const auto shell = MappedShellFolders(map_);
    AssociateAndCreateShortcuts(choices_, shell);
    AssociateAndCreateShortcuts(choices_, shell);
    EXPECT_EQ((std::vector<std::string>{"File Copy: " + Link(CsidlCommonPrograms),
                                        "File Copy: " + Link(CsidlCommonDesktopDirectory)}),
              InstallLogLines());
}

TEST_F(ShortcutsTest, AnUnresolvedScopeFallsBackAndNoScopeMakesNoLink) {
    auto map = map_;
    map[CsidlCommonPrograms] = "";
    WriteFileBytes(Link(CsidlPrograms), "old");
    AssociateAndCreateShortcuts(choices_, MappedShellFolders(map));
    // The old current-user link was replaced by the new one.
    EXPECT_TRUE(ReadLink(Link(CsidlPrograms)).Loaded);
    EXPECT_TRUE(ReadLink(Link(CsidlCommonDesktopDirectory)).Loaded);

    map[CsidlPrograms] = "";
    map[CsidlCommonDesktopDirectory] = "";
    map[CsidlDesktopDirectory] = "";
    StartEmptyInstallLog();
    AssociateAndCreateShortcuts(choices_, MappedShellFolders(map));
    EXPECT_FALSE(FileExists(ShortcutFileName));
    EXPECT_TRUE(InstallLogLines().empty());
}

TEST_F(ShortcutsTest, ALinkThatCannotBeSavedIsNotRecorded) {
    // The folder cannot be made: a file is in the way.
    const std::string blocker = tree_.Root() + "\\blocker";
    WriteFileBytes(blocker, "x");
    EXPECT_FALSE(CreateShortcut(blocker + "\\Sarvello Word Processor.lnk", dest_ + "\\mrv.exe",
                                dest_, ShortcutDescription));
    EXPECT_TRUE(InstallLogLines().empty());
    EXPECT_TRUE(
        CreateShortcut(tree_.Root() + "\\new\\deeper\\x.lnk", dest_ + "\\mrv.exe", dest_, "d"));
    EXPECT_EQ((std::vector<std::string>{"Made Dir: " + tree_.Root() + "\\new\\",
                                        "Made Dir: " + tree_.Root() + "\\new\\deeper\\",
                                        "File Copy: " + tree_.Root() + "\\new\\deeper\\x.lnk"}),
              InstallLogLines());
}

TEST_F(ShortcutsTest, TheMainProgramReceivesTheAssociationAndLaunchCommands) {
    const auto shell = MappedShellFolders(map_);
    const std::string program = "\"" + dest_ + "\\mrv.exe\"";
    choices_.AssocChecked = AssocChecksFromExtensions("DA");
    AssociateAndCreateShortcuts(choices_, shell);
    EXPECT_EQ("AD", choices_.Extensions);
    EXPECT_EQ(std::vector<std::string>{program + " -assoc mevo_rtf_docx"},
              WaitForStandInLines(dest_, 1));
    EndStandIns(dest_);

    choices_.AssocChecked = AssocChecksFromExtensions("b");
    AssociateAndCreateShortcuts(choices_, shell);
    EXPECT_EQ("", choices_.Extensions);
    EXPECT_EQ(
        (std::vector<std::string>{program + " -assoc mevo_rtf_docx", program + " -assoc mevo"}),
        WaitForStandInLines(dest_, 2));
    EndStandIns(dest_);

    choices_.Launch = false;
    LaunchMainProgram(choices_);
    choices_.Launch = true;
    LaunchMainProgram(choices_);
    const auto lines = WaitForStandInLines(dest_, 3);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(program, lines[2]);
    EndStandIns(dest_);
    EXPECT_EQ(3u, WaitForStandInLines(dest_, 3).size()); // the unticked box started nothing
}

TEST(PortableShortcuts, PortableModeStartsNoAssociationAndMakesNoLinkButLaunches) {
    TTestTree tree('R');
    TTestTree machine;
    const auto map = TestShellFolderMap(machine.Root());
    const std::string dest = tree.Root() + "\\Sarvello";
    CreateDirectoryA(dest.c_str(), nullptr);
    InstallStandIn(dest);
    StartEmptyInstallLog();
    TWizardChoices choices;
    choices.DestDir = dest;
    choices.Extensions = "CD";
    choices.AssocChecked = {true, true, true, true};
    AssociateAndCreateShortcuts(choices, MappedShellFolders(map));
    EXPECT_EQ("CD", choices.Extensions);
    for (const auto& [csidl, folder] : map)
        EXPECT_FALSE(FileExists(folder + "\\" + ShortcutFileName)) << csidl;
    LaunchMainProgram(choices);
    // Both would have been started before the launch; once the launch is recorded and every
    // stand-in has ended, its line is the only one.
    EXPECT_EQ(std::vector<std::string>{"\"" + dest + "\\mrv.exe\""}, WaitForStandInLines(dest, 1));
    EndStandIns(dest);
    EXPECT_EQ(1u, WaitForStandInLines(dest, 1).size());
    EXPECT_TRUE(InstallLogLines().empty());
    DeleteProductKeys();
}

} // namespace
