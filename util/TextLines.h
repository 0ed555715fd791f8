// Text files as lists of lines: "Install.log" and "Update.log" are read and written this way.
#pragma once

#include <string>
#include <vector>

// A line ends at CR, at LF or at CR LF; empty lines are kept, and a final line needs no end.
std::vector<std::string> SplitLines(const std::string& text);
// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);
