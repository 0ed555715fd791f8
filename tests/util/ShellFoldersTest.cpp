// Shell folders as the test prefix resolves them, after the program's start-up steps.
#include "util/InstUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(ShellFolders, KnownFoldersHaveNoFinalBackslash) {
    StartUpShell();
    const struct {
        int csidl;
        const char* name;
    } folders[] = {
        {0x02, "programs"},         {0x05, "documents"},       {0x10, "desktop"},
        {0x17, "common programs"},  {0x19, "common desktop"},  {0x1A, "application data"},
        {0x1C, "local app data"},   {0x23, "common app data"}, {0x26, "program files"},
        {0x2E, "common documents"},
    };
    for (const auto& f : folders) {
        const std::string path = GetShellFolder(f.csidl);
        EXPECT_FALSE(path.empty()) << f.name;
        EXPECT_NE('\\', LastChar(path)) << f.name << ": " << path;
        EXPECT_EQ(':', path.size() > 1 ? path[1] : 0) << f.name << ": " << path;
    }
    EXPECT_TRUE(EqualNoCase("C:\\ProgramData", GetShellFolder(0x23)));
    ShutDownShell();
}

TEST(ShellFolders, UnknownFolderIsEmpty) {
    EXPECT_EQ("", GetShellFolder(0x7F));
    EXPECT_EQ("", GetShellFolder(-1));
}

TEST(ShellFolders, StartUpKeepsPlantedLibrariesOutAndReadiesOle) {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) {
        // With the usual search the program's own folder is searched first: the planted
        // library beside this test is found.
        ASSERT_TRUE(setDefault(0x1000)); // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
        const HMODULE planted = LoadLibraryA("util_planted.dll");
        ASSERT_NE(nullptr, planted) << "the planted library is not beside the test";
        FreeLibrary(planted);
    }

    StartUpShell();
    if (setDefault) {
        EXPECT_EQ(nullptr, LoadLibraryA("util_planted.dll"));
    }
    EXPECT_FALSE(GetShellFolder(0x05).empty());
    // OLE is ready for the shell-link object on this thread: a second start reports S_FALSE.
    EXPECT_EQ(S_FALSE, OleInitialize(nullptr));
    OleUninitialize();
    ShutDownShell();
}

} // namespace
