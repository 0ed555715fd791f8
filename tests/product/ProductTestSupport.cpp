#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

namespace product_test {

namespace {

class TShellEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { StartUpShell(); }
    void TearDown() override { ShutDownShell(); }
};
const auto* const ShellEnvironment = ::testing::AddGlobalTestEnvironment(new TShellEnvironment);

} // namespace

TTestTree::TTestTree(char drive) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "tree";
    for (char& c : name)
        if (c == '/') c = '_';
    const std::string base = std::string(1, drive) + ":\\sarvello-product-test";
    CreateDirectoryA(base.c_str(), nullptr);
    root_ = base + "\\" + name;
    DeleteFolderTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
}

TTestTree::~TTestTree() {
    DeleteFolderTree(root_);
    // The shared base goes too when this was the last tree in it.
    RemoveDirectoryA(root_.substr(0, root_.find_last_of('\\')).c_str());
}

TShellFolderLookup MappedShellFolders(std::map<int, std::string> folders) {
    return [folders = std::move(folders)](int csidl) {
        const auto it = folders.find(csidl);
        return it != folders.end() ? it->second : GetShellFolder(csidl);
    };
}

std::map<int, std::string> TestShellFolderMap(const std::string& root) {
    std::map<int, std::string> map;
    for (const int csidl :
         {CsidlCommonAppData, CsidlPersonal, CsidlProgramFiles, CsidlCommonPrograms,
          CsidlCommonDesktopDirectory, CsidlPrograms, CsidlDesktopDirectory}) {
        const std::string folder = root + "\\csidl" + std::to_string(csidl);
        CreateDirectoryA(folder.c_str(), nullptr);
        map[csidl] = folder;
    }
    return map;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExistsOnDisk(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    win::UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(bytes.size(), written);
}

void StartEmptyInstallLog() {
    PrepareInstallLog("");
    InstallLogSuspendCount = 0;
}

std::vector<std::string> InstallLogLines() {
    return InstallLog ? *InstallLog : std::vector<std::string>();
}

std::string WindowsPathOfUnixFile(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

} // namespace product_test

#include <tlhelp32.h>

#include "product/Choices.h"
#include "util/TextLines.h"

namespace product_test {

void InstallStandIn(const std::string& folder) {
    ASSERT_TRUE(CopyFileA(WindowsPathOfUnixFile(SARVELLO_TEST_MRV).c_str(),
                          (folder + "\\mrv.exe").c_str(), FALSE))
        << folder;
}

std::vector<std::string> WaitForStandInLines(const std::string& folder, std::size_t count) {
    std::vector<std::string> lines;
    // A generous bound for a loaded machine; the loop ends as soon as the lines are there.
    for (int i = 0; i < 300; ++i) {
        const std::string text = ReadFileBytes(folder + "\\mrv-commands.log");
        lines = text == "<missing>" ? std::vector<std::string>() : SplitLines(text);
        if (lines.size() >= count) break;
        Sleep(50);
    }
    return lines;
}

namespace {

using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

std::vector<DWORD> StandInsOf(const std::string& folder) {
    const auto query = reinterpret_cast<QueryImageNameProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    std::vector<DWORD> ids;
    win::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || !query) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot.get(), &entry); ok;
         ok = Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, "mrv.exe") != 0) continue;
        win::UniqueHandle process(
            OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID));
        char image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process && query(process.get(), 0, image, &size) &&
            lstrcmpiA(image, (folder + "\\mrv.exe").c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

} // namespace

void EndStandIns(const std::string& folder) {
    for (const DWORD id : StandInsOf(folder)) {
        win::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
        if (!process) continue;
        EnumWindows(CloseWindowOf, static_cast<LPARAM>(id));
        if (WaitForSingleObject(process.get(), 15000) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 5000);
        }
    }
}

void DeleteProductKeys() {
    RegDeleteKeyA(HKEY_CURRENT_USER, ProductKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Sarvello Word Processor\\Internal");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Sarvello Word Processor");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
}

} // namespace product_test
