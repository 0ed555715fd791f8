// The setup driven end to end through its real window: the page flow with its buttons and
// titles, the close question, the licence refusal question, the running-instance message and
// the keyboard; and the refusal of an old Windows version.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "tests/e2e/Robot.h"
#include "ui/MessageDialog.h"
#include "wizard/ControlIds.h"
#include "wizard/ResConst.h"
#include "wizard/WizardTexts.h"

namespace {

using namespace robot;
namespace Id = WizardIds;

constexpr const char* ProductKey = "Software\\Sarvello Word Processor";

std::string WithoutLineFeeds(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\n'), s.end());
    return s;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteTree(HKEY root, const char* path) {
    // SHDeleteKey would do; this keeps the test free of shlwapi.
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(key, name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

DWORD ValueCount(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return values;
}

std::string ReadString(const char* path, const char* name) {
    char buf[MAX_PATH] = {};
    DWORD size = sizeof buf;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return buf;
}

void DeleteFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, "..")) continue;
            const std::string path = folder + "\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolderTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr const char* InstallKey = "Software\\Sarvello Word Processor\\Install";

std::string TempRoot() {
    char buf[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, buf);
    return buf;
}

// A private temporary folder for one setup run: what the setup leaves there is visible.
class TScratchFolder {
  public:
    explicit TScratchFolder(const std::string& name)
        : Path(TempRoot() + name + "-" + std::to_string(GetCurrentProcessId())) {
        CreateDirectoryA(Path.c_str(), nullptr);
    }
    ~TScratchFolder() {
        for (const auto& f : Files())
            DeleteFileA((Path + "\\" + f).c_str());
        RemoveDirectoryA(Path.c_str());
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((Path + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            if (std::strcmp(fd.cFileName, ".") && std::strcmp(fd.cFileName, ".."))
                names.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return names;
    }
    std::vector<std::string> Env() const { return {"TEMP=" + Path, "TMP=" + Path}; }
    const std::string Path;
};

// ---------------------------------------------------------------------------------------------
// Old Windows: Wine answers GetVersionExA as the version set for the program's file name.

struct TOldWindows {
    const char* Version; // Wine's name
    const char* ExeName;
};

class OldWindows : public testing::TestWithParam<TOldWindows> {};

TEST_P(OldWindows, RefusesWithTheMessageOnlyAndExitsWithZero) {
    const auto& v = GetParam();
    TScratchFolder temp(std::string("sarvello-e2e-") + v.Version);
    const std::string exe = temp.Path + "\\" + v.ExeName;
    ASSERT_TRUE(CopyFileA(SetupPath().c_str(), exe.c_str(), FALSE)) << SetupPath();
    const std::string appKey = std::string("Software\\Wine\\AppDefaults\\") + v.ExeName;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, appKey.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.Version),
                   static_cast<DWORD>(std::strlen(v.Version) + 1));
    RegCloseKey(key);
    DeleteTree(HKEY_CURRENT_USER, ProductKey);
    const auto filesBefore = temp.Files();

    DWORD exitCode = STILL_ACTIVE;
    TDialog box;
    {
        TProcess setup(exe, temp.Env());
        ASSERT_TRUE(setup.Started());
        box = WaitForDialog(setup.Id());
        ASSERT_TRUE(box.Wnd) << "no message box";
        EXPECT_EQ(nullptr, FindTopLevel(setup.Id(), Id::FormClassName)) << "no wizard";
        EXPECT_EQ(nullptr, GetWindow(box.Wnd, GW_OWNER));
        SendMessageA(box.Button(IDOK), BM_CLICK, 0, 0);
        exitCode = setup.WaitForExit();
    }
    DeleteTree(HKEY_CURRENT_USER, appKey.c_str());
    DeleteFileA(exe.c_str());

    EXPECT_EQ("This program requires Windows 2000 or later.", box.Text);
    EXPECT_EQ("Error", box.Title) << "the system's default caption";
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.Buttons);
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ProductKey));
    auto filesAfter = temp.Files();
    filesAfter.erase(std::remove(filesAfter.begin(), filesAfter.end(), v.ExeName),
                     filesAfter.end());
    EXPECT_EQ(filesBefore.size() - 1, filesAfter.size()) << "a temporary file appeared";
}

INSTANTIATE_TEST_SUITE_P(Setup, OldWindows,
                         testing::Values(TOldWindows{"nt40", "setup-nt40-e2e.exe"},
                                         TOldWindows{"win98", "setup-win98-e2e.exe"}),
                         [](const auto& p) { return std::string(p.param.Version); });

// ---------------------------------------------------------------------------------------------
// The wizard.

struct TPageState {
    std::uint8_t Page;
    bool BackVisible, BackEnabled;
    const char* Next;
    bool NextEnabled, CancelEnabled;
};

// Buttons, captions and states every page shows when a move has entered it.
const TPageState Pages[] = {
    {0, false, true, "&Next >", true, true}, {1, true, true, "&Next >", true, true},
    {2, true, true, "&Next >", true, true},  {3, true, true, "&Next >", true, true},
    {4, true, true, "&Next >", true, true},  {5, true, false, "&Next >", false, true},
    {6, true, false, "&Next >", true, true}, {7, true, false, "&Finish", true, false},
};

class Wizard : public testing::Test {
  protected:
    void SetUp() override {
        DeleteTree(HKEY_CURRENT_USER, ProductKey);
        Setup = std::make_unique<TProcess>(SetupPath(), Temp.Env());
        ASSERT_TRUE(Setup->Started());
        ASSERT_TRUE(WaitUntil([&] {
            return (Form = FindTopLevel(Setup->Id(), Id::FormClassName)) != nullptr;
        })) << "the wizard did not show";
    }
    void TearDown() override {
        Setup.reset();
        DeleteTree(HKEY_CURRENT_USER, ProductKey);
    }

    HWND Ctl(int id) const { return FindById(Form, id); }
    std::uint8_t ShownPage() const {
        for (std::uint8_t i = 0; i < 8; ++i)
            if (IsWindowVisible(Ctl(Id::FirstPage + i))) return i;
        return 255;
    }
    bool OnPage(std::uint8_t page) const {
        return ShownPage() == page && Text(Ctl(Id::TopLbl)) == ResConst::PageTitles[page];
    }
    void ExpectPage(std::uint8_t page) {
        ASSERT_TRUE(WaitUntil([&] { return OnPage(page); }))
            << "expected page " << int(page) << ", shown " << int(ShownPage());
        const auto& s = Pages[page];
        HWND back = Ctl(Id::BackBtn), next = Ctl(Id::NextBtn), cancel = Ctl(Id::CancelBtn);
        EXPECT_EQ(ResConst::PageTitles[page], Text(Ctl(Id::TopLbl)));
        EXPECT_EQ(s.BackVisible, bool(IsWindowVisible(back))) << int(page);
        if (s.BackVisible) {
            EXPECT_EQ(s.BackEnabled, bool(IsWindowEnabled(back))) << int(page);
        }
        EXPECT_EQ("< &Back", Text(back));
        EXPECT_EQ(s.Next, Text(next)) << int(page);
        EXPECT_EQ(s.NextEnabled, bool(IsWindowEnabled(next))) << int(page);
        EXPECT_EQ("Cancel", Text(cancel));
        EXPECT_EQ(s.CancelEnabled, bool(IsWindowEnabled(cancel))) << int(page);
        for (std::uint8_t i = 0; i < 8; ++i)
            if (i != page) {
                EXPECT_FALSE(IsWindowVisible(Ctl(Id::FirstPage + i))) << int(i);
            }
    }
    // A question or message of the wizard: owned by the form, with the expected text.
    TDialog ExpectDialog(const char* title, const char* text,
                         const std::vector<std::string>& buttons) {
        TDialog d = WaitForDialog(Setup->Id());
        EXPECT_TRUE(d.Wnd) << "no dialog: " << text;
        if (!d.Wnd) return d;
        EXPECT_EQ(Form, GetWindow(d.Wnd, GW_OWNER));
        EXPECT_EQ(title, d.Title);
        EXPECT_EQ(text, WithoutLineFeeds(d.Text));
        EXPECT_EQ(buttons, d.Buttons);
        return d;
    }
    static void WaitGone(const TDialog& d) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(d.Wnd) || !IsWindowVisible(d.Wnd); }));
    }
    void Answer(const TDialog& d, int id) {
        if (!d.Wnd) return;
        Click(d.Button(id));
        WaitGone(d);
    }
    void AnswerQuit(int id) {
        Answer(ExpectDialog("Confirm", WizardTexts::QuitQuestion, {"&No", "&Abort"}), id);
    }

    TScratchFolder Temp{"sarvello-e2e-wizard"};
    std::unique_ptr<TProcess> Setup;
    HWND Form = nullptr;
};

TEST_F(Wizard, FrameCaptionSizeAndWelcomeText) {
    EXPECT_EQ("Sarvello Word Processor - Setup", Text(Form));
    RECT client{};
    GetClientRect(Form, &client);
    EXPECT_EQ(492, client.right);
    EXPECT_EQ(351, client.bottom);
    const LONG style = GetWindowLongA(Form, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT frame{}, work{};
    GetWindowRect(Form, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
    EXPECT_EQ("This program will install Sarvello Word Processor (version 2.0.5.0) on your "
              "computer.\r\r\r\r\rClick Next to continue. Click Cancel to quit Setup.",
              WithoutLineFeeds(Text(Ctl(Id::WelcomeLbl))));
    EXPECT_EQ("Sarvello Word Processor 2.0.5.0 has been successfully installed on your "
              "system.\r\rClick Finish to exit this Setup.",
              WithoutLineFeeds(Text(Ctl(Id::FinishLbl))));
    EXPECT_EQ(BST_CHECKED, SendMessageA(Ctl(Id::LicenseChkBx), BM_GETCHECK, 0, 0));
    ExpectPage(0);

    // The close question on the welcome page: No keeps the wizard, Abort ends it with 0.
    PostMessageA(Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    AnswerQuit(mrNo);
    ExpectPage(0);
    PostMessageA(Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    AnswerQuit(mrAbort);
    EXPECT_EQ(0u, Setup->WaitForExit());
    // Closed before copying: nothing is saved; only the keys the wizard opened remain, empty.
    EXPECT_EQ(0u, ValueCount(InstallKey));
    EXPECT_TRUE(Temp.Files().empty()) << "a temporary file was left behind";
}

// A window of the installed main program, as far as the setup can tell.
class TRunningMainProgram {
  public:
    TRunningMainProgram() {
        Wnd = CreateWindowExA(0, "STATIC", "mrv", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        SetPropA(Wnd, "1.x Veridune", reinterpret_cast<HANDLE>(1));
    }
    ~TRunningMainProgram() {
        RemovePropA(Wnd, "1.x Veridune");
        DestroyWindow(Wnd);
    }
    TRunningMainProgram(const TRunningMainProgram&) = delete;
    TRunningMainProgram& operator=(const TRunningMainProgram&) = delete;

  private:
    HWND Wnd;
};

bool Ticked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST_F(Wizard, EveryReachablePageWithItsButtonsQuestionsAndKeys) {
    ExpectPage(0);
    {
        TRunningMainProgram mainProgram;
        Click(Ctl(Id::NextBtn));
        Answer(ExpectDialog("Information", WizardTexts::RunningInstance, {"OK"}), mrOk);
        ExpectPage(0);
    }
    Click(Ctl(Id::NextBtn));
    ExpectPage(1);
    Click(Ctl(Id::BackBtn));
    ExpectPage(0);
    PressKey(Form, VK_RETURN); // Enter presses Next
    ExpectPage(1);
    // In the licence text Esc and Enter still act for the form.
    ASSERT_EQ(Id::LicenseMemo, GetDlgCtrlID(FocusOf(Form)));
    PressKey(Form, VK_ESCAPE);
    Answer(ExpectDialog("Confirm", WizardTexts::QuitQuestion, {"&No", "&Abort"}), mrNo);
    ExpectPage(1);
    ASSERT_TRUE(WaitUntil([&] { return GetDlgCtrlID(FocusOf(Form)) == Id::LicenseMemo; }));
    PressKey(Form, VK_RETURN);
    ExpectPage(2);
    Click(Ctl(Id::BackBtn));
    ExpectPage(1);

    // Refusing the licence: No keeps page 1 as it was.
    HWND accept = Ctl(Id::LicenseChkBx);
    Click(accept);
    ASSERT_TRUE(WaitUntil([&] { return !Ticked(accept); }));
    Click(Ctl(Id::NextBtn));
    Answer(ExpectDialog("Information", WizardTexts::LicenseRefusal, {"&Yes", "&No"}), mrNo);
    ExpectPage(1);
    EXPECT_FALSE(Ticked(accept));
    PressAlt(Form, 'a'); // "I &accept..."
    ASSERT_TRUE(WaitUntil([&] { return Ticked(accept); }));
    Click(Ctl(Id::NextBtn));
    ExpectPage(2);
    EXPECT_FALSE(Text(Ctl(Id::DestDirEdt)).empty()) << "the destination edit holds DestDir";

    PressAlt(Form, 'b'); // "< &Back"
    ExpectPage(1);
    PressAlt(Form, 'n'); // "&Next >"
    ExpectPage(2);
    Click(Ctl(Id::NextBtn));
    ExpectPage(3);
    Click(Ctl(Id::NextBtn));
    ExpectPage(4);
    EXPECT_TRUE(IsWindowVisible(Ctl(Id::InstallToAllChkBx))) << "not portable";
    Click(Ctl(Id::BackBtn));
    ExpectPage(3);
    Click(Ctl(Id::NextBtn));
    ExpectPage(4);
    {
        TRunningMainProgram mainProgram;
        Click(Ctl(Id::NextBtn));
        Answer(ExpectDialog("Information", WizardTexts::RunningInstance, {"OK"}), mrOk);
        ExpectPage(4);
    }
    // Esc asks the close question; Esc in the question answers No.
    PressKey(Form, VK_ESCAPE);
    TDialog question = ExpectDialog("Confirm", WizardTexts::QuitQuestion, {"&No", "&Abort"});
    PressKey(question.Wnd, VK_ESCAPE);
    WaitGone(question);
    ExpectPage(4);

    Click(Ctl(Id::CancelBtn));
    AnswerQuit(mrAbort);
    EXPECT_EQ(0u, Setup->WaitForExit());
    EXPECT_EQ(0u, ValueCount(InstallKey)) << "nothing is saved before copying starts";
    EXPECT_TRUE(Temp.Files().empty()) << "the licence's temporary copy was left behind";
}

// A whole installation onto the removable test drive R: (portable mode): the installing page
// held by a file that another program keeps open, Retry, then the finish page.
TEST_F(Wizard, PortableInstallationToTheFinishPage) {
    const std::string root = "R:\\sarvello-e2e-" + std::to_string(GetCurrentProcessId());
    const std::string dest = root + "\\Sarvello";
    DeleteFolderTree(root);
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    // The first file of the installation, held open without sharing: its copy fails until the
    // handle is closed.
    HANDLE held = CreateFileA((dest + "\\mrv.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    Click(Ctl(Id::NextBtn));
    ExpectPage(1);
    EXPECT_FALSE(Text(Ctl(Id::LicenseMemo)).empty()) << "the licence text is shown";
    Click(Ctl(Id::NextBtn));
    ExpectPage(2);
    SendMessageA(Ctl(Id::DestDirEdt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dest.c_str()));
    Click(Ctl(Id::NextBtn));
    ExpectPage(3);
    Click(Ctl(Id::NextBtn));
    ExpectPage(4);
    EXPECT_FALSE(IsWindowVisible(Ctl(Id::InstallToAllChkBx))) << "portable: no such choice";
    Click(Ctl(Id::NextBtn));

    // The worker's question comes through the wizard while the installing page shows.
    TDialog retry = WaitForDialog(Setup->Id());
    ASSERT_TRUE(retry.Wnd) << "no question about the held file";
    EXPECT_EQ(Form, GetWindow(retry.Wnd, GW_OWNER));
    EXPECT_EQ((std::vector<std::string>{"&Abort", "&Retry", "&Ignore"}), retry.Buttons);
    EXPECT_NE(std::string::npos, retry.Text.find("mrv.exe")) << retry.Text;
    ExpectPage(5);
    RECT word{}, name{};
    GetWindowRect(Ctl(Id::InstallingLbl), &word);
    GetWindowRect(Ctl(Id::InstallingLbl2), &name);
    EXPECT_GT(name.left, word.right) << "the component's name runs into \"Installing\"";
    CloseHandle(held);
    Answer(retry, mrRetry);

    // Portable: the associations page is skipped.
    ExpectPage(7);
    HWND launch = Ctl(Id::FinishChkBx);
    if (!Ticked(launch)) Click(launch);
    ASSERT_TRUE(WaitUntil([&] { return Ticked(launch); }));
    // Cancel is disabled here, so Esc asks nothing: the accelerator pressed after it still
    // reaches the page (a question would have taken the keyboard).
    PressKey(Form, VK_ESCAPE);
    PressAlt(Form, 'l'); // "&Launch Sarvello Word Processor"
    ASSERT_TRUE(WaitUntil([&] { return !Ticked(launch); }));
    EXPECT_EQ(nullptr, FindTopLevel(Setup->Id(), "#32770")) << "no question on Esc";
    PressAlt(Form, 'f'); // "&Finish"
    EXPECT_EQ(0u, Setup->WaitForExit());

    EXPECT_TRUE(FileExists(dest + "\\mrv.exe"));
    EXPECT_TRUE(FileExists(dest + "\\License.txt"));
    EXPECT_FALSE(FileExists(dest + "\\Install.log")) << "portable: no install log";
    EXPECT_EQ(dest, ReadString(InstallKey, "MAINDIR")) << "the choices are saved";
    EXPECT_TRUE(Temp.Files().empty());
    DeleteFolderTree(root);
}

// An ordinary installation onto the fixed test drive F:, abandoned on the associations page:
// copying has started, so the choices, the uninstall entry and "Install.log" are saved.
TEST_F(Wizard, OrdinaryInstallationClosedOnTheAssociationsPage) {
    const std::string root = "F:\\sarvello-e2e-" + std::to_string(GetCurrentProcessId());
    const std::string dest = root + "\\Sarvello";
    const char* uninstallKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sarvello Word Processor";
    DeleteFolderTree(root);
    // The product's shared data folder: what this run creates there goes again at the end.
    char appData[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, appData));
    const std::string shared = std::string(appData) + "\\Sarvello";
    const bool sharedExisted = GetFileAttributesA(shared.c_str()) != INVALID_FILE_ATTRIBUTES;

    for (std::uint8_t page = 1; page <= 2; ++page) {
        Click(Ctl(Id::NextBtn));
        ExpectPage(page);
    }
    SendMessageA(Ctl(Id::DestDirEdt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dest.c_str()));
    Click(Ctl(Id::NextBtn));
    ExpectPage(3);
    Click(Ctl(Id::NextBtn));
    ExpectPage(4);
    EXPECT_TRUE(IsWindowVisible(Ctl(Id::InstallToAllChkBx)));
    Click(Ctl(Id::NextBtn));

    // The worker copies, the status timer sees the end and shows the associations page with
    // the boxes of the saved letters (none saved yet: the product's default, COD).
    ExpectPage(6);
    EXPECT_EQ(Id::AssocChkBx1, GetDlgCtrlID(FocusOf(Form)));
    const bool expected[4] = {false, true, false, false};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], Ticked(Ctl(Id::AssocChkBx1 + i))) << i;
    Click(Ctl(Id::CancelBtn));
    AnswerQuit(mrAbort);
    EXPECT_EQ(0u, Setup->WaitForExit());

    // Saved at exit because copying had started.
    const std::string log = dest + "\\Install.log";
    std::vector<std::string> lines;
    {
        HANDLE f = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f) << "no Install.log";
        std::string text(1 << 20, '\0');
        DWORD got = 0;
        ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
        CloseHandle(f);
        text.resize(got);
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
             at = end + 2)
            lines.push_back(text.substr(at, end - at));
    }
    EXPECT_NE(lines.end(),
              std::find(lines.begin(), lines.end(), "File Copy: " + dest + "\\mrv.exe"));
    EXPECT_EQ(dest, ReadString(InstallKey, "MAINDIR"));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstallKey, 0, KEY_READ, &key))
        << "the uninstall entry";
    if (key) RegCloseKey(key);

    // Take everything away again by the log: files first, then the folders it made, newest
    // first (with whatever this run put into them).
    for (const auto& line : lines)
        if (line.rfind("File Copy: ", 0) == 0) DeleteFileA(line.substr(11).c_str());
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->rfind("Made Dir: ", 0) == 0) DeleteFolderTree(it->substr(10));
    DeleteFolderTree(root);
    if (!sharedExisted) DeleteFolderTree(shared);
    DeleteTree(HKEY_LOCAL_MACHINE, uninstallKey);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--setup=", 8) == 0) robot::SetSetupPath(argv[i] + 8);
    if (robot::SetupPath().empty()) {
        std::fprintf(stderr, "usage: %s --setup=PATH-OF-SETUP.EXE\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
