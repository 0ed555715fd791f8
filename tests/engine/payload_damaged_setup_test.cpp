// A setup executable whose "FILES" resource is missing or damaged stops before the wizard with
// one message box that says so, exits with 1 and writes nothing. Each case is a copy of the
// built setup.exe with its resource replaced through UpdateResourceA.
#include "engine/PayloadFormat.h"
#include "tests/support/TestFiles.h"
#include "util/InstUtils.h"
#include "util/ScopedWin.h"
#include "wizard/ResConst.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testsupport::ListTree;
using testsupport::WinePath;

constexpr DWORD ProcessWaitMs = 30000; // a bound against a hang, not a timing expectation

struct TDialogs {
    DWORD ProcessId;
    std::vector<HWND> Boxes;
    std::string Others; // what else the process shows, for the failure message
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
    auto* d = reinterpret_cast<TDialogs*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (owner != d->ProcessId) return TRUE;
    if (std::string(cls) == "#32770" && IsWindowVisible(window)) {
        d->Boxes.push_back(window);
    } else {
        char text[128] = {};
        GetWindowTextA(window, text, sizeof text);
        d->Others += std::string(" [") + cls + " \"" + text + "\"]";
    }
    return TRUE;
}

TDialogs DialogsOf(DWORD processId) {
    TDialogs d{processId, {}, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&d));
    return d;
}

// Ends the started setup on every path out of a case, so that no process outlives the test.
struct TProcessGuard {
    HANDLE Process;
    ~TProcessGuard() {
        if (WaitForSingleObject(Process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(Process, 99);
            WaitForSingleObject(Process, 10000);
        }
    }
};

std::string Text(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK FirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    *reinterpret_cast<WORD*>(param) = language;
    return FALSE;
}

WORD PayloadLanguage(const std::string& exe) {
    win::UniqueModule m(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    WORD language = 0;
    EnumResourceLanguagesA(m.get(), "FILES", "FILES", FirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    return language;
}

// The copy's payload resource as Windows finds it; nothing when it has none.
std::vector<std::uint8_t> PayloadOf(const std::string& exe, bool& found) {
    win::UniqueModule m(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC r = m ? FindResourceA(m.get(), "FILES", "FILES") : nullptr;
    found = r != nullptr;
    if (!r) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(m.get(), r)));
    return {bytes, bytes + SizeofResource(m.get(), r)};
}

// Every resource of a module but the payload, to rebuild an executable without it.
struct TResource {
    std::string Type, Name; // "#n" for numbered ones
    WORD Language;
    std::vector<std::uint8_t> Bytes;
};

std::string ResourceId(LPCSTR id) {
    if (!IS_INTRESOURCE(id)) return id;
    char text[16];
    wsprintfA(text, "#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(id)));
    return text;
}

LPCSTR ResourceArg(const std::string& id) {
    return id[0] == '#' ? MAKEINTRESOURCEA(std::stoul(id.substr(1))) : id.c_str();
}

struct TCollector {
    HMODULE Module;
    std::vector<TResource> Found;
};

BOOL CALLBACK CollectLanguage(HMODULE m, LPCSTR type, LPCSTR name, WORD lang, LONG_PTR param) {
    HRSRC r = FindResourceExA(m, type, name, lang);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(m, r)));
    reinterpret_cast<TCollector*>(param)->Found.push_back(
        {ResourceId(type), ResourceId(name), lang, {bytes, bytes + SizeofResource(m, r)}});
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR param) {
    return EnumResourceLanguagesA(m, type, name, CollectLanguage, param) || TRUE;
}

BOOL CALLBACK CollectType(HMODULE m, LPSTR type, LONG_PTR param) {
    return EnumResourceNamesA(m, type, CollectName, param) || TRUE;
}

// Replaces the copy's payload resource, or rebuilds the copy without one.
bool ReplacePayload(const std::string& exe, WORD language, const std::vector<std::uint8_t>& bytes,
                    bool remove) {
    std::vector<TResource> keep;
    if (remove) {
        win::UniqueModule m(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        TCollector all{m.get(), {}};
        EnumResourceTypesA(m.get(), CollectType, reinterpret_cast<LONG_PTR>(&all));
        for (auto& r : all.Found)
            if (r.Type != "FILES") keep.push_back(std::move(r));
    }
    HANDLE update = BeginUpdateResourceA(exe.c_str(), remove);
    if (!update) return false;
    bool ok = true;
    if (remove) {
        for (auto& r : keep)
            ok = ok && UpdateResourceA(update, ResourceArg(r.Type), ResourceArg(r.Name), r.Language,
                                       r.Bytes.data(), static_cast<DWORD>(r.Bytes.size()));
    } else {
        ok = UpdateResourceA(update, "FILES", "FILES", language,
                             const_cast<std::uint8_t*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())) != FALSE;
    }
    return EndUpdateResourceA(update, !ok) && ok;
}

std::vector<std::uint8_t> Packed(const std::string& name, const std::string& data) {
    std::string raw;
    Payload::AppendEntry(raw, name, 46000.0, data.data(), static_cast<std::int32_t>(data.size()));
    return Payload::Deflate(raw);
}

// A valid stream whose only entry lacks its last data byte.
std::vector<std::uint8_t> CutShort() {
    std::string raw;
    Payload::AppendEntry(raw, "License.txt", 46000.0, "abc", 3);
    raw.resize(raw.size() - 1);
    return Payload::Deflate(raw);
}

TEST(DamagedSetup, StopsWithOneMessageAndExitCodeOne) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string root =
        std::string(base) + "payload-damaged-setup-" + std::to_string(GetCurrentProcessId());
    const std::string work = root + "\\work", temp = root + "\\temp";
    ForceFolders(work);
    ForceFolders(temp);
    const std::string original = WinePath(SARVELLO_TEST_SETUP_EXE);
    const WORD language = PayloadLanguage(original);

    const auto good = Packed("License.txt", std::string(20000, 'L'));
    struct TCase {
        const char* Label;
        std::vector<std::uint8_t> Resource;
        bool Remove;
    };
    const TCase cases[] = {
        {"missing resource", {}, true},
        {"truncated stream", {good.begin(), good.begin() + good.size() / 2}, false},
        {"not a zlib stream", {'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}, false},
        {"name leaves the folder", Packed("..\\..\\evil.exe", "MZ"), false},
        {"entry runs past the end", CutShort(), false},
    };

    // The setup's temporary folder is one of our own, so that "nothing written" can be seen.
    char oldTmp[MAX_PATH] = {}, oldTemp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", oldTemp, MAX_PATH);
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());

    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string exe = root + "\\setup.exe";
        ASSERT_TRUE(CopyFileA(original.c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(ReplacePayload(exe, language, c.Resource, c.Remove));
        bool found = false;
        const auto now = PayloadOf(exe, found);
        ASSERT_EQ(!c.Remove, found) << "language " << language;
        ASSERT_EQ(c.Resource, now);

        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string line = "\"" + exe + "\"";
        ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   work.c_str(), &si, &pi));
        CloseHandle(pi.hThread);
        win::UniqueHandle process(pi.hProcess);
        TProcessGuard guard{process.get()};

        TDialogs shown{pi.dwProcessId, {}, {}};
        for (int i = 0; i < 600 && shown.Boxes.empty(); ++i) { // bounded wait for the message
            if (WaitForSingleObject(process.get(), 50) == WAIT_OBJECT_0) break;
            shown = DialogsOf(pi.dwProcessId);
        }
        const std::vector<HWND>& boxes = shown.Boxes;
        DWORD early = 0;
        GetExitCodeProcess(process.get(), &early);
        ASSERT_EQ(1u, boxes.size()) << "expected one message box; exit code " << early
                                    << ", other windows:" << shown.Others;
        EXPECT_EQ(ResConst::SetupTitle, Text(boxes[0]));
        const std::string message = Text(GetDlgItem(boxes[0], 0xFFFF));
        EXPECT_EQ(0u, message.rfind("The setup file is damaged: ", 0)) << message;
        EXPECT_NE(std::string::npos, message.find("download the setup again")) << message;
        PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);

        DWORD code = 99;
        if (WaitForSingleObject(process.get(), ProcessWaitMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.get(), &code);
        } else {
            const TDialogs after = DialogsOf(pi.dwProcessId);
            ADD_FAILURE() << "still running after the message: " << after.Boxes.size()
                          << " more boxes," << after.Others;
        }
        EXPECT_EQ(1u, code);
        std::vector<std::string> written;
        ListTree(work, written);
        ListTree(temp, written);
        EXPECT_TRUE(written.empty()) << written.front();
    }

    SetEnvironmentVariableA("TMP", oldTmp);
    SetEnvironmentVariableA("TEMP", oldTemp);
    DeleteFolderTree(root);
}

} // namespace
