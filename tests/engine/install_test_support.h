// What the Windows tests of extraction, queues and the worker share: small payloads built in
// the test, a scratch folder per test, file dates, and a driver thread that answers the setup's
// message dialogs the way a user would, by clicking their buttons.
#pragma once

#include "engine/AttachFiles.h"
#include "engine/InstallThreadStatus.h"
#include "engine/PayloadFormat.h"
#include "ui/MessageDialog.h"
#include "util/DateTime.h"
#include "util/InstUtils.h"
#include "util/InstallLog.h"
#include "util/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace installtest {

struct TEntrySpec {
    std::string Name;
    std::string Data;
    double Date;
};

inline double Date(int year, int month, int day, int hour, int minute, int second) {
    CalendarTime t;
    t.Year = year, t.Month = month, t.Day = day;
    t.Hour = hour, t.Minute = minute, t.Second = second;
    return EncodeDateTime(t);
}

inline std::unique_ptr<TAttachedFiles> MakeArchive(const std::vector<TEntrySpec>& entries) {
    std::string payload;
    for (const TEntrySpec& e : entries)
        Payload::AppendEntry(payload, e.Name, e.Date, e.Data.data(),
                             static_cast<std::int32_t>(e.Data.size()));
    const std::vector<std::uint8_t> z = Payload::Deflate(payload);
    return std::make_unique<TAttachedFiles>(z.data(), z.size());
}

inline const TAttachedFile* Entry(const TAttachedFiles& files, const std::string& name) {
    for (const auto& f : files.Files)
        if (f->Name == name) return f.get();
    return nullptr;
}

inline bool IsFile(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ReadAll(const std::string& path) {
    win::UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    std::string data(GetFileSize(f.get(), nullptr), '\0');
    DWORD got = 0;
    if (!data.empty())
        ReadFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    data.resize(got);
    return data;
}

inline void WriteAll(const std::string& path, const std::string& data) {
    win::UniqueFile f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f) << path;
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr));
    ASSERT_EQ(data.size(), done);
}

// Gives a file a local last-write date, independently of the code under test.
inline void SetLocalWriteDate(const std::string& path, double date) {
    const CalendarTime t = DecodeDateTime(date);
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.Year), st.wMonth = static_cast<WORD>(t.Month);
    st.wDay = static_cast<WORD>(t.Day), st.wHour = static_cast<WORD>(t.Hour);
    st.wMinute = static_cast<WORD>(t.Minute), st.wSecond = static_cast<WORD>(t.Second);
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    win::UniqueFile f(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f);
    ASSERT_TRUE(SetFileTime(f.get(), nullptr, nullptr, &utc));
}

inline std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1);
}

// A folder of its own for every test: root names the test executable, so that executables
// running in parallel never meet.
class TScratch {
  public:
    explicit TScratch(const std::string& root) {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        Path = "C:\\sarvello-tests\\" + root + "\\" + info->test_suite_name() + "." + info->name() +
               "\\";
        DeleteFolderTree(Path);
        ForceFoldersQuietly(Path);
    }
    ~TScratch() {
        DeleteFolderTree(Path);
        // The shared parents go when the last test has left them (removal fails while not empty).
        std::string parent = Path.substr(0, Path.size() - 1);
        for (int level = 0; level < 2; ++level) {
            parent = parent.substr(0, parent.find_last_of('\\'));
            RemoveDirectoryA(parent.c_str());
        }
    }
    std::string operator/(const std::string& name) const { return Path + name; }
    std::string Path;

  private:
    static void ForceFoldersQuietly(const std::string& path) {
        SuspendInstallLog();
        ForceFolders(path);
        ResumeInstallLog();
    }
};

// The install log as a test sees it: fresh and empty, not tied to a file.
inline void FreshInstallLog() {
    InstallLogSuspendCount = 0;
    PrepareInstallLog(std::string());
}
inline std::vector<std::string> LogLines() {
    return InstallLog ? *InstallLog : std::vector<std::string>();
}

// One dialog as the driver found it, and what it did.
struct TSeenDialog {
    std::string Text;
    std::uint8_t StateWhileShown = 0;
};

// A second thread that plays the user: it waits for each message dialog of this process in
// turn, notes its text and the worker's state, runs the step's action (for example letting go
// of a file) and clicks the step's button by its control id.
class TDialogDriver {
  public:
    struct Step {
        int Button;
        std::function<void()> Before;
    };

    explicit TDialogDriver(std::vector<Step> steps) : Steps(std::move(steps)) {
        Thread = std::thread([this] { Run(); });
    }
    ~TDialogDriver() { Finish(); }

    // Waits for the driver; true when every step found its dialog.
    bool Finish() {
        if (Thread.joinable()) Thread.join();
        return Seen.size() == Steps.size();
    }
    std::vector<TSeenDialog> Seen;

  private:
    static BOOL CALLBACK MatchDialog(HWND w, LPARAM found) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(w))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }
    static HWND FindDialog() {
        HWND found = nullptr;
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    void Run() {
        for (const Step& step : Steps) {
            HWND dialog = nullptr;
            // Generous: a dialog that never comes ends the driver, and the test reports it.
            for (int i = 0; i < 3000 && !dialog; ++i) {
                dialog = FindDialog();
                if (!dialog) Sleep(10);
            }
            if (!dialog) return;
            TSeenDialog seen;
            char text[2048] = {};
            GetDlgItemTextA(dialog, MessageTextId, text, sizeof text);
            // The dialog shows each CR as a line break; compare with the text as the setup gave it.
            for (const char* c = text; *c; ++c)
                if (!(c[0] == '\n' && c > text && c[-1] == '\r')) seen.Text += *c;
            seen.StateWhileShown = InstallThreadStatus.Read();
            Seen.push_back(seen);
            if (step.Before) step.Before();
            PostMessageA(GetDlgItem(dialog, step.Button), BM_CLICK, 0, 0);
            for (int i = 0; i < 3000 && IsWindow(dialog); ++i)
                Sleep(5);
        }
    }

    std::vector<Step> Steps;
    std::thread Thread;
};

inline std::string CannotCreate(const std::string& path) {
    return "Cannot create file \"" + path +
           "\".\rAnother application might already be using this file.";
}

} // namespace installtest
