// The setup's message dialog: a text, a title and icon chosen by its kind, and a row of buttons
// chosen by a set of bits. The system's message box cannot show every set the setup needs
// (No + Abort), so this is a dialog of our own.
#pragma once

#include <cstdint>
#include <string>

// Kinds: title and icon.
enum : std::uint8_t { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

// Button bits, left to right in bit order; each button's control id is its answer code.
enum : std::uint16_t {
    mbYes = 1 << 0,    // "&Yes", answers 6
    mbNo = 1 << 1,     // "&No", answers 7
    mbOK = 1 << 2,     // "OK", answers 1
    mbCancel = 1 << 3, // "Cancel", answers 2
    mbAbort = 1 << 4,  // "&Abort", answers 3
    mbRetry = 1 << 5,  // "&Retry", answers 4
    mbIgnore = 1 << 6, // "&Ignore", answers 5
};
// Answer codes (the same numbers as the system's IDOK..IDNO).
enum : int { mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// The control id of the text, the same as in the system's message box, so that tools that read
// message boxes read ours too.
inline constexpr int MessageTextId = 0xFFFF;

// Shows the dialog modally on the calling (user-interface) thread, owned by the active window of
// the thread, and returns the answer. Closing it by its title bar answers 2.
int MessageDlg(const std::string& text, std::uint8_t kind, std::uint16_t buttons);
