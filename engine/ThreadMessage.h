// Message dialogs from either thread: the user-interface thread shows them itself, the install
// worker asks the wizard through the shared status record.
#pragma once

#include <cstdint>
#include <string>

// Shows the message dialog and returns the answer code. On the main (user-interface) thread the
// dialog is shown at once and the status record is not touched; on any other thread the request
// goes through InstallThreadStatus and the wizard's status timer answers it. A thread other than
// the main one that asks while no copying is running (or after a stop request) gets Abort, since
// nobody would ever answer.
int ShowThreadMessage(const std::string& text, std::uint8_t kind, std::uint16_t buttons);

// The thread taken for the user-interface thread: the one that started the program, unless
// changed here.
void SetMainThreadId(unsigned long threadId);
unsigned long MainThreadId();
