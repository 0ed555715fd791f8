#include "ui/ErrorReport.h"

#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace ui {

std::string ErrorClassName(const std::exception& e) {
    const char* mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string s = status == 0 && name ? name.get() : mangled;
    // Our error types live in no namespace; the library's read better without "std::".
    if (s.rfind("std::", 0) == 0) s.erase(0, 5);
    return s;
}

namespace {
void Show(const std::string& className) {
    const std::string text = "Exception " + className;
    MessageBoxA(nullptr, text.c_str(), nullptr, MB_TASKMODAL | MB_ICONERROR);
}
} // namespace

void ShowErrorReport(const std::exception& e) {
    Show(ErrorClassName(e));
}
void ShowUnknownErrorReport() {
    Show("Exception");
}

} // namespace ui
