// Names in the payload are 8-bit text in the Windows-1252 code page; the release machine's file
// names are UTF-8. Conversion both ways, and the case folding the setup's comparison implies.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Nothing when the text is not valid UTF-8 or holds a character that Windows-1252 lacks.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view text);
// Upper case of every letter of Windows-1252, for "equal when case is ignored".
std::string FoldCase1252(std::string_view text);
