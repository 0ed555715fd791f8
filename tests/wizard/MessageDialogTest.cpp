// The setup's own message dialog, shown for real on this thread and answered by a second
// thread as a user would: keys, button clicks and the title bar's close box.
#include "ui/MessageDialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TShownButton {
    int Id;
    std::string Caption;
    RECT Rect;
    LONG Style;
};

std::string TextOf(HWND wnd) {
    char buf[1024] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

std::vector<TShownButton> ButtonsOf(HWND dlg) {
    std::vector<TShownButton> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") != 0) continue;
        TShownButton b{GetDlgCtrlID(c), TextOf(c), {}, GetWindowLongA(c, GWL_STYLE)};
        GetWindowRect(c, &b.Rect);
        out.push_back(b);
    }
    return out;
}

struct TFindDialog {
    DWORD Thread;
    HWND Found;
};

BOOL CALLBACK FindDialogOfThread(HWND wnd, LPARAM param) {
    auto* f = reinterpret_cast<TFindDialog*>(param);
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) {
        f->Found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Waits (up to 10 s) for the dialog that `thread` shows.
HWND WaitForDialog(DWORD thread) {
    for (int i = 0; i < 1000; ++i) {
        TFindDialog f{thread, nullptr};
        EnumThreadWindows(thread, FindDialogOfThread, reinterpret_cast<LPARAM>(&f));
        if (f.Found) return f.Found;
        Sleep(10);
    }
    return nullptr;
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void PressKey(DWORD thread, HWND dlg, WPARAM key) {
    HWND target = FocusOf(thread);
    if (!target) target = dlg;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Shows the dialog on this thread while `drive` acts on it from a second thread.
int ShowAndDrive(const std::string& text, std::uint8_t kind, std::uint16_t buttons,
                 const std::function<void(HWND dlg, DWORD uiThread)>& drive) {
    const DWORD ui = GetCurrentThreadId();
    std::thread robot([&] {
        HWND dlg = WaitForDialog(ui);
        if (!dlg) {
            ADD_FAILURE() << "the dialog did not appear";
            return;
        }
        drive(dlg, ui);
    });
    const int answer = MessageDlg(text, kind, buttons);
    robot.join();
    return answer;
}

// Whether the dialog stays up: a sent message is handled only after the posted key.
bool StillShown(HWND dlg) {
    SendMessageA(dlg, WM_NULL, 0, 0);
    return IsWindow(dlg) && IsWindowVisible(dlg);
}

struct TButtonSetCase {
    const char* Name;
    std::uint16_t Buttons;
    std::vector<std::string> Captions; // left to right
    std::vector<int> Ids;
    int Enter;     // answer of Enter right after the dialog shows
    int Escape;    // 0: Esc does nothing
    int DefaultId; // 0: no button is the dialog's default
};

const TButtonSetCase ButtonSets[] = {
    {"OK", mbOK, {"OK"}, {mrOk}, mrOk, mrOk, mrOk},
    {"YesNo", mbYes | mbNo, {"&Yes", "&No"}, {mrYes, mrNo}, mrYes, mrNo, mrYes},
    {"AbortRetryIgnore",
     0x0070,
     {"&Abort", "&Retry", "&Ignore"},
     {mrAbort, mrRetry, mrIgnore},
     mrRetry,
     0,
     mrRetry},
    // The quit question: no default; Enter presses the focused first button, never Abort.
    {"NoAbort", 0x0012, {"&No", "&Abort"}, {mrNo, mrAbort}, mrNo, mrNo, 0},
    {"AllSeven",
     0x007F,
     {"&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore"},
     {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore},
     mrOk,
     mrCancel,
     mrOk},
};

class ButtonSet : public testing::TestWithParam<TButtonSetCase> {};

TEST_P(ButtonSet, CaptionsInBitOrderAndDefaultButton) {
    const auto& c = GetParam();
    std::vector<TShownButton> shown;
    LRESULT defId = 0;
    bool defIsAButton = false;
    ShowAndDrive("Captions", mtConfirmation, c.Buttons, [&](HWND dlg, DWORD) {
        shown = ButtonsOf(dlg);
        defId = SendMessageA(dlg, DM_GETDEFID, 0, 0);
        defIsAButton = HIWORD(defId) == DC_HASDEFID && GetDlgItem(dlg, LOWORD(defId)) != nullptr;
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(c.Captions.size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(c.Captions[i], shown[i].Caption) << i;
        EXPECT_EQ(c.Ids[i], shown[i].Id) << i;
        if (i > 0) {
            EXPECT_GE(shown[i].Rect.left, shown[i - 1].Rect.right) << "left to right";
        }
        EXPECT_EQ(shown[i].Rect.top, shown[0].Rect.top) << "one row";
    }
    if (c.DefaultId) {
        EXPECT_EQ(MAKELONG(c.DefaultId, DC_HASDEFID), defId);
    } else {
        // The dialog manager reports IDOK when nothing is set; no button of ours has that id.
        EXPECT_FALSE(defIsAButton) << LOWORD(defId);
        for (const auto& b : shown)
            EXPECT_NE(BS_DEFPUSHBUTTON, b.Style & BS_TYPEMASK) << b.Caption;
    }
}

TEST_P(ButtonSet, EnterAnswersTheDefault) {
    const auto& c = GetParam();
    EXPECT_EQ(c.Enter, ShowAndDrive("Enter", mtConfirmation, c.Buttons,
                                    [](HWND dlg, DWORD ui) { PressKey(ui, dlg, VK_RETURN); }));
}

TEST_P(ButtonSet, EscapeAnswersTheEscapeButtonOrNothing) {
    const auto& c = GetParam();
    bool stayed = false;
    const int answer = ShowAndDrive("Escape", mtConfirmation, c.Buttons, [&](HWND dlg, DWORD ui) {
        PressKey(ui, dlg, VK_ESCAPE);
        if (c.Escape == 0) {
            stayed = StillShown(dlg);
            // Then answer with the last button, so the dialog ends.
            PostMessageA(GetDlgItem(dlg, c.Ids.back()), BM_CLICK, 0, 0);
        }
    });
    if (c.Escape) {
        EXPECT_EQ(c.Escape, answer);
    } else {
        EXPECT_TRUE(stayed) << "Esc must not close a dialog without an escape button";
        EXPECT_EQ(c.Ids.back(), answer);
    }
}

TEST_P(ButtonSet, CloseBoxAnswersCancelCode) {
    EXPECT_EQ(2, ShowAndDrive("Close", mtWarning, GetParam().Buttons, [](HWND dlg, DWORD) {
                  PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
}

TEST_P(ButtonSet, EveryButtonAnswersItsCode) {
    const auto& c = GetParam();
    for (int id : c.Ids) {
        EXPECT_EQ(id, ShowAndDrive("Click", mtInformation, c.Buttons, [id](HWND dlg, DWORD) {
                      PostMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
                  }));
    }
}

INSTANTIATE_TEST_SUITE_P(MessageDialog, ButtonSet, testing::ValuesIn(ButtonSets),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(MessageDialog, KindGivesTitleAndSystemIcon) {
    struct {
        std::uint8_t Kind;
        const char* Title;
        LPCSTR Icon;
    } const kinds[] = {
        {mtWarning, "Warning", IDI_EXCLAMATION},
        {mtError, "Error", IDI_HAND},
        {mtInformation, "Information", IDI_ASTERISK},
        {mtConfirmation, "Confirm", IDI_QUESTION},
    };
    for (const auto& k : kinds) {
        std::string title;
        HICON shownIcon = nullptr;
        ShowAndDrive("Kind", k.Kind, mbOK, [&](HWND dlg, DWORD) {
            title = TextOf(dlg);
            for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                    shownIcon = reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0));
            PostMessageA(GetDlgItem(dlg, mrOk), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(k.Title, title);
        EXPECT_EQ(LoadIconA(nullptr, k.Icon), shownIcon) << k.Title;
    }
}

// A throw-away top-level window to own the dialog.
class OwnerWindow : public testing::Test {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60,
                                 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(owner_);
        SetActiveWindow(owner_);
    }
    void TearDown() override { DestroyWindow(owner_); }
    HWND owner_ = nullptr;
};

TEST_F(OwnerWindow, OwnedByTheActiveWindowCentredOnItWithTheTextInside) {
    const std::string text =
        "Setup is not complete. If you quit this setup program now,\rSarvello will not be "
        "correctly installed.\r\rTo quit this setup program, click Abort.";
    HWND ownerSeen = nullptr;
    bool ownerEnabledWhileShown = true;
    RECT dlgRect{}, client{}, textRect{};
    std::string shownText;
    std::vector<TShownButton> buttons;
    ShowAndDrive(text, mtConfirmation, 0x0012, [&](HWND dlg, DWORD) {
        ownerSeen = GetWindow(dlg, GW_OWNER);
        ownerEnabledWhileShown = IsWindowEnabled(owner_);
        GetWindowRect(dlg, &dlgRect);
        GetClientRect(dlg, &client);
        MapWindowPoints(dlg, nullptr, reinterpret_cast<POINT*>(&client), 2);
        HWND t = GetDlgItem(dlg, MessageTextId);
        shownText = TextOf(t);
        GetWindowRect(t, &textRect);
        buttons = ButtonsOf(dlg);
        PostMessageA(GetDlgItem(dlg, mrNo), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(owner_, ownerSeen);
    EXPECT_FALSE(ownerEnabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "the owner is enabled again afterwards";

    RECT o{};
    GetWindowRect(owner_, &o);
    EXPECT_NEAR((o.left + o.right) / 2, (dlgRect.left + dlgRect.right) / 2, 1);
    EXPECT_NEAR((o.top + o.bottom) / 2, (dlgRect.top + dlgRect.bottom) / 2, 1);

    // Every CR breaks the line: the text reads the same once line feeds are dropped.
    std::string withoutLf;
    for (char ch : shownText)
        if (ch != '\n') withoutLf += ch;
    EXPECT_EQ(text, withoutLf);
    // Five lines at least, and all of it inside the client area, above the buttons.
    EXPECT_GE(textRect.bottom - textRect.top, 5 * 8);
    EXPECT_GE(textRect.left, client.left);
    EXPECT_LE(textRect.right, client.right);
    ASSERT_EQ(2u, buttons.size());
    for (const auto& b : buttons) {
        EXPECT_GE(b.Rect.top, textRect.bottom);
        EXPECT_LE(b.Rect.bottom, client.bottom);
        EXPECT_GE(b.Rect.left, client.left);
        EXPECT_LE(b.Rect.right, client.right);
    }
}

TEST(MessageDialog, LongTextWrapsWithinTheScreen) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "word" + std::to_string(i) + " ";
    RECT dlgRect{}, textRect{};
    ShowAndDrive(text, mtError, mbOK, [&](HWND dlg, DWORD) {
        GetWindowRect(dlg, &dlgRect);
        GetWindowRect(GetDlgItem(dlg, MessageTextId), &textRect);
        PostMessageA(GetDlgItem(dlg, mrOk), BM_CLICK, 0, 0);
    });
    EXPECT_LE(dlgRect.right - dlgRect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(dlgRect.left, 0);
    EXPECT_GE(dlgRect.top, 0);
    EXPECT_GT(textRect.bottom - textRect.top, 20) << "wrapped into several lines";
}

} // namespace
