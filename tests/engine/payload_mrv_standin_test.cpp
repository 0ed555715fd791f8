// The stand-in main program as the setup meets it: started in a folder of its own, it records
// each command line exactly, ends at once for "-assoc" and "-ui", and otherwise shows a window
// that another process finds by its property until the window is closed.
#include "tests/support/TestFiles.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using testsupport::WinePath;

constexpr DWORD ProcessWaitMs = 30000; // a bound against a hang, not a timing expectation

struct TProcess {
    win::UniqueHandle Process;
    DWORD Id = 0;
};

TProcess Start(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    TProcess p;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &si, &pi)) {
        CloseHandle(pi.hThread);
        p.Process.reset(pi.hProcess);
        p.Id = pi.dwProcessId;
    }
    return p;
}

DWORD WaitExit(const TProcess& p) {
    if (WaitForSingleObject(p.Process.get(), ProcessWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(p.Process.get(), 99);
        return 99;
    }
    DWORD code = 0;
    GetExitCodeProcess(p.Process.get(), &code);
    return code;
}

struct TFound {
    DWORD ProcessId;
    HWND Window;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<TFound*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->ProcessId && GetPropA(window, "1.x Veridune") != nullptr) {
        found->Window = window;
        return FALSE;
    }
    return TRUE;
}

HWND MarkedWindowOf(DWORD processId) {
    TFound found{processId, nullptr};
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&found));
    return found.Window;
}

class StandInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        Folder = std::string(base) + "mrv standin test " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(Folder.c_str(), nullptr);
        Exe = Folder + "\\mrv.exe";
        ASSERT_TRUE(CopyFileA(WinePath(SARVELLO_TEST_MRV).c_str(), Exe.c_str(), FALSE));
    }
    void TearDown() override { DeleteFolderTree(Folder); }
    std::vector<std::string> LoggedLines() const {
        std::ifstream in(Folder + "\\mrv-commands.log", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start) + "<no line end>");
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    std::string Folder, Exe;
};

TEST_F(StandInTest, AssociationAndUninstallCommandsAreRecordedExactlyAndEnd) {
    // The path has spaces, as under "Program Files"; the setup always quotes it.
    const std::vector<std::string> commands = {
        "\"" + Exe + "\" -assoc mevo_rtf_cod_doc_docx",
        "\"" + Exe + "\" -assoc mevo",
        "\"" + Exe + "\" -ui",
        "\"" + Exe + "\" -assoc  mevo_doc \"quoted arg\"",
    };
    for (const auto& c : commands) {
        const TProcess p = Start(c, Folder);
        ASSERT_TRUE(p.Process) << c;
        EXPECT_EQ(0u, WaitExit(p)) << c;
    }
    EXPECT_EQ(commands, LoggedLines());
}

class LastRunVersionKeeper {
  public:
    LastRunVersionKeeper() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
            win::UniqueRegKey owned(key);
            DWORD size = sizeof Saved;
            Had = RegQueryValueExA(key, "LastRunVer", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&Saved), &size) == ERROR_SUCCESS;
        }
    }
    ~LastRunVersionKeeper() {
        win::UniqueRegKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            key.put(), nullptr) != ERROR_SUCCESS)
            return;
        if (Had)
            RegSetValueExA(key.get(), "LastRunVer", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&Saved), sizeof Saved);
        else
            RegDeleteValueA(key.get(), "LastRunVer");
    }
    static DWORD Current() {
        DWORD value = 0, size = sizeof value, type = 0;
        win::UniqueRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_QUERY_VALUE, key.put()) !=
                ERROR_SUCCESS ||
            RegQueryValueExA(key.get(), "LastRunVer", nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return 0;
        return value;
    }
    static constexpr const char* Path = "Software\\Sarvello Word Processor\\Internal";

  private:
    bool Had = false;
    DWORD Saved = 0;
};

TEST_F(StandInTest, LaunchShowsAMarkedWindowUntilClosed) {
    LastRunVersionKeeper keeper;
    const std::string command = "\"" + Exe + "\"";
    const TProcess p = Start(command, Folder);
    ASSERT_TRUE(p.Process);
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) { // bounded wait for the window to appear
        window = MarkedWindowOf(p.Id);
        if (!window) Sleep(50);
    }
    ASSERT_NE(nullptr, window) << "no top-level window with the property";
    EXPECT_EQ(20005000u, LastRunVersionKeeper::Current());
    EXPECT_NE(WAIT_OBJECT_0, WaitForSingleObject(p.Process.get(), 0)) << "ended on its own";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitExit(p));
    EXPECT_EQ(std::vector<std::string>{command}, LoggedLines());
}

} // namespace
