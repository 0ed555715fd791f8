// Saved choices and the uninstall entry in Wine's real registry. Every test here touches the
// product's fixed keys, so they all live in this one executable and each starts and ends with
// those keys deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProductTestSupport.h"
#include "product/Choices.h"
#include "product/Registry.h"
#include "util/InstUtils.h"

namespace {

constexpr const char* ParentKeyPath = "Software\\Sarvello Word Processor";
const std::string InternalKey = std::string(ParentKeyPath) + "\\Internal";
const std::string ScratchKey = "Software\\Sarvello Product Choices Test";

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

DWORD ValueCount(HKEY root, const std::string& path) {
    win::UniqueRegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    return values;
}

struct TRawValue {
    bool Exists = false;
    DWORD Type = REG_NONE;
    std::string Data;
};

TRawValue RawValue(HKEY root, const std::string& path, const std::string& name) {
    TRawValue v;
    win::UniqueRegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &v.Type, nullptr, &size) !=
        ERROR_SUCCESS)
        return v;
    v.Data.resize(size);
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &v.Type,
                         reinterpret_cast<BYTE*>(v.Data.data()), &size) != ERROR_SUCCESS)
        return v;
    v.Data.resize(size);
    v.Exists = true;
    return v;
}

void SetRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
            const std::string& data) {
    win::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
}

std::string Dword(std::uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}
std::string Sz(const std::string& s) {
    return s + std::string(1, '\0');
}

// What a console program writes to its standard output, once it has ended.
std::string OutputOf(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    win::UniqueHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return {};
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = nullptr;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info))
        return {};
    win::UniqueHandle process(info.hProcess), thread(info.hThread);
    writeEnd.reset(); // the pipe ends when the child's copy closes
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    WaitForSingleObject(process.get(), 30000);
    return output;
}

void DeleteTestKeys() {
    product_test::DeleteProductKeys();
    RegDeleteKeyA(HKEY_CURRENT_USER, ScratchKey.c_str());
}

class ChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteTestKeys();
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, ProductKeyPath));
        // An existing folder for "MAINDIR" to name.
        folder_ = "C:\\sarvello-choices-test";
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(FolderExists(folder_));
    }
    void TearDown() override {
        DeleteTestKeys();
        RemoveDirectoryA(folder_.c_str());
    }
    std::string DefaultDest() const { return JoinPath(GetShellFolder(0x26), "Sarvello"); }

    std::string folder_;
};

TEST_F(ChoicesTest, FirstRunGivesTheDefaultsAndCreatesBothKeysEmpty) {
    TWizardChoices c;
    c.CompsMask = 0;
    c.Extensions = "x";
    c.InstallToAll = c.Launch = false;
    c.LastRunVersion = 0;
    LoadChoices(c, "setup.exe");
    EXPECT_NE("Sarvello", DefaultDest()); // the Program Files folder resolves
    EXPECT_EQ(DefaultDest(), c.DestDir);
    EXPECT_EQ(0x7FFFFFFFu, c.CompsMask);
    EXPECT_EQ((std::array<std::uint8_t, 6>{Grayed, Checked, Checked, Checked, Checked, Checked}),
              c.CheckStates);
    EXPECT_TRUE(c.InstallToAll);
    EXPECT_EQ("B", c.Extensions);
    EXPECT_TRUE(c.Launch);
    EXPECT_EQ(2147483647, c.LastRunVersion);
    // Merely starting creates the keys and writes nothing.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, ProductKeyPath));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, InternalKey));
    EXPECT_EQ(0u, ValueCount(HKEY_CURRENT_USER, ProductKeyPath));
    EXPECT_EQ(0u, ValueCount(HKEY_CURRENT_USER, InternalKey));
}

TEST_F(ChoicesTest, SavedChoicesRoundTripWithTheirTypes) {
    TWizardChoices c;
    LoadChoices(c, "setup.exe");
    c.DestDir = folder_;
    c.Extensions = "";
    c.InstallToAll = false;
    SaveChoices(c, 0);
    // Bit 0 (the grayed main program) and bit 31 clear, bits 1..30 kept.
    EXPECT_EQ(2147483646u, c.CompsMask);
    EXPECT_EQ(Sz(folder_), RawValue(HKEY_CURRENT_USER, ProductKeyPath, "MAINDIR").Data);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ),
              RawValue(HKEY_CURRENT_USER, ProductKeyPath, "MAINDIR").Type);
    const TRawValue comps = RawValue(HKEY_CURRENT_USER, ProductKeyPath, "COMPS (1.6.6.2)");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), comps.Type);
    EXPECT_EQ(Dword(2147483646u), comps.Data);
    EXPECT_EQ(Dword(0), RawValue(HKEY_CURRENT_USER, ProductKeyPath, "INSTALLTOALL").Data);
    EXPECT_EQ(Dword(1), RawValue(HKEY_CURRENT_USER, ProductKeyPath, "LAUNCH").Data);
    EXPECT_EQ(Sz(""), RawValue(HKEY_CURRENT_USER, ProductKeyPath, "EXTENSIONS").Data);

    TWizardChoices next;
    LoadChoices(next, "setup.exe");
    EXPECT_EQ(folder_, next.DestDir);
    EXPECT_EQ(2147483646u, next.CompsMask);
    EXPECT_FALSE(next.InstallToAll);
    EXPECT_TRUE(next.Launch);
    EXPECT_EQ("", next.Extensions);
    next.CheckStates[2] = Unchecked; // the hyphenation module
    SaveChoices(next, 0);
    EXPECT_EQ(Dword(2147483642u),
              RawValue(HKEY_CURRENT_USER, ProductKeyPath, "COMPS (1.6.6.2)").Data);

    // A saved folder that no longer exists gives way to the default; the value stays.
    RemoveDirectoryA(folder_.c_str());
    TWizardChoices third;
    LoadChoices(third, "setup.exe");
    EXPECT_EQ(DefaultDest(), third.DestDir);
    EXPECT_EQ(Sz(folder_), RawValue(HKEY_CURRENT_USER, ProductKeyPath, "MAINDIR").Data);
    EXPECT_EQ((std::array<std::uint8_t, 6>{Grayed, Checked, Unchecked, Checked, Checked, Checked}),
              third.CheckStates);
}

TEST_F(ChoicesTest, StoredValuesAreReadAsTheyStand) {
    struct Case {
        const char* Name;
        std::string Value;
        DWORD Type;
        std::string Data;
    };
    const Case cases[] = {
        {"EXTENSIONS", "b", REG_SZ, Sz("b")},
        {"EXTENSIONS", "DA", REG_SZ, Sz("DA")},
        // Text ends at the first zero byte, whatever the type says.
        {"EXTENSIONS", "AB", REG_BINARY, std::string("AB\0CD", 5)},
        {"EXTENSIONS", "", REG_SZ, ""},
    };
    for (const Case& tc : cases) {
        SetRaw(HKEY_CURRENT_USER, ProductKeyPath, tc.Name, tc.Type, tc.Data);
        TWizardChoices c;
        LoadChoices(c, "setup.exe");
        EXPECT_EQ(tc.Value, c.Extensions) << tc.Value;
    }
    SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "COMPS (1.6.6.2)", REG_DWORD, Dword(0));
    SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "INSTALLTOALL", REG_DWORD, Dword(0));
    SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "LAUNCH", REG_DWORD, Dword(7));
    SetRaw(HKEY_CURRENT_USER, InternalKey, "LastRunVer", REG_DWORD, Dword(20003999));
    TWizardChoices c;
    LoadChoices(c, "setup.exe");
    EXPECT_EQ(0u, c.CompsMask);
    EXPECT_EQ((std::array<std::uint8_t, 6>{Grayed, 0, 0, 0, 0, 0}), c.CheckStates);
    EXPECT_FALSE(c.InstallToAll);
    EXPECT_TRUE(c.Launch);
    EXPECT_EQ(20003999, c.LastRunVersion);
}

TEST_F(ChoicesTest, IntegerOfAnotherSizeReadsAsMissing) {
    const std::string sizes[] = {std::string(), std::string("\x05", 1), std::string(2, '\0'),
                                 std::string(8, '\0')};
    for (const std::string& data : sizes) {
        SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "COMPS (1.6.6.2)", REG_BINARY, data);
        SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "INSTALLTOALL", REG_BINARY, data);
        SetRaw(HKEY_CURRENT_USER, InternalKey, "LastRunVer", REG_QWORD, data);
        TWizardChoices c;
        c.CompsMask = 0;
        c.InstallToAll = false;
        c.LastRunVersion = 0;
        LoadChoices(c, "setup.exe");
        EXPECT_EQ(0x7FFFFFFFu, c.CompsMask) << data.size();
        EXPECT_TRUE(c.InstallToAll) << data.size();
        EXPECT_EQ(2147483647, c.LastRunVersion) << data.size();
    }
}

TEST_F(ChoicesTest, DashDArgumentReplacesTheSavedFolder) {
    SetRaw(HKEY_CURRENT_USER, ProductKeyPath, "MAINDIR", REG_SZ, Sz(folder_));
    struct Case {
        std::string CommandLine;
        std::string Dest;
    };
    const Case cases[] = {
        {"setup.exe -dE:\\Apps\\Sarvello", "E:\\Apps\\Sarvello"},
        {"setup.exe -DE:\\Apps", folder_},
        {"setup.exe -d", ""},
        {"\"C:\\x y\\setup.exe\" \"-dC:\\My Programs\\Sarvello\" -dX:\\",
         "C:\\My Programs\\Sarvello"},
        {"setup.exe \"-dC:\\" + std::string(400, 'L') + "\"", "C:\\" + std::string(400, 'L')},
        {"setup.exe " + std::string(2000, 'z'), folder_},
    };
    for (const Case& tc : cases) {
        TWizardChoices c;
        LoadChoices(c, tc.CommandLine);
        EXPECT_EQ(tc.Dest, c.DestDir) << tc.CommandLine.substr(0, 60);
    }
}

TEST_F(ChoicesTest, UninstallEntryOutsidePortableModeOnly) {
    TWizardChoices c;
    LoadChoices(c, "setup.exe");
    c.DestDir = "C:\\Program Files\\Sarvello";
    SaveChoices(c, 5 * 1024 * 1024 + 1);
    struct Expected {
        const char* Name;
        DWORD Type;
        std::string Data;
    };
    const Expected values[] = {
        {"DisplayName", REG_SZ, Sz("Sarvello Word Processor")},
        {"UninstallString", REG_SZ, Sz("\"C:\\Program Files\\Sarvello\\mrv.exe\" -ui")},
        {"DisplayVersion", REG_SZ, Sz("2.0.5.0")},
        {"DisplayIcon", REG_SZ, Sz("C:\\Program Files\\Sarvello\\mrv.exe")},
        {"InstallLocation", REG_SZ, Sz("C:\\Program Files\\Sarvello")},
        {"EstimatedSize", REG_DWORD, Dword(5 * 1024 + 1)},
        {"NoModify", REG_DWORD, Dword(1)},
        {"NoRepair", REG_DWORD, Dword(1)},
    };
    for (const Expected& e : values) {
        const TRawValue v = RawValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, e.Name);
        EXPECT_TRUE(v.Exists) << e.Name;
        EXPECT_EQ(e.Type, v.Type) << e.Name;
        EXPECT_EQ(e.Data, v.Data) << e.Name;
    }

    // What the system's own tool (and so the list of installed programs) sees.
    const std::string shown =
        OutputOf(std::string("reg.exe query \"HKLM\\") + UninstallKeyPath + "\"");
    EXPECT_NE(std::string::npos, shown.find("\"C:\\Program Files\\Sarvello\\mrv.exe\" -ui"))
        << shown;
    EXPECT_NE(std::string::npos, shown.find("Sarvello Word Processor")) << shown;
    EXPECT_NE(std::string::npos, shown.find("2.0.5.0")) << shown;

    // A portable destination (R: is a removable drive) writes the choices but no entry.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
    c.DestDir = "R:\\sarvello-choices-test";
    SaveChoices(c, 1000);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKeyPath));
    EXPECT_EQ(Sz("R:\\sarvello-choices-test"),
              RawValue(HKEY_CURRENT_USER, ProductKeyPath, "MAINDIR").Data);
}

TEST_F(ChoicesTest, RegistryObjectOpensFromRootOrBelowAndCreates) {
    TRegistry reg;
    EXPECT_EQ(HKEY_CURRENT_USER, reg.RootKey());
    EXPECT_EQ(nullptr, reg.CurrentKey());
    EXPECT_FALSE(reg.ValueExists("v"));
    EXPECT_EQ(42, reg.ReadInteger("v", 42));
    reg.WriteString("v", "nowhere"); // no open key: nothing happens

    ASSERT_TRUE(reg.OpenKey(ScratchKey));
    ASSERT_TRUE(reg.OpenKey("Sub")); // below the open key
    reg.WriteInteger("n", -5);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, ScratchKey + "\\Sub"));
    EXPECT_EQ(-5, reg.ReadInteger("n", 0));
    ASSERT_TRUE(reg.OpenKey("\\" + ScratchKey)); // from the root
    reg.WriteString("s", "text");
    EXPECT_EQ(Sz("text"), RawValue(HKEY_CURRENT_USER, ScratchKey, "s").Data);
    EXPECT_EQ(Dword(static_cast<std::uint32_t>(-5)),
              RawValue(HKEY_CURRENT_USER, ScratchKey + "\\Sub", "n").Data);

    reg.SetRootKey(HKEY_LOCAL_MACHINE); // closes the open key
    EXPECT_EQ(nullptr, reg.CurrentKey());
    EXPECT_EQ("", reg.ReadString("s"));
    RegDeleteKeyA(HKEY_CURRENT_USER, (ScratchKey + "\\Sub").c_str());
}

} // namespace
