// The report of an error that nothing else handled: a task-modal box reading "Exception "
// followed by the error's class name, with the error icon and the system's default caption.
#pragma once

#include <exception>
#include <string>

namespace ui {

// The class name of the error as written in the source, e.g. "EPayloadDamaged".
std::string ErrorClassName(const std::exception& e);
void ShowErrorReport(const std::exception& e);
// For something thrown that is not an exception object.
void ShowUnknownErrorReport();

// Runs an event handler: the silent abort ends it without a message; any other error is
// reported and the program goes on. Window procedures must not let an exception escape.
template <typename F> void RunHandler(F&& handler);

} // namespace ui

#include "util/Errors.h"

template <typename F> void ui::RunHandler(F&& handler) {
    try {
        handler();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ShowErrorReport(e);
    } catch (...) {
        ShowUnknownErrorReport();
    }
}
