// The report of an error that escaped an event: "Exception " and the error's class name in the
// system's message box; the silent abort shows nothing.
#include "ui/ErrorReport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/AttachFiles.h"

namespace {

TEST(ErrorReport, ClassNamesReadAsInTheSource) {
    EXPECT_EQ("EAbort", ui::ErrorClassName(EAbort()));
    EXPECT_EQ("EPayloadDamaged", ui::ErrorClassName(EPayloadDamaged("x")));
    EXPECT_EQ("runtime_error", ui::ErrorClassName(std::runtime_error("x")));
    EXPECT_EQ("bad_alloc", ui::ErrorClassName(std::bad_alloc()));
}

struct TShownBox {
    std::string Title, Text;
    HWND Owner = nullptr;
    bool Seen = false;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM param) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = wnd;
    return FALSE;
}

// Runs the handler on this thread while a second thread reads and closes any message box it
// shows; waits at most `waitMs` for one.
TShownBox RunAndWatch(void (*handler)(), DWORD waitMs) {
    TShownBox shown;
    const DWORD ui = GetCurrentThreadId();
    std::thread watcher([&] {
        HWND box = nullptr;
        for (DWORD t = 0; t < waitMs && !box; t += 10) {
            EnumThreadWindows(ui, FindBox, reinterpret_cast<LPARAM>(&box));
            if (!box) Sleep(10);
        }
        if (!box) return;
        char buf[256] = {};
        GetWindowTextA(box, buf, sizeof buf);
        shown.Title = buf;
        GetWindowTextA(GetDlgItem(box, 0xFFFF), buf, sizeof buf);
        shown.Text = buf;
        shown.Owner = GetWindow(box, GW_OWNER);
        shown.Seen = true;
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    ui::RunHandler(handler);
    watcher.join();
    return shown;
}

TEST(ErrorReport, AnEscapingErrorIsReportedAndTheHandlerReturns) {
    const TShownBox box = RunAndWatch([] { throw EPayloadDamaged("damaged"); }, 10000);
    ASSERT_TRUE(box.Seen);
    EXPECT_EQ("Exception EPayloadDamaged", box.Text);
    EXPECT_EQ("Error", box.Title) << "the system's default caption";
    EXPECT_EQ(nullptr, box.Owner);
}

TEST(ErrorReport, TheSilentAbortShowsNothing) {
    // The handler has ended when RunHandler returns; a box would have been shown by then.
    const TShownBox box = RunAndWatch([] { throw EAbort(); }, 300);
    EXPECT_FALSE(box.Seen);
}

} // namespace
